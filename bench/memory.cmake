# bench_memory: drives skimlet.exe (picks with real mouse input, hiding to the tray) while bench/memory.sh and
# bench/idle.sh read its memory, CPU time and context switches from /proc.
add_executable(bench_memory ${CMAKE_CURRENT_LIST_DIR}/memory.cpp)
target_link_libraries(bench_memory PRIVATE bench_kit)
set_target_properties(bench_memory PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# bench_stall: the longest wait of a message to skimlet.exe's main window while a levelled task searches a tree of
# 5,000 windows (bench/stall.sh).
add_executable(bench_stall ${CMAKE_CURRENT_LIST_DIR}/stall.cpp)
target_link_libraries(bench_stall PRIVATE bench_kit)
set_target_properties(bench_stall PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

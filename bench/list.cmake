# bench_list: "skimlet list" over thousands of windows of another process beside the bare reads of the same facts
# (bench/list.sh).
add_executable(bench_list ${CMAKE_CURRENT_LIST_DIR}/list.cpp)
target_link_libraries(bench_list PRIVATE bench_kit)
set_target_properties(bench_list PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

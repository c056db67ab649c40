# bench_inspect: cost of one picker poll (window unchanged / changed) and of reading a target (bench/inspect.sh).
add_executable(bench_inspect ${CMAKE_CURRENT_LIST_DIR}/inspect_bench.cpp)
target_link_libraries(bench_inspect PRIVATE bench_kit skimlet_res)
set_target_properties(bench_inspect PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# bench_tasksearch: the levelled task search, nested enumeration beside the single walk (bench/tasksearch.sh).
add_executable(bench_tasksearch ${CMAKE_CURRENT_LIST_DIR}/tasksearch.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/support/NestedTaskSearch.cpp)
target_link_libraries(bench_tasksearch PRIVATE bench_kit)
set_target_properties(bench_tasksearch PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

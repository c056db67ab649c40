# bench_elements: the element at a point and a task's element in a tree of 2,000, beside reading the window
# (bench/elements.sh).
add_executable(bench_elements ${CMAKE_CURRENT_LIST_DIR}/elements.cpp)
target_link_libraries(bench_elements PRIVATE bench_kit)
set_target_properties(bench_elements PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
if(MINGW)
  target_link_options(bench_elements PRIVATE -municode)
endif()
if(TARGET element_fixture)
  add_dependencies(bench_elements element_fixture)
endif()

# bench_startup_steps: Skimlet's start-up step by step in one process (bench/startup_steps.sh). Linked like
# skimlet.exe, without bench_kit, so that it loads the same libraries.
add_executable(bench_startup_steps WIN32 ${CMAKE_CURRENT_LIST_DIR}/startup_steps.cpp)
target_link_libraries(bench_startup_steps PRIVATE skimlet_app skimlet_res)
set_target_properties(bench_startup_steps PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
skimlet_split_debug_info(bench_startup_steps)  # as skimlet.exe, so that its loader share is the product's
if(MINGW)
  target_link_options(bench_startup_steps PRIVATE -municode)
endif()

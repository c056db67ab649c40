# bench_minimal: the smallest window program, built like skimlet.exe (statically linked runtime, GUI subsystem, debug
# information beside it, comctl32 linked);
# bench_startup: starts programs and times them to their first visible window (bench/startup.sh).
add_executable(bench_minimal WIN32 ${CMAKE_CURRENT_LIST_DIR}/startup_minimal.cpp)
target_link_libraries(bench_minimal PRIVATE skimlet_options comctl32)
if(MINGW)
  target_link_options(bench_minimal PRIVATE -municode)
endif()
set_target_properties(bench_minimal PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
skimlet_split_debug_info(bench_minimal)

# bench_minimal_controls: the same, with the kinds of controls, fonts and tray icon that Skimlet's window has before
# it shows (bench/startup_outside.sh): the same source, built with BENCH_WITH_CONTROLS.
add_executable(bench_minimal_controls WIN32 ${CMAKE_CURRENT_LIST_DIR}/startup_minimal.cpp)
target_compile_definitions(bench_minimal_controls PRIVATE BENCH_WITH_CONTROLS)
target_link_libraries(bench_minimal_controls PRIVATE skimlet_options comctl32 shell32 gdi32)
if(MINGW)
  target_link_options(bench_minimal_controls PRIVATE -municode)
endif()
set_target_properties(bench_minimal_controls PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
skimlet_split_debug_info(bench_minimal_controls)

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_link_libraries(bench_startup PRIVATE bench_kit)
set_target_properties(bench_startup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

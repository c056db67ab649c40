# bench_trigger: the task trigger against the idle runner alone, on nag windows of another process (bench/trigger.sh).
add_executable(bench_trigger ${CMAKE_CURRENT_LIST_DIR}/trigger.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/support/SkimletSession.cpp ${CMAKE_SOURCE_DIR}/tests/win/support/TrayRecorder.cpp)
target_link_libraries(bench_trigger PRIVATE bench_kit)
set_target_properties(bench_trigger PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
if(TARGET nag_fixture)
  add_dependencies(bench_trigger nag_fixture)
endif()

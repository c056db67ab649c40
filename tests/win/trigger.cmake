# The task trigger's test and benchmark watch another process's windows: nag_fixture shows them.
if(WIN32)
  add_executable(nag_fixture WIN32 ${CMAKE_CURRENT_LIST_DIR}/nag/nag_fixture.cpp)
  target_link_libraries(nag_fixture PRIVATE skimlet_options user32 shell32)
  add_dependencies(tasks_trigger_test nag_fixture)
endif()

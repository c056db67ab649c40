if(WIN32)
  # The console tests run the built skimlet.com, with the conversion library beside it, and read its JSON back.
  add_dependencies(console_commands_test skimlet_console skimlet_png)
  target_include_directories(console_commands_test SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/json-include)
endif()

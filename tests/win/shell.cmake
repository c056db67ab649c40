# The process-level shell tests start the built skimlet.exe: build it before them.
if(WIN32)
  add_dependencies(shell_process_test skimlet)
endif()

# The process-level shell tests start the built skimlet.exe: build it before them. The test programs are made later
# in this folder, hence the deferred call.
if(WIN32)
  function(skimlet_shell_tests_need_the_program)
    foreach(test IN ITEMS shell_process_test)
      if(TARGET ${test} AND TARGET skimlet)
        add_dependencies(${test} skimlet)
      endif()
    endforeach()
  endfunction()
  cmake_language(DEFER CALL skimlet_shell_tests_need_the_program)
endif()

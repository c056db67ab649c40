if(WIN32)
  # The shipped programs stand alone: system DLLs only, and the product's version in each.
  add_test(NAME release.standalone
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/standalone.sh ${CMAKE_OBJDUMP} ${PROJECT_VERSION}
            $<TARGET_FILE:skimlet> $<TARGET_FILE:skimlet_console> $<TARGET_FILE:skimlet_png>)
endif()

# The resources test reads its own program's version resource: it needs version.dll's import library. The test
# programs are made later in this folder, hence the deferred call.
if(WIN32)
  function(skimlet_link_resources_test_with_version)
    if(TARGET resources_test)
      target_link_libraries(resources_test PRIVATE version)
    endif()
  endfunction()
  cmake_language(DEFER CALL skimlet_link_resources_test_with_version)

  # The art tool must refuse malformed pictures with a message that points at the mistake.
  add_test(NAME tools.pixelart_rejects_malformed_art
    COMMAND ${CMAKE_COMMAND} -DPIXELART=${SKIMLET_PIXELART} -DCASES=${CMAKE_SOURCE_DIR}/tools/test/bad
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/pixelart-rejects -P ${CMAKE_SOURCE_DIR}/tools/test/RejectsMalformedArt.cmake)
endif()

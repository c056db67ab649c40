if(WIN32)
  # The resources test reads its own program's version resource: it needs version.dll's import library.
  target_link_libraries(resources_test PRIVATE version)

  # The art tool must refuse malformed pictures with a message that points at the mistake.
  add_test(NAME tools.pixelart_rejects_malformed_art
    COMMAND ${CMAKE_COMMAND} -DPIXELART=${SKIMLET_PIXELART} -DCASES=${CMAKE_SOURCE_DIR}/tools/test/bad
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/pixelart-rejects -P ${CMAKE_SOURCE_DIR}/tools/test/RejectsMalformedArt.cmake)
endif()

# The end-to-end suite: starts the built skimlet.exe (with skimlet.dll beside it) from a fresh folder and drives it
# with real mouse and keyboard input only.
if(WIN32)
  file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(e2e_test ${e2e_test_sources})
  target_include_directories(e2e_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(e2e_test PRIVATE win_test_support GTest::gtest_main)
  add_test(NAME e2e.user_session COMMAND e2e_test)
  set_tests_properties(e2e.user_session PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 LABELS win)
  # The product is what the suite runs: build it first (src/ and png/ come before tests/ in the top folder).
  add_dependencies(e2e_test skimlet skimlet_png)
endif()

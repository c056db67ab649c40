# The element tests and benchmark read and act on another process's accessible objects: element_fixture draws
# buttons inside one window and describes them itself.
if(WIN32)
  add_executable(element_fixture WIN32 ${CMAKE_CURRENT_LIST_DIR}/elements/element_fixture.cpp)
  target_link_libraries(element_fixture PRIVATE skimlet_options user32 gdi32 shell32 ole32 oleaut32 oleacc)
  if(MINGW)
    target_link_options(element_fixture PRIVATE -municode)
  endif()
  add_dependencies(elements_test element_fixture skimlet_console)
  target_include_directories(elements_test SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/json-include)
endif()

# Stand-in conversion libraries for the tests of the PNG conversion call, and a copy of the real library,
# all in <tests>/png_libs/ where png_*_test programs find them beside themselves.
if(WIN32)
  set(png_stub_kinds returns_0x100=1 returns_high_true=2 faults=3 throws=4 wrong_export=5 divides_by_zero=6
      hangs=7 hangs_in_dllmain=8 raises=9 breaks=10 recurses=11)
  set(png_stub_targets)
  foreach(entry IN LISTS png_stub_kinds)
    string(REPLACE "=" ";" parts ${entry})
    list(GET parts 0 stub_name)
    list(GET parts 1 stub_kind)
    set(target png_stub_${stub_name})
    add_library(${target} SHARED ${CMAKE_CURRENT_LIST_DIR}/ConvertStub.cpp)
    target_compile_definitions(${target} PRIVATE STUB_KIND=${stub_kind})
    target_link_libraries(${target} PRIVATE skimlet_options)
    set_target_properties(${target} PROPERTIES
      OUTPUT_NAME ${stub_name} PREFIX ""
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/png_libs
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/png_libs/lib)
    if(MINGW)
      # Undecorated names without a .def file.
      target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
    list(APPEND png_stub_targets ${target})
  endforeach()

  add_custom_target(png_test_libs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/png_libs
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:skimlet_png>
            ${CMAKE_CURRENT_BINARY_DIR}/png_libs/real.dll
    DEPENDS skimlet_png ${png_stub_targets}
    COMMENT "Conversion libraries for the tests")

  add_dependencies(png_convert_test png_test_libs)
  add_dependencies(snap_capture_test png_test_libs)
endif()

# skimlet_delay_load(<target> <library.dll> <function>...): links <target> to a system library that is loaded when
# one of the named functions is first called instead of when the program starts. For libraries that only some
# commands need (accessible elements, the compositor's frame): each library loaded at start costs start-up time.
# MSVC's linker does this with /DELAYLOAD; with MinGW, dlltool makes a delay-import library from the list of
# functions, resolved by the runtime's delay-load helper (libdelayimp). Every function of the library that the
# target calls must be named: one left out does not link.
function(skimlet_delay_load target dll)
  string(REGEX REPLACE "\\.[dD][lL][lL]$" "" name "${dll}")
  if(MSVC)
    target_link_libraries(${target} PRIVATE ${name} delayimp)
    target_link_options(${target} INTERFACE "/DELAYLOAD:${dll}")
    return()
  endif()
  set(def "${CMAKE_CURRENT_BINARY_DIR}/${name}_delay.def")
  set(lib "${CMAKE_CURRENT_BINARY_DIR}/lib${name}_delay.a")
  list(JOIN ARGN "\n" exports)
  file(CONFIGURE OUTPUT "${def}" CONTENT "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
  add_custom_command(OUTPUT "${lib}"
    COMMAND ${CMAKE_DLLTOOL} --input-def "${def}" --dllname "${dll}" --output-delaylib "${lib}"
    DEPENDS "${def}" VERBATIM)
  add_custom_target(${name}_delay_lib DEPENDS "${lib}")
  add_dependencies(${target} ${name}_delay_lib)
  target_link_libraries(${target} PRIVATE "${lib}" delayimp)
endfunction()

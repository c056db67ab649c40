# skimlet_split_debug_info(target): with MinGW, moves a program's or library's debug information out of the file
# into <file>.debug beside it, which the file names (a .gnu_debuglink section), so gdb still finds it. The
# debug sections are part of the loaded image: Wine reads the whole image into private memory at start-up, so a
# RelWithDebInfo skimlet.exe with its debug information inside (about 9 MB) held that much more memory and took
# longer to start. MSVC keeps debug information in a .pdb anyway; builds without -g have nothing to move.
function(skimlet_split_debug_info target)
  if(NOT MINGW OR NOT CMAKE_OBJCOPY OR NOT CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$")
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

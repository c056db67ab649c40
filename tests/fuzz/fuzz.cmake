# libFuzzer target for the task-line reader and writer: only natively and only with clang (the native preset
# uses gcc, so scripts/fuzz.sh builds it with clang++ directly).
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(taskline_fuzz ${CMAKE_CURRENT_LIST_DIR}/TaskLine_fuzz.cpp)
  target_link_libraries(taskline_fuzz PRIVATE skimlet_core)
  target_compile_options(taskline_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(taskline_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

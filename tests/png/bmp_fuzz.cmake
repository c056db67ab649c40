# libFuzzer target for the bitmap validator: only natively and only with clang.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(checkbmp_fuzz ${CMAKE_CURRENT_LIST_DIR}/CheckBmp_fuzz.cpp ${CMAKE_SOURCE_DIR}/src/core/Bmp.cpp)
  target_include_directories(checkbmp_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(checkbmp_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(checkbmp_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

# libFuzzer target for the task-line reader and writer: only natively and only with clang (the native preset
# uses gcc, so scripts/fuzz.sh builds the same program with clang++ directly). The core sources are compiled into
# the target itself so that the fuzzer's coverage instrumentation reaches them.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(taskline_fuzz
    ${CMAKE_CURRENT_LIST_DIR}/TaskLine_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/src/core/TaskLine.cpp
    ${CMAKE_SOURCE_DIR}/src/core/CaseFold.cpp
    ${CMAKE_SOURCE_DIR}/src/core/Integers.cpp)
  target_include_directories(taskline_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(taskline_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(taskline_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()

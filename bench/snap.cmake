# bench_snap: full-screen capture to BMP and BMP-to-PNG conversion times, the product's library beside the imaging
# component's encoder (bench/snap.sh runs it under Wine).
add_executable(bench_snap ${CMAKE_CURRENT_LIST_DIR}/snap.cpp ${CMAKE_CURRENT_LIST_DIR}/snap_wic.cpp
  ${bench_support_dir}/ImageFiles.cpp)
target_link_libraries(bench_snap PRIVATE bench_kit ole32 windowscodecs uuid)
add_dependencies(bench_snap skimlet_png)
set_target_properties(bench_snap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

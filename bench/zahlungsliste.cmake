# The payment list and the selective window at 100,000 payments with 1 to 5 lines each.
if(TARGET tamo_sepafiles)
  add_executable(bench_zahlungsliste ${CMAKE_CURRENT_LIST_DIR}/zahlungsliste_bench.cpp)
  target_link_libraries(bench_zahlungsliste PRIVATE tamo_sepafiles tamo_platform_ui tamo_platform_settings tamo_common
                        benchmark::benchmark)
  target_compile_definitions(bench_zahlungsliste PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_zahlungsliste PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# The payment list report to PDF: 10,000 and 100,000 remittance lines through the print driver and
# the report engine without windows (layout, sums, QPdfWriter with embedded fonts).
if(TARGET tamo_printing_core AND TARGET tamo_sepafiles_druck)
  add_executable(bench_report ${CMAKE_CURRENT_LIST_DIR}/ReportBench.cpp)
  target_link_libraries(bench_report PRIVATE tamo_sepafiles_druck tamo_sepafiles_core tamo_printing_core
                                             tamo_platform_report_core tamo_common benchmark::benchmark)
  target_compile_definitions(bench_report PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_report PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

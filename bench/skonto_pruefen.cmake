# The payment form's cash-discount dialog and check mode at 100,000 open payments.
if(TARGET tamo_payments)
  add_executable(bench_skonto_pruefen ${CMAKE_CURRENT_LIST_DIR}/skonto_pruefen_bench.cpp)
  target_link_libraries(bench_skonto_pruefen PRIVATE tamo_payments tamo_platform_ui tamo_common benchmark::benchmark)
  target_compile_definitions(bench_skonto_pruefen PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_skonto_pruefen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

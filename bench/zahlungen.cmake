# Payment form core at 100,000 open payments: browse query with total, moving through payments
# with their lines, saving payments.
if(TARGET tamo_payments_core)
  add_executable(bench_zahlungen ${CMAKE_CURRENT_LIST_DIR}/zahlungen.cpp)
  target_link_libraries(bench_zahlungen PRIVATE tamo_payments_core benchmark::benchmark)
  target_compile_definitions(bench_zahlungen PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_zahlungen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

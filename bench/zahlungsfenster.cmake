# The payment form: a driver that pictures the window with a direct debit being entered, and the
# window's benchmark at 100,000 open payments (open, move with lines, save).
if(TARGET tamo_payments)
  add_executable(zahlungsfenster ${CMAKE_CURRENT_LIST_DIR}/zahlungsfenster.cpp)
  target_link_libraries(zahlungsfenster PRIVATE tamo_payments tamo_platform_ui tamo_common)
  target_compile_definitions(zahlungsfenster PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(zahlungsfenster PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()
if(TARGET tamo_payments)
  add_executable(bench_zahlungsfenster ${CMAKE_CURRENT_LIST_DIR}/zahlungsfenster_bench.cpp)
  target_link_libraries(bench_zahlungsfenster PRIVATE tamo_payments tamo_platform_ui tamo_common benchmark::benchmark)
  target_compile_definitions(bench_zahlungsfenster PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_zahlungsfenster PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

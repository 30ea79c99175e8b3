# IBAN conversion: the command-line tool iban-konvertieren and the benchmark bench_iban.
if(TARGET tamo_iban)
  add_executable(iban-konvertieren ${CMAKE_CURRENT_LIST_DIR}/iban_konvertieren.cpp)
  target_link_libraries(iban-konvertieren PRIVATE tamo_iban)
  set_target_properties(iban-konvertieren PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)

  add_executable(bench_iban ${CMAKE_CURRENT_LIST_DIR}/bench_iban.cpp)
  target_link_libraries(bench_iban PRIVATE tamo_iban benchmark::benchmark)
  target_compile_definitions(bench_iban PRIVATE TAMO_SHARED_DIR_VORGABE="${TAMO_SHARED_DIR}")
  set_target_properties(bench_iban PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# The tool's input forms (file and pipe), run as a real process.
if(TARGET iban-konvertieren AND TAMO_TESTS)
  add_test(NAME IbanKonvertierenEingabe
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/iban/iban_konvertieren_eingabe.sh $<TARGET_FILE:iban-konvertieren>)
endif()

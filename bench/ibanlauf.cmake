# The address import at 100,000 addresses: IBAN conversion run through the recordset and the database,
# and the take-over from a Tamo-Varix file.
if(TARGET tamo_masterdata_core)
  add_executable(bench_ibanlauf ${CMAKE_CURRENT_LIST_DIR}/ibanlauf.cpp)
  target_link_libraries(bench_ibanlauf PRIVATE tamo_masterdata_core benchmark::benchmark)
  target_compile_definitions(bench_ibanlauf PRIVATE TAMO_SHARED_DIR_VORGABE="${TAMO_SHARED_DIR}"
                                                    TAMO_SCHEMA_DATEI="${PROJECT_SOURCE_DIR}/resources/TamoSEPA.sql")
  set_target_properties(bench_ibanlauf PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# The address window's import at 100,000 addresses, measured as a whole process (iban-lauf).
if(TARGET tamo_masterdata)
  add_executable(iban-lauf ${CMAKE_CURRENT_LIST_DIR}/iban_lauf_fenster.cpp)
  target_link_libraries(iban-lauf PRIVATE tamo_masterdata tamo_platform_ui tamo_common tamo_iban)
  target_compile_definitions(iban-lauf PRIVATE TAMO_SHARED_DIR_VORGABE="${TAMO_SHARED_DIR}"
                                               TAMO_SCHEMA_DATEI="${PROJECT_SOURCE_DIR}/resources/TamoSEPA.sql")
  set_target_properties(iban-lauf PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# Headless SEPA run over a database: selection, pre-check, files and marks, and the control list as
# PDF (no widget library; the report engine without windows runs on the offscreen platform).
if(TARGET tamo_sepafiles_core)
  add_executable(sepa-lauf ${CMAKE_CURRENT_LIST_DIR}/sepa_lauf.cpp ${CMAKE_CURRENT_LIST_DIR}/SepaLaufTreiber.cpp)
  target_link_libraries(sepa-lauf PRIVATE tamo_sepafiles_core tamo_sepafiles_druck tamo_printing_core
                                          tamo_platform_report_core tamo_common)
  set_target_properties(sepa-lauf PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# Kill tests of the run: sepa-lauf killed at every step and system call, then opened again (seconds).
if(TARGET sepa-lauf AND TAMO_TESTS)
  add_test(NAME SepaLaufAbbruch
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/sepafiles/sepa_lauf_abbruch.sh $<TARGET_FILE:sepa-lauf>)
  set_tests_properties(SepaLaufAbbruch PROPERTIES TIMEOUT 300)
endif()

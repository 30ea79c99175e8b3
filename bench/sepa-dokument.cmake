# The SEPA document builder alone (no database, no disk): 100,000 orders with 1-5 lines.
add_executable(bench_sepa_dokument ${CMAKE_CURRENT_LIST_DIR}/SepaDokumentBench.cpp)
target_link_libraries(bench_sepa_dokument PRIVATE tamo_sepafiles_core benchmark::benchmark)
set_target_properties(bench_sepa_dokument PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)

# Database layer at 100,000 payments: open a dynaset and read a screenful, FindFirst, Requery.
add_executable(bench_datenbank ${CMAKE_CURRENT_LIST_DIR}/datenbank.cpp)
target_link_libraries(bench_datenbank PRIVATE tamo_platform_db benchmark::benchmark)
set_target_properties(bench_datenbank PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)

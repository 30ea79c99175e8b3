# Open-item import at 10,000 items of the accounting program beside 100,000 earlier payments:
# the window's selection and the run that turns the items into payments.
if(TARGET tamo_import_core)
  add_executable(bench_import ${CMAKE_CURRENT_LIST_DIR}/import.cpp
                 ${PROJECT_SOURCE_DIR}/tests/testsupport/Geschwisterdatenbank.cpp)
  target_include_directories(bench_import PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(bench_import PRIVATE tamo_import_core benchmark::benchmark)
  target_compile_definitions(bench_import PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(bench_import PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

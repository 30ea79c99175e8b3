# The user-interface gallery (a driver, not part of the program) and the grid benchmark.
add_executable(ui-galerie ${CMAKE_CURRENT_LIST_DIR}/UiGalerie.cpp)
target_link_libraries(ui-galerie PRIVATE tamo_platform_ui tamo_common)
target_compile_definitions(ui-galerie PRIVATE TAMO_HILFE_ORDNER="${PROJECT_SOURCE_DIR}/resources/help")
set_target_properties(ui-galerie PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)

add_executable(bench_datengitter ${CMAKE_CURRENT_LIST_DIR}/DatenGitterBench.cpp)
target_link_libraries(bench_datengitter PRIVATE tamo_platform_ui tamo_common)
set_target_properties(bench_datengitter PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)

# The SEPA file window: a driver that pictures it after the first selection and after a creation.
if(TARGET tamo_sepafiles)
  add_executable(sepafenster ${CMAKE_CURRENT_LIST_DIR}/sepafenster.cpp)
  target_link_libraries(sepafenster PRIVATE tamo_sepafiles tamo_platform_ui tamo_common)
  target_compile_definitions(sepafenster PRIVATE TAMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(sepafenster PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

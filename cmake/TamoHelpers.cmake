include(${CMAKE_CURRENT_LIST_DIR}/TamoSchichten.cmake)

# tamo_library(NAME SOURCES... LINK libs... [PRIVATE_LINK libs...])
# A library for one area (static; shared where TAMO_BIBLIOTHEKSART says so). Its headers are included as "area/Header.h"; only the headers beside its own
# sources are visible to its users (staged under build/include/NAME), so a layer cannot include a header of a
# library it does not link. LINK is what the library's headers need (passed on), PRIVATE_LINK what only its
# sources need. Every library has its layer in cmake/TamoSchichten.cmake; the links are checked against it at the
# end of the configure (tamo_schichten_pruefen).
function(tamo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;PRIVATE_LINK" ${ARGN})
  _tamo_schichttabelle_lesen()
  if(NOT DEFINED TAMO_SCHICHT_${name})
    message(FATAL_ERROR "${name} has no layer: give it one in cmake/TamoSchichten.cmake")
  endif()
  set_property(GLOBAL APPEND PROPERTY TAMO_BIBLIOTHEKEN ${name})
  add_library(${name} ${TAMO_BIBLIOTHEKSART} ${ARG_SOURCES})
  set(stage ${PROJECT_BINARY_DIR}/include/${name})
  set(dirs "")
  foreach(src IN LISTS ARG_SOURCES)
    get_filename_component(abs ${src} ABSOLUTE)
    get_filename_component(dir ${abs} DIRECTORY)
    list(APPEND dirs ${dir})
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  foreach(dir IN LISTS dirs)
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${dir})
    file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
    file(MAKE_DIRECTORY ${stage}/${rel})
    foreach(h IN LISTS headers)
      get_filename_component(hn ${h} NAME)
      if(NOT EXISTS ${stage}/${rel}/${hn})
        file(CREATE_LINK ${h} ${stage}/${rel}/${hn} SYMBOLIC)
      endif()
    endforeach()
  endforeach()
  target_include_directories(${name} PUBLIC ${stage})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  if(ARG_PRIVATE_LINK)
    target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_LINK})
  endif()
endfunction()

# tamo_test(NAME SOURCES... LINK libs... [ENVIRONMENT "VAR=value"])
# One GoogleTest executable; every test runs headless (offscreen platform). LINK names every library whose
# symbols the test's own sources use (with shared libraries nothing is taken along from the libraries' private links).
# ENVIRONMENT is set for every test of the executable (e.g. the offscreen platform with a screen of a given size).
function(tamo_test name)
  cmake_parse_arguments(ARG "" "ENVIRONMENT" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LINK} tamo_testsupport GTest::gtest GTest::gmock)
  set(eigenschaften TIMEOUT 300)
  if(ARG_ENVIRONMENT)
    list(APPEND eigenschaften ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES
    PROPERTIES ${eigenschaften})
endfunction()

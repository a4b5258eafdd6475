include(GoogleTest)

# tess_add_test(<name> SOURCES <files...> LIBS <libraries...>)
# One GoogleTest executable per library; every test case is registered with CTest on its own,
# so CTest can run them in parallel. Tests run from the source tree root.
function(tess_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} test_support GTest::gtest GTest::gmock tess_warnings)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "TESS_RESOURCES=${PROJECT_SOURCE_DIR}/resources")
endfunction()

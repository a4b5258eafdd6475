# Brushes: the flat, fan and filbert brushes, their viewers, bristle layouts and initialiser passes,
# and their strokes end to end.
file(GLOB BRUSHES_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/brushes/*.cpp)
# The round brush's tests have an executable of their own (roundbrush_tests.cmake).
list(FILTER BRUSHES_TEST_SOURCES EXCLUDE REGEX "/RoundBrush[^/]*\\.cpp$")
# The wide brushes have a test program of their own (widebrushes_tests.cmake).
list(FILTER BRUSHES_TEST_SOURCES EXCLUDE REGEX "/Wide[^/]*\\.cpp$")
tess_add_test(brushes_tests
  SOURCES ${BRUSHES_TEST_SOURCES}
  LIBS tessivarium kernels)

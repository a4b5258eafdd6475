# The round brush: the tool, its stroke step, its paint pass and its bristle mesh viewer, and its
# strokes end to end.
file(GLOB ROUNDBRUSH_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/brushes/RoundBrush*.cpp)
tess_add_test(roundbrush_tests
  SOURCES ${ROUNDBRUSH_TEST_SOURCES}
  LIBS tessivarium kernels)

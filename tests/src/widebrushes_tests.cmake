# The wide brushes: their tools, flat model, viewer, stroke step and strokes end to end.
file(GLOB WIDEBRUSHES_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/brushes/Wide*.cpp)
tess_add_test(widebrushes_tests
  SOURCES ${WIDEBRUSHES_TEST_SOURCES}
  LIBS tessivarium kernels)
target_compile_definitions(widebrushes_tests PRIVATE TESS_ENGINE_SCENE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tools/scenes")

# Tool-model engine: the descriptor of a measured head, the tool models, the viewers that measure
# them from their scenes, and the tool-model stroke surface.
tess_add_test(engine_model_tests
  SOURCES
    tools/DAEToolDescriptorWrapperTest.cpp
    tools/DAEThickToolViewerTest.cpp
    tools/DAEToolSurfaceTest.cpp
  LIBS tessivarium kernels)
target_compile_definitions(engine_model_tests PRIVATE TESS_ENGINE_SCENE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tools/scenes")

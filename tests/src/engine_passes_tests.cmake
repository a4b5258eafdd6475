# Tool-model engine: the pass base, the passes, the registry, the composites and the thick-paint
# tool base. Run at the Height debug mode and at None.
tess_add_test(engine_passes_tests
  SOURCES
    tools/AbstractDAEDrawingToolTest.cpp
    tools/DAEEncodersTest.cpp
    tools/DAEMaskerTest.cpp
    tools/DAEPassesTest.cpp
    tools/EnginePassesFixture.cpp
  LIBS tessivarium kernels)

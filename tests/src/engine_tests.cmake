# Tool-model painting engine.
tess_add_test(engine_tests
  SOURCES
    tools/ToolModelKernelRecordsTest.cpp
  LIBS tessivarium)

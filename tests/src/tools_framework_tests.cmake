# Tool framework: touch samples, the drawing tool base and its stroke cycle.
tess_add_test(tools_framework_tests
  SOURCES
    tools/AbstractEncoderUnitTest.cpp
    tools/DrawingToolTest.cpp
    tools/ToolStrokeTest.cpp
    tools/ToolStrokeUndoTest.cpp
    tools/TouchInputTest.cpp
  LIBS tessivarium kernels)

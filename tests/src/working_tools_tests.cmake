# The towel, the sander, turpentine and the fluffy mop: their settings, stroke steps, previews and
# whole strokes on a real canvas with undo.
tess_add_test(working_tools_tests
  SOURCES tools/WorkingToolsTest.cpp tools/TowelAndMopStrokesTest.cpp
  LIBS tessivarium kernels)

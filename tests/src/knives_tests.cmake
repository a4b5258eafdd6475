# The six painting knives and the paint roller: their tools, surfaces, viewers and passes, and whole
# strokes on real canvases with undo.
tess_add_test(knives_tests
  SOURCES
    tools/knives/KnifeStrokeTest.cpp
    tools/knives/KnifeToolTest.cpp
    tools/roller/RollerStrokeTest.cpp
    tools/roller/RollerToolTest.cpp
  LIBS tessivarium kernels)

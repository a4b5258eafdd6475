# The dryer and the wetter: their tool, surface, viewer and passes, for both twins, and whole strokes
# on a real canvas with undo.
tess_add_test(dryer_tests
  SOURCES
    tools/dryer/FanDryerStrokeTest.cpp
    tools/dryer/FanDryerToolTest.cpp
  LIBS tessivarium kernels)

# Drop tools: the paint tube and the sprayer, their base, step composites, paint passes and replay.
tess_add_test(drops_tests
  SOURCES
    tools/sprayer/SprayerStrokeTest.cpp
    tools/tubes/TubeStrokeTest.cpp
  LIBS tessivarium kernels)

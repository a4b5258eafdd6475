# Drop tools: the paint tube and the sprayer, their base, step composites, paint passes and replay.
tess_add_test(drops_tests
  SOURCES
    tools/AbstractDropToolTest.cpp
    tools/sprayer/SprayerStrokeTest.cpp
    tools/sprayer/SprayerToolTest.cpp
    tools/tubes/TubeStrokeTest.cpp
    tools/tubes/TubeToolTest.cpp
  LIBS tessivarium kernels)

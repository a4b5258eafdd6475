# A layer's frames by drawing mode, the tiled rebuild of its picture, and the canvas's touch
# routing to the current tool, its delegate and its touch handlers.
tess_add_test(frames_tests
  SOURCES
    components/FrameDrawingTest.cpp
    components/RebuildCompositionTest.cpp
    components/TouchRoutingTest.cpp
    components/GoldenPictureTest.cpp
  LIBS tessivarium kernels)

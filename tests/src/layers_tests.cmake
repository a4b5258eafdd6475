# The layers and the canvas's layer side: the layer, the canvas view, its layer stack, the layer
# passes and kernels.
tess_add_test(layers_tests
  SOURCES
    components/CanvasViewTest.cpp
    components/LayerStackTest.cpp
    components/LayerTest.cpp
  LIBS tessivarium kernels)

# The layers and the canvas's layer side: the layer, the canvas view, its layer stack, the layer
# passes and kernels, and the layer and region undo steps.
tess_add_test(layers_tests
  SOURCES
    commands/LayerHistoryPropertyTest.cpp
    commands/LayerStepsTest.cpp
    components/LayerContentTest.cpp
    components/CanvasViewTest.cpp
    components/LayerStackTest.cpp
    components/LayerTest.cpp
  LIBS tessivarium kernels)
target_include_directories(layers_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/components)

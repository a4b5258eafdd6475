# The canvas's storage records and the colour picker's read of its layers.
tess_add_test(storage_tests
  SOURCES
    components/ColorPickTest.cpp
    components/LayerStorageTest.cpp
  LIBS tessivarium kernels)
target_include_directories(storage_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/components)

# Hostile values and failing texture requests at the entries a host reaches: touches far off and
# angles beyond range, rotations, canvas sizes and scales, wetness values, the canvas's snapshot
# before a stroke and the working textures when the device fails.
tess_add_test(hostile_input_tests
  SOURCES
    components/HostileCanvasTest.cpp
    tools/HostileToolInputTest.cpp
  LIBS tessivarium kernels)
target_include_directories(hostile_input_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tools)

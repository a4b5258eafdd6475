# The colour and pattern pickers on real canvases.
tess_add_test(pickers_tests SOURCES tools/colorPicker/PickersTest.cpp LIBS tessivarium kernels)

# The stroke surface: sample spacing, the working window and the sample upload, the encode cycle
# and its binders.
tess_add_test(tool_surface_tests
  SOURCES
    tools/StrokeEncodeCycleTest.cpp
    tools/StrokeWindowTest.cpp
  LIBS tessivarium kernels)

# GPU compute and textures.
tess_add_test(compute_tests
  SOURCES utils/KernelInterfaceTest.cpp
  LIBS tessivarium)

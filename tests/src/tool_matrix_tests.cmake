# Every tool the manager gives through every path a host drives it (tools/ToolMatrixTest.cpp).
tess_add_test(tool_matrix_tests
  SOURCES tools/ToolMatrixTest.cpp
  LIBS tessivarium kernels)

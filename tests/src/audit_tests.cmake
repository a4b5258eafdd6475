# Sharp cases found by breaking the undo steps, the layers and the layer kernels on purpose: each
# fails with a plausible fault the other suites let through.
tess_add_test(audit_tests
  SOURCES
    commands/UndoFaultsTest.cpp
    components/CanvasFaultsTest.cpp
  LIBS tessivarium kernels)
target_include_directories(audit_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/components)

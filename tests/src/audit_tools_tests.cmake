# Sharp cases found by breaking the tool framework, the tool-model engine and its kernels on
# purpose: each fails with a plausible fault the other suites let through.
tess_add_test(audit_tools_tests
  SOURCES
    tools/DAEToolFaultsTest.cpp
    tools/EnginePassesFixture.cpp
    tools/ToolFaultsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../kernels/ToolModelKernelFaultsTest.cpp
  LIBS tessivarium kernels)
target_include_directories(audit_tools_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../kernels)

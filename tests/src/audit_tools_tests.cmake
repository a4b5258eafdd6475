# Sharp cases found by breaking the tool framework, the tool-model engine and its kernels on
# purpose: each fails with a plausible fault the other suites let through.
tess_add_test(audit_tools_tests
  SOURCES
    tools/DAEToolFaultsTest.cpp
    tools/EnginePassesFixture.cpp
    tools/ToolFaultsTest.cpp
  LIBS tessivarium kernels)

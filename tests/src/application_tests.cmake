# Application manager and settings.
tess_add_test(application_tests
  SOURCES
    ApplicationTest.cpp
    ArtworkTest.cpp
    ErrorMessageTest.cpp
    SurfaceTest.cpp
    tools/ApplicationManagerTest.cpp
    tools/SharedConstantsTest.cpp
    tools/SurfaceWorkingTexturesTest.cpp
    tools/ToolRegistryTest.cpp
    tools/ToolTypeTest.cpp
  LIBS tessivarium)

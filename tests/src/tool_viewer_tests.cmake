# The 3-D side of a tool: the tool viewer, the tool-model textures, the joystick and dial
# controllers, the scene vector maths and the scene cache, and the controller scenes.
tess_add_test(tool_viewer_tests
  SOURCES
    utils/SceneKitUtilTest.cpp
    tools/DefaultToolViewerTest.cpp
    tools/ToolControllerTest.cpp
    tools/ToolModelPickTest.cpp
    tools/ToolModelTest.cpp
    utils/DAEResourceManagerTest.cpp
  LIBS tessivarium kernels)

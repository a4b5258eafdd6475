# The painting tools' scene files and bristle picture under resources/: they load, hold their nodes
# and measure within bounds; and they are what scripts/make_tool_scenes.py writes.
tess_add_test(resources_tests
  SOURCES
    resources/ToolScenesTest.cpp
  LIBS tessivarium kernels)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME ToolScenesGenerator.WritesWhatIsCommitted
  COMMAND ${Python3_EXECUTABLE} scripts/make_tool_scenes.py --check
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})

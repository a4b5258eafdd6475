# GPU compute and textures.
tess_add_test(compute_tests
  SOURCES
    tools/ComputePassTest.cpp
    tools/EncodersProviderTest.cpp
    tools/TexturePassesTest.cpp
    utils/GpuUtilitiesTest.cpp
    utils/KernelInterfaceTest.cpp
    utils/MetalTextureTest.cpp
    utils/TextureUtilTest.cpp
  LIBS tessivarium)

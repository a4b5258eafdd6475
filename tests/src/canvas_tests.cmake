# Canvas machinery: picture composition, image filters, paint records, region snapshots and the
# small views.
tess_add_test(canvas_tests
  SOURCES
    components/ArtworkDataTest.cpp
    components/BrushViewTest.cpp
    components/RawDataTest.cpp
    components/SmallViewsTest.cpp
    utils/ComposedPictureTest.cpp
    utils/CoreImageUtilTest.cpp
    utils/ImageFiltersTest.cpp
  LIBS tessivarium kernels)

# Undo and redo: the history, its memory policy and the recorded strokes.
tess_add_test(undo_tests
  SOURCES
    commands/CommandManagerTest.cpp
    commands/HistoryPropertyTest.cpp
    commands/RegionClusteringTest.cpp
    commands/SnapshotPolicyTest.cpp
    commands/StrokeHistoryTest.cpp
    commands/StrokeStepTest.cpp
  LIBS tessivarium kernels)
target_include_directories(undo_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/commands)

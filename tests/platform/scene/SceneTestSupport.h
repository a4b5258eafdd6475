#pragma once
// Comparisons shared by the scene kit's tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scene/Matrix4.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"
#include "scene/Vector.h"

namespace scenetest {

constexpr float kPi = 3.14159265358979323846f;

inline void expectNear(const scene::Vector3& actual, const scene::Vector3& expected,
                       float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The 3 × 3 part of `m` against row-major `expected`.
inline void expectRotation(const scene::Matrix4& m, const double (&expected)[3][3],
                           double tolerance = 1e-6) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(m(r, c), expected[r][c], tolerance) << r << "," << c;
  }
}

// The message of the SceneError that loading `path` throws ("" when it loads).
inline std::string loadError(const std::filesystem::path& path) {
  try {
    scene::Scene::load(path);
  } catch (const scene::SceneError& error) {
    return error.what();
  }
  return "";
}

}  // namespace scenetest

#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "SceneTestSupport.h"
#include "scene/Camera.h"
#include "scene/Scene.h"
#include "scene/View.h"

namespace {

using scene::Camera;
using scene::Node;
using scene::Scene;
using scene::Vector3;
using scene::View;
using scenetest::expectNear;
using scenetest::kPi;

// A view with an orthographic camera node at `at`, as the lit views set up their stage.
struct Stage {
  std::shared_ptr<Scene> scene = Scene::make();
  std::shared_ptr<Node> cameraNode = Node::make();
  View view;

  Stage(graphics::Rect frame, Vector3 at, double scale = 1.0) : view(frame) {
    auto camera = Camera::make();
    camera->setUsesOrthographicProjection(true);
    camera->setOrthographicScale(scale);
    cameraNode->setCamera(camera);
    cameraNode->setPosition(at);
    scene->rootNode()->addChildNode(cameraNode);
    view.setScene(scene);
  }
  Camera& camera() { return *cameraNode->camera(); }
};

TEST(View, ProjectsByTheOrthographicFormula) {
  Stage stage({0, 0, 300, 200}, {1, 2, 10}, 2.0);
  stage.camera().setZNear(1);
  stage.camera().setZFar(21);
  // x = 150 + (3 − 1)·200/4, y = 100 − (1 − 2)·200/4, depth = ((10 − 4) − 1)/20.
  EXPECT_EQ(stage.view.projectPoint({3, 1, 4}), Vector3(250, 150, 0.25f));
  // The camera's own position lands in the middle of the view.
  const Vector3 centre = stage.view.projectPoint({1, 2, 10});
  EXPECT_EQ(centre.x, 150.0f);
  EXPECT_EQ(centre.y, 100.0f);
  // The frame's origin does not move the projection.
  stage.view.setFrame({500, -40, 300, 200});
  EXPECT_EQ(stage.view.projectPoint({3, 1, 4}), Vector3(250, 150, 0.25f));
}

TEST(View, TheOrthographicScaleIsHalfTheVisibleHeight) {
  for (double scale : {0.5, 1.0, 3.0}) {
    Stage stage({0, 0, 2048, 1536}, {0, 0, 5}, scale);
    const float s = float(scale);
    EXPECT_FLOAT_EQ(stage.view.projectPoint({0, s, 0}).y, 0);       // the top edge
    EXPECT_FLOAT_EQ(stage.view.projectPoint({0, -s, 0}).y, 1536);   // the bottom edge
    EXPECT_FLOAT_EQ(stage.view.projectPoint({s, 0, 0}).x, 1024 + 768);  // same units across
  }
  // The brush view's cylinder: a radius of 73.6 / H scene units spans 73.6 points.
  Stage brush({0, 0, 1024, 736}, {0, 0, 5});
  const float r = 73.6f / 736;
  EXPECT_NEAR(brush.view.projectPoint({r, 0, 0}).x - brush.view.projectPoint({-r, 0, 0}).x, 73.6, 1e-4);
}

TEST(View, UnprojectIsTheInverse) {
  Stage stage({0, 0, 2048, 1536}, {0.5f, -1, 5}, 1.0);
  stage.camera().setZNear(0.5);
  const Vector3 points[] = {{0, 0, 0}, {0.3f, -0.7f, 1.5f}, {-4, 2, -20}, {0.5f, -1, 5}};
  for (const Vector3& p : points) {
    expectNear(stage.view.unprojectPoint(stage.view.projectPoint(p)), p, 1e-5f);
  }
  // The other way round: a touch at the view's centre with depth 0 lies zNear in front of the
  // camera, on its axis.
  expectNear(stage.view.unprojectPoint({1024, 768, 0}), {0.5f, -1, 4.5f});
}

TEST(View, AViewWithoutHeightNeverDivides) {
  Stage stage({0, 0, 0, 0}, {0, 0, 5});
  const Vector3 projected = stage.view.projectPoint({0.59f, 0, 0});
  EXPECT_EQ(projected.x, 0.0f);
  EXPECT_EQ(projected.y, 0.0f);
  // Unproject gives the camera's x and y, the one place such a view shows.
  const Vector3 back = stage.view.unprojectPoint({10, 20, 0});
  EXPECT_EQ(back, Vector3(0, 0, 4));
  EXPECT_FALSE(std::isnan(back.x) || std::isnan(back.y));
}

TEST(View, ThePointOfViewIsTheCameraFoundOrTheOneSet) {
  Stage stage({0, 0, 100, 100}, {0, 0, 5});
  EXPECT_EQ(stage.view.pointOfView(), stage.cameraNode);

  // A camera under a moved parent projects from its world position.
  auto holder = Node::make(), other = Node::make();
  holder->setPosition({2, 0, 0});
  auto camera = Camera::make();
  camera->setUsesOrthographicProjection(true);
  other->setCamera(camera);
  holder->addChildNode(other);
  stage.scene->rootNode()->addChildNode(holder);
  stage.view.setPointOfView(other);
  EXPECT_EQ(stage.view.pointOfView(), other);
  EXPECT_EQ(stage.view.projectPoint({2, 0, 0}).x, 50.0f);
}

TEST(View, CamerasThatCannotProjectStop) {
  View bare({0, 0, 10, 10});
  EXPECT_EQ(bare.pointOfView(), nullptr);
  EXPECT_FATAL(bare.projectPoint({0, 0, 0}), "scene view: no camera to project through");

  Stage stage({0, 0, 10, 10}, {0, 0, 5});
  stage.camera().setUsesOrthographicProjection(false);
  EXPECT_FATAL(stage.view.projectPoint({0, 0, 0}), "scene view: only orthographic cameras project");
  stage.camera().setUsesOrthographicProjection(true);
  stage.camera().setOrthographicScale(0);
  EXPECT_FATAL(stage.view.unprojectPoint({0, 0, 0}), "scene view: the orthographic scale must be positive");
  stage.camera().setOrthographicScale(1);
  stage.camera().setZFar(1);
  EXPECT_FATAL(stage.view.projectPoint({0, 0, 0}),
               "scene view: the camera's near and far distances are equal");
  stage.camera().setZFar(100);
  stage.cameraNode->setEulerAngles({0, kPi / 2, 0});
  EXPECT_FATAL(stage.view.projectPoint({0, 0, 0}), "scene view: the camera must look down -z, unturned");
}

class RecordingDelegate : public scene::RendererDelegate {
 public:
  void willRenderScene(View& view, Scene& scene, double time) override {
    calls.push_back({&view, &scene, time});
  }
  struct Call {
    View* view;
    Scene* scene;
    double time;
  };
  std::vector<Call> calls;
};

TEST(View, TheDelegateIsToldBeforeEachRender) {
  Stage stage({0, 0, 10, 10}, {0, 0, 5});
  auto delegate = std::make_shared<RecordingDelegate>();
  stage.view.setDelegate(delegate);
  stage.view.render(0.25);
  ASSERT_EQ(delegate->calls.size(), 1u);
  EXPECT_EQ(delegate->calls[0].view, &stage.view);
  EXPECT_EQ(delegate->calls[0].scene, stage.scene.get());
  EXPECT_EQ(delegate->calls[0].time, 0.25);

  stage.view.setDelegate(nullptr);
  stage.view.render(0.5);
  EXPECT_EQ(delegate->calls.size(), 1u);

  // Not owned: a delegate that is gone is not told.
  {
    auto passing = std::make_shared<RecordingDelegate>();
    stage.view.setDelegate(passing);
  }
  EXPECT_EQ(stage.view.delegate(), nullptr);
  stage.view.render(0.75);
  EXPECT_EQ(stage.view.renderCount(), 3u);
}

}  // namespace

namespace {

// A scene view stands in the view tree like any other view, white and opaque until set otherwise.
TEST(View, IsAViewOfTheViewTree) {
  auto parent = std::make_shared<ui::View>(graphics::Rect(0, 0, 500, 400));
  auto view = std::make_shared<scene::View>(graphics::Rect(10, 20, 100, 50));
  parent->addSubview(view);
  EXPECT_EQ(view->superview(), parent.get());
  EXPECT_EQ(view->backgroundColor(), graphics::Color::white());
  EXPECT_TRUE(view->isOpaque());
  const auto inParent = view->convert({0, 0}, parent.get());
  EXPECT_EQ(inParent.x, 10);
  EXPECT_EQ(inParent.y, 20);
}

}  // namespace

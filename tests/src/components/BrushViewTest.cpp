#include "components/BrushView.h"

#include <numbers>

#include <gtest/gtest.h>

#include "Application.h"
#include "FatalStop.h"
#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Scene.h"
#include "ui/Coder.h"

namespace tessivarium {
namespace {

std::shared_ptr<scene::Cylinder> cylinderOf(const BrushView& view) {
  return std::dynamic_pointer_cast<scene::Cylinder>(view.content()->geometry());
}

TEST(BrushView, CylinderSizeFollowsTheFrameHeight) {
  const struct { double height; float radius; } cases[] = {{736, 0.1f}, {368, 0.2f}};
  for (const auto& c : cases) {
    BrushView view(graphics::Rect(0, 0, 500, c.height));
    const auto cylinder = cylinderOf(view);
    ASSERT_TRUE(cylinder);
    EXPECT_FLOAT_EQ(cylinder->radius(), c.radius);
    EXPECT_FLOAT_EQ(cylinder->height(), 3 * c.radius);
    const auto material = cylinder->firstMaterial();
    EXPECT_EQ(material->lightingModel(), scene::LightingModel::phong);
    EXPECT_EQ(*material->diffuse().color(), graphics::Color::darkGrey());
    EXPECT_EQ(*material->specular().color(), graphics::Color::white());
    EXPECT_FLOAT_EQ(material->shininess(), 0.15f);
  }
}

TEST(BrushView, BuildsTheStage) {
  BrushView view(graphics::Rect(0, 0, 300, 736));
  EXPECT_FALSE(view.isOpaque());
  EXPECT_EQ(view.backgroundColor(), graphics::Color::fromRGBA(1, 1, 1, 0));
  const auto& root = view.scene()->rootNode();
  ASSERT_EQ(root->childNodes().size(), 3u);
  const auto& camera = root->childNodes()[0];
  ASSERT_TRUE(camera->camera());
  EXPECT_TRUE(camera->camera()->usesOrthographicProjection());
  EXPECT_EQ(camera->camera()->orthographicScale(), 1.0);
  EXPECT_EQ(camera->position(), scene::Vector3(0, 0, 5));
  EXPECT_EQ(root->childNodes()[1], view.lightNode());
  EXPECT_EQ(view.lightNode()->position(), scene::Vector3(-35, 10, 35));
  EXPECT_EQ(view.lightNode()->light()->type(), scene::LightType::omni);
  EXPECT_EQ(root->childNodes()[2], view.toolNode());
  EXPECT_EQ(view.toolNode()->position(), scene::Vector3(0, 0, 0));
  ASSERT_EQ(view.toolNode()->childNodes().size(), 1u);
  EXPECT_EQ(view.toolNode()->childNodes()[0], view.content());
  EXPECT_EQ(view.content()->position(), scene::Vector3(0, 0, 0.1f));
  EXPECT_FLOAT_EQ(view.content()->eulerAngles().x, std::numbers::pi_v<float> / 2);
}

TEST(BrushView, SetViewAgainReplacesTheWholeScene) {
  BrushView view(graphics::Rect(0, 0, 300, 736));
  const auto oldScene = view.scene();
  const auto oldTool = view.toolNode();
  view.setView();
  EXPECT_NE(view.scene(), oldScene);
  EXPECT_NE(view.toolNode(), oldTool);
  EXPECT_EQ(view.scene()->rootNode()->childNodes().size(), 3u);
}

TEST(BrushView, ToolNodeVisibleAtSevenTenthsUnlessAutoHidden) {
  BrushView shown(graphics::Rect(0, 0, 300, 736));
  EXPECT_FALSE(shown.toolNode()->isHidden());
  EXPECT_FLOAT_EQ(shown.toolNode()->opacity(), 0.7f);

  Application().setDrawingToolAutoHide(true);
  BrushView hidden(graphics::Rect(0, 0, 300, 736));
  EXPECT_TRUE(hidden.toolNode()->isHidden());
  hidden.toolNode()->setHidden(false);  // as the tool viewer shows it on touch-down
  hidden.setBrushNode(scene::Node::make());
  EXPECT_TRUE(hidden.toolNode()->isHidden());
}

TEST(BrushView, SetBrushNodeReplacesTheContent) {
  BrushView view(graphics::Rect(0, 0, 300, 736));
  view.lightNode()->light()->setColor(graphics::Color::fromRGBA(1, 0, 0, 1));
  view.toolNode()->setOpacity(0.2f);
  auto first = scene::Node::make();
  auto second = scene::Node::make();
  second->setPosition({1, 2, 3});
  view.setBrushNode(first);
  view.setBrushNode(second);
  ASSERT_EQ(view.toolNode()->childNodes().size(), 1u);
  EXPECT_EQ(view.toolNode()->childNodes()[0], second);
  EXPECT_EQ(view.content(), second);
  EXPECT_EQ(second->position(), scene::Vector3(1, 2, 3));
  EXPECT_EQ(first->parent(), nullptr);
  EXPECT_FLOAT_EQ(view.toolNode()->opacity(), 0.7f);
  EXPECT_EQ(view.lightNode()->light()->color(), graphics::Color::white());
}

TEST(BrushView, ArchivesAndMissingNodesStop) {
  EXPECT_FATAL(BrushView(ui::Coder{}), "init(coder:) has not been implemented");
  EXPECT_EQ(LightView::fromCoder(ui::Coder{}), nullptr);
  BrushView view(graphics::Rect(0, 0, 300, 736));
  view.setContent(nullptr);
  EXPECT_FATAL_CONTAINING(view.setBrushNode(scene::Node::make()), "setBrushNode");
}

TEST(BrushView, ConstructorsLeaveTheStageToTheCaller) {
  LightView view(graphics::Rect(0, 0, 100, 100));
  EXPECT_FALSE(view.scene());
  EXPECT_FALSE(view.lightNode());
  view.setView();
  EXPECT_EQ(view.scene()->rootNode()->childNodes().size(), 2u);
}

}  // namespace
}  // namespace tessivarium

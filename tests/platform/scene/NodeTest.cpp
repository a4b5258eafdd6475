#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "scene/Camera.h"
#include "scene/Geometry.h"
#include "scene/Light.h"
#include "scene/Node.h"

namespace {

using scene::Node;

std::shared_ptr<Node> named(const std::string& name) {
  auto node = Node::make();
  node->setName(name);
  return node;
}

std::vector<std::string> namesOf(const Node& node) {
  std::vector<std::string> names;
  for (const auto& child : node.childNodes()) names.push_back(child->name());
  return names;
}

TEST(Node, AddingAChildTakesItFromItsOldParent) {
  auto a = named("a"), b = named("b"), x = named("x"), y = named("y");
  a->addChildNode(x);
  a->addChildNode(y);
  EXPECT_EQ(x->parent(), a.get());

  b->addChildNode(x);
  EXPECT_EQ(namesOf(*a), std::vector<std::string>{"y"});
  EXPECT_EQ(namesOf(*b), std::vector<std::string>{"x"});
  EXPECT_EQ(x->parent(), b.get());

  // Moving the children of one node into another, taking the list once, keeps their order.
  const auto loaded = named("root");
  for (const char* n : {"p", "q", "r"}) loaded->addChildNode(named(n));
  const auto children = loaded->childNodes();
  for (const auto& child : children) b->addChildNode(child);
  EXPECT_TRUE(loaded->childNodes().empty());
  EXPECT_EQ(namesOf(*b), (std::vector<std::string>{"x", "p", "q", "r"}));

  // Adding a child again moves it to the end.
  b->addChildNode(x);
  EXPECT_EQ(namesOf(*b), (std::vector<std::string>{"p", "q", "r", "x"}));
}

TEST(Node, RemovingFromTheParent) {
  auto parent = named("parent");
  std::weak_ptr<Node> watch;
  {
    auto child = named("child");
    watch = child;
    parent->addChildNode(child);
  }
  // Held only by the parent: removal releases it safely.
  watch.lock()->removeFromParentNode();
  EXPECT_TRUE(parent->childNodes().empty());
  EXPECT_TRUE(watch.expired());

  auto free = named("free");
  free->removeFromParentNode();  // nothing to do
  EXPECT_EQ(free->parent(), nullptr);
}

TEST(Node, ChildrenOutliveTheirParentWithoutADanglingPointer) {
  auto child = named("child");
  {
    auto parent = named("parent");
    parent->addChildNode(child);
  }
  EXPECT_EQ(child->parent(), nullptr);
  EXPECT_EQ(child->worldPosition(), scene::Vector3(0, 0, 0));
}

TEST(Node, LoopsAndNullChildrenStop) {
  auto a = named("a"), b = named("b"), c = named("c");
  a->addChildNode(b);
  b->addChildNode(c);
  const char* loop = "addChildNode: a node cannot become a child of itself or of its descendants";
  EXPECT_FATAL(c->addChildNode(a), loop);
  EXPECT_FATAL(b->addChildNode(b), loop);
  EXPECT_FATAL(a->addChildNode(nullptr), "addChildNode: no node given");
  EXPECT_EQ(c->parent(), b.get());  // nothing moved
}

TEST(Node, RecursiveLookupIsPreOrderDepthFirstFirstMatch) {
  // root ─ a ─ a1 ─ "mark" (deep, under the first child)
  //      │   └ "mark" is not here
  //      └ "mark" (shallow, the second child)
  auto root = named("root"), a = named("a"), a1 = named("a1"), deep = named("mark"),
       shallow = named("mark"), other = named("other");
  root->addChildNode(a);
  a->addChildNode(a1);
  a1->addChildNode(deep);
  root->addChildNode(shallow);
  shallow->addChildNode(other);

  EXPECT_EQ(root->childNode("mark", true), deep);      // the first child's subtree comes first
  EXPECT_EQ(root->childNode("mark", false), shallow);  // direct children only
  EXPECT_EQ(root->childNode("other", true), other);
  EXPECT_EQ(root->childNode("a1", false), nullptr);
  EXPECT_EQ(root->childNode("root", true), nullptr);  // never the node itself
  EXPECT_EQ(root->childNode("Mark", true), nullptr);  // names are case-sensitive
}

TEST(Node, ContentsAndAppearance) {
  auto node = Node::make(scene::Sphere::make(0.5f));
  ASSERT_TRUE(node->geometry());
  node->setCamera(scene::Camera::make());
  node->setLight(scene::Light::make());
  node->setOpacity(0.7f);
  node->setHidden(true);
  EXPECT_EQ(node->scale(), scene::Vector3(1, 1, 1));
  EXPECT_EQ(node->opacity(), 0.7f);
  EXPECT_TRUE(node->isHidden());
  EXPECT_FALSE(node->camera()->usesOrthographicProjection());
  EXPECT_EQ(node->camera()->orthographicScale(), 1.0);
  EXPECT_EQ(node->camera()->zNear(), 1.0);
  EXPECT_EQ(node->camera()->zFar(), 100.0);
  EXPECT_EQ(node->light()->type(), scene::LightType::omni);
  EXPECT_EQ(node->light()->color(), graphics::Color::white());
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FatalStop.h"
#include "ui/View.h"

namespace {

using graphics::Point;
using graphics::Rect;
using ui::View;

std::shared_ptr<View> makeView(Rect frame = {}) { return std::make_shared<View>(frame); }

std::vector<const View*> order(const View& parent) {
  std::vector<const View*> out;
  for (const auto& subview : parent.subviews()) out.push_back(subview.get());
  return out;
}

TEST(ViewTree, SubviewOrderUnderAddInsertRestackAndRemove) {
  auto parent = makeView();
  auto a = makeView(), b = makeView(), c = makeView(), d = makeView();
  parent->addSubview(a);
  parent->addSubview(b);
  parent->addSubview(c);
  EXPECT_EQ(order(*parent), (std::vector<const View*>{a.get(), b.get(), c.get()}));
  EXPECT_EQ(b->superview(), parent.get());

  parent->insertSubview(d, 1);
  EXPECT_EQ(order(*parent), (std::vector<const View*>{a.get(), d.get(), b.get(), c.get()}));
  parent->insertSubview(d, 4 - 1);  // moving within the parent counts after it left its place
  EXPECT_EQ(order(*parent), (std::vector<const View*>{a.get(), b.get(), c.get(), d.get()}));

  parent->bringSubviewToFront(*a);
  EXPECT_EQ(order(*parent), (std::vector<const View*>{b.get(), c.get(), d.get(), a.get()}));
  parent->sendSubviewToBack(*d);
  EXPECT_EQ(order(*parent), (std::vector<const View*>{d.get(), b.get(), c.get(), a.get()}));
  parent->addSubview(b);  // adding a subview again puts it on top
  EXPECT_EQ(order(*parent), (std::vector<const View*>{d.get(), c.get(), a.get(), b.get()}));

  c->removeFromSuperview();
  EXPECT_EQ(order(*parent), (std::vector<const View*>{d.get(), a.get(), b.get()}));
  EXPECT_EQ(c->superview(), nullptr);
  c->removeFromSuperview();  // no superview: nothing happens

  auto stranger = makeView();
  parent->bringSubviewToFront(*stranger);  // not a subview: nothing happens
  parent->sendSubviewToBack(*stranger);
  EXPECT_EQ(order(*parent), (std::vector<const View*>{d.get(), a.get(), b.get()}));
}

TEST(ViewTree, AddingMovesAViewFromItsOldSuperview) {
  auto first = makeView(), second = makeView(), child = makeView();
  first->addSubview(child);
  second->insertSubview(child, 0);
  EXPECT_TRUE(first->subviews().empty());
  EXPECT_EQ(child->superview(), second.get());
}

TEST(ViewTree, RefusesCyclesAbsentViewsAndIndicesBeyondTheEnd) {
  auto parent = makeView(), child = makeView(), grandchild = makeView();
  parent->addSubview(child);
  child->addSubview(grandchild);
  EXPECT_FATAL(grandchild->addSubview(parent),
               "A view cannot be added to itself or to one of its own subviews.");
  EXPECT_FATAL(child->addSubview(child),
               "A view cannot be added to itself or to one of its own subviews.");
  EXPECT_FATAL(parent->addSubview(nullptr), "Cannot add an absent view as a subview.");
  auto other = makeView();
  EXPECT_FATAL(parent->insertSubview(other, 2), "Subview index out of range.");
  EXPECT_EQ(other->superview(), nullptr);  // refused before anything moved
  EXPECT_EQ(parent->subviews().size(), 1u);
}

TEST(ViewTree, RemovingTheLastReferenceDestroysTheViewAndItsSubviewsForgetTheirSuperview) {
  auto parent = makeView();
  std::weak_ptr<View> watched;
  auto grandchild = makeView();
  {
    auto child = makeView();
    watched = child;
    parent->addSubview(child);
    child->addSubview(grandchild);
  }
  ASSERT_FALSE(watched.expired());
  watched.lock()->removeFromSuperview();
  EXPECT_TRUE(watched.expired());
  EXPECT_EQ(grandchild->superview(), nullptr);
}

TEST(ViewTree, FrameBoundsAndCentreFollowEachOther) {
  View view(Rect(10, 20, 100, 50));
  EXPECT_EQ(view.bounds(), Rect(0, 0, 100, 50));
  EXPECT_EQ(view.center(), (Point{60, 45}));

  view.setCenter({0, 0});
  EXPECT_EQ(view.frame(), Rect(-50, -25, 100, 50));
  view.setBounds(Rect(5, 5, 20, 10));  // keeps the centre
  EXPECT_EQ(view.frame(), Rect(-10, -5, 20, 10));
  EXPECT_EQ(view.bounds(), Rect(5, 5, 20, 10));
  view.setFrame(Rect(1, 2, 3, 4));  // keeps the bounds origin
  EXPECT_EQ(view.bounds(), Rect(5, 5, 3, 4));

  view.setAlpha(1.5);
  EXPECT_EQ(view.alpha(), 1.0);
  view.setAlpha(-0.5);
  EXPECT_EQ(view.alpha(), 0.0);
  EXPECT_FATAL(view.setBorderWidth(-1), "A view's border width must be a finite number of 0 or more.");
}

TEST(ViewTree, ConvertsPointsBetweenNestedViews) {
  auto window = makeView(Rect(0, 0, 1000, 1000));
  auto outer = makeView(Rect(100, 200, 500, 500));
  auto inner = makeView(Rect(10, 20, 100, 100));
  auto sibling = makeView(Rect(300, 50, 100, 100));
  window->addSubview(outer);
  outer->addSubview(inner);
  window->addSubview(sibling);

  EXPECT_EQ(inner->convert({1, 2}, outer.get()), (Point{11, 22}));
  EXPECT_EQ(inner->convert({1, 2}, nullptr), (Point{111, 222}));
  EXPECT_EQ(inner->convert({1, 2}, sibling.get()), (Point{-189, 172}));
  EXPECT_EQ(sibling->convertFrom({1, 2}, inner.get()), (Point{-189, 172}));
  EXPECT_EQ(inner->convertFrom({111, 222}, nullptr), (Point{1, 2}));
  EXPECT_EQ(outer->convertFrom({1, 2}, inner.get()), (Point{11, 22}));

  // A bounds origin scrolls the content: the point shown at the outer view's corner is (40, 30).
  outer->setBounds(Rect(40, 30, 500, 500));
  EXPECT_EQ(outer->convert({40, 30}, window.get()), (Point{100, 200}));
  EXPECT_EQ(inner->convert({0, 0}, window.get()), (Point{100 + 10 - 40, 200 + 20 - 30}));

  auto elsewhere = makeView(Rect(0, 0, 10, 10));
  EXPECT_FATAL(inner->convert({0, 0}, elsewhere.get()),
               "Cannot convert a point between views of different view trees.");
}

}  // namespace

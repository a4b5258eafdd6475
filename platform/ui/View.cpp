#include "ui/View.h"

#include <algorithm>
#include <cmath>

#include "foundation/Fatal.h"
#include "graphics/ImageContext.h"

namespace ui {

View::View(graphics::Rect frame) : frame_(frame) {}

View::~View() {
  for (const auto& subview : subviews_) subview->superview_ = nullptr;
}

void View::setFrame(graphics::Rect frame) { frame_ = frame; }

void View::setBounds(graphics::Rect bounds) {
  const graphics::Point c = center();
  boundsOrigin_ = bounds.origin;
  frame_.size = bounds.size;
  setCenter(c);
}

graphics::Point View::center() const {
  return {frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2};
}

void View::setCenter(graphics::Point center) {
  frame_.origin = {center.x - frame_.size.width / 2, center.y - frame_.size.height / 2};
}

void View::setAlpha(double alpha) { alpha_ = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0); }

void View::setBorderWidth(double width) {
  if (!(width >= 0.0) || !std::isfinite(width)) {
    foundation::fatalError("A view's border width must be a finite number of 0 or more.");
  }
  borderWidth_ = width;
}

void View::addSubview(std::shared_ptr<View> view) {
  const std::size_t end = view && view->superview_ == this ? subviews_.size() - 1 : subviews_.size();
  insertSubview(std::move(view), end);
}

void View::insertSubview(std::shared_ptr<View> view, std::size_t index) {
  if (!view) foundation::fatalError("Cannot add an absent view as a subview.");
  if (isDescendant(*view)) {
    foundation::fatalError("A view cannot be added to itself or to one of its own subviews.");
  }
  const std::size_t countWithoutView = subviews_.size() - (view->superview_ == this ? 1 : 0);
  if (index > countWithoutView) foundation::fatalError("Subview index out of range.");
  view->removeFromSuperview();
  view->superview_ = this;
  subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), std::move(view));
}

std::size_t View::indexOfSubview(const View& view) const {
  const auto found = std::find_if(subviews_.begin(), subviews_.end(),
                                  [&](const auto& subview) { return subview.get() == &view; });
  return static_cast<std::size_t>(found - subviews_.begin());
}

void View::bringSubviewToFront(const View& view) {
  const std::size_t index = indexOfSubview(view);
  if (index == subviews_.size()) return;
  std::rotate(subviews_.begin() + static_cast<std::ptrdiff_t>(index),
              subviews_.begin() + static_cast<std::ptrdiff_t>(index) + 1, subviews_.end());
}

void View::sendSubviewToBack(const View& view) {
  const std::size_t index = indexOfSubview(view);
  if (index == subviews_.size()) return;
  std::rotate(subviews_.begin(), subviews_.begin() + static_cast<std::ptrdiff_t>(index),
              subviews_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
}

void View::removeFromSuperview() {
  if (!superview_) return;
  superview_->detachSubview(superview_->indexOfSubview(*this));
}

void View::detachSubview(std::size_t index) {
  // Moved out first, so that the view (perhaps destroyed with the last reference) is no longer
  // in the list while its destructor runs.
  std::shared_ptr<View> detached = std::move(subviews_[index]);
  subviews_.erase(subviews_.begin() + static_cast<std::ptrdiff_t>(index));
  detached->superview_ = nullptr;
}

bool View::isDescendant(const View& ancestor) const {
  for (const View* view = this; view; view = view->superview_) {
    if (view == &ancestor) return true;
  }
  return false;
}

const View& View::root() const {
  const View* view = this;
  while (view->superview_) view = view->superview_;
  return *view;
}

graphics::Point View::toWindow(graphics::Point point) const {
  for (const View* view = this; view->superview_; view = view->superview_) {
    point.x += view->frame_.origin.x - view->boundsOrigin_.x;
    point.y += view->frame_.origin.y - view->boundsOrigin_.y;
  }
  return point;
}

graphics::Point View::fromWindow(graphics::Point point) const {
  for (const View* view = this; view->superview_; view = view->superview_) {
    point.x -= view->frame_.origin.x - view->boundsOrigin_.x;
    point.y -= view->frame_.origin.y - view->boundsOrigin_.y;
  }
  return point;
}

graphics::Point View::convert(graphics::Point point, const View* to) const {
  const graphics::Point window = toWindow(point);
  if (!to) return window;
  if (&to->root() != &root()) {
    foundation::fatalError("Cannot convert a point between views of different view trees.");
  }
  return to->fromWindow(window);
}

graphics::Point View::convertFrom(graphics::Point point, const View* from) const {
  if (!from) return fromWindow(point);
  return from->convert(point, this);
}

void View::touchesBegan(const TouchSet&, const Event*) {}
void View::touchesMoved(const TouchSet&, const Event*) {}
void View::touchesEnded(const TouchSet&, const Event*) {}
void View::touchesCancelled(const TouchSet&, const Event*) {}

namespace {

// Lays `color`, faded by `alpha`, over `rect`; colours of spaces this kit cannot draw (patterns)
// are left out.
void fillRect(graphics::BitmapContext& context, const graphics::Rect& rect,
              const graphics::Color& color, double alpha) {
  if (!color.rgba() || rect.isEmpty()) return;
  context.fill(rect, color.withAlpha(color.alpha() * alpha));
}

}  // namespace

bool View::drawHierarchy(graphics::Rect rect) const {
  const auto context = graphics::currentContext();
  if (!context) return false;
  if (!(frame_.size.width > 0.0) || !(frame_.size.height > 0.0)) return true;
  const double scaleX = rect.size.width / frame_.size.width;
  const double scaleY = rect.size.height / frame_.size.height;
  const graphics::Point offset{rect.origin.x - scaleX * frame_.origin.x,
                               rect.origin.y - scaleY * frame_.origin.y};
  drawTree(*context, offset, scaleX, scaleY, 1.0);
  return true;
}

void View::drawTree(graphics::BitmapContext& context, graphics::Point offset, double scaleX,
                    double scaleY, double alpha) const {
  if (hidden_) return;
  alpha *= alpha_;
  if (alpha <= 0.0) return;
  const graphics::Rect rect(offset.x + scaleX * frame_.origin.x, offset.y + scaleY * frame_.origin.y,
                            scaleX * frame_.size.width, scaleY * frame_.size.height);
  if (backgroundColor_) fillRect(context, rect, *backgroundColor_, alpha);
  drawContent(context, rect, alpha);

  const graphics::Point inner{rect.origin.x - scaleX * boundsOrigin_.x,
                              rect.origin.y - scaleY * boundsOrigin_.y};
  for (const auto& subview : subviews_) subview->drawTree(context, inner, scaleX, scaleY, alpha);

  if (borderWidth_ > 0.0) {
    // Inside the edges, over everything the view holds.
    const double w = rect.size.width, h = rect.size.height;
    const double bx = std::min(scaleX * borderWidth_, w), by = std::min(scaleY * borderWidth_, h);
    const double x = rect.origin.x, y = rect.origin.y;
    const double side = std::max(h - 2 * by, 0.0);
    fillRect(context, graphics::Rect(x, y, w, by), borderColor_, alpha);
    if (h > by) fillRect(context, graphics::Rect(x, y + h - by, w, by), borderColor_, alpha);
    fillRect(context, graphics::Rect(x, y + by, bx, side), borderColor_, alpha);
    if (w > bx) fillRect(context, graphics::Rect(x + w - bx, y + by, bx, side), borderColor_, alpha);
  }
}

void View::drawContent(graphics::BitmapContext&, graphics::Rect, double) const {}

}  // namespace ui

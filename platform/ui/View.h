#pragma once
// Views: rectangles of the screen with a background, a border and an ordered list of subviews,
// back to front. A view's frame is in its superview's coordinates; its bounds are its own
// coordinates (origin (0, 0) unless set), of the frame's size. The top-most view of a tree stands
// for the window: "window coordinates" are the bounds coordinates of a tree's root.
//
// A superview owns its subviews (std::shared_ptr); a subview knows its superview without owning it.
// Views have no transforms, so converting a point between views only adds and subtracts frame and
// bounds origins.
//
// Threads: main thread only, like every view (the platform delivers touches and draw callbacks
// there); no locks.

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "graphics/BitmapContext.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"

namespace ui {

class Event;
class TouchSet;

class View {
 public:
  explicit View(graphics::Rect frame = {});
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Geometry. Setting the frame sets the bounds' size; setting the bounds keeps the centre; setting
  // the centre moves the frame.
  graphics::Rect frame() const { return frame_; }
  void setFrame(graphics::Rect frame);
  graphics::Rect bounds() const { return graphics::Rect(boundsOrigin_, frame_.size); }
  void setBounds(graphics::Rect bounds);
  graphics::Point center() const;
  void setCenter(graphics::Point center);

  // Appearance. The background is absent (transparent) by default; alpha is pinned to 0 ... 1 (a
  // NaN counts as 0); the border is 0 wide and black by default.
  const std::optional<graphics::Color>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<graphics::Color> color) {
    backgroundColor_ = std::move(color);
  }
  bool isOpaque() const { return opaque_; }
  void setOpaque(bool opaque) { opaque_ = opaque; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  double alpha() const { return alpha_; }
  void setAlpha(double alpha);
  double borderWidth() const { return borderWidth_; }
  void setBorderWidth(double width);
  const graphics::Color& borderColor() const { return borderColor_; }
  void setBorderColor(graphics::Color color) { borderColor_ = std::move(color); }

  // The tree. A view added or inserted leaves its old superview first. Adding a view to itself or
  // to one of its descendants, adding none, or inserting beyond the end stops fatally.
  View* superview() const { return superview_; }
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  // On top of the other subviews.
  void addSubview(std::shared_ptr<View> view);
  // At `index` of the subviews (0 is the back), counted after the view left its old place.
  void insertSubview(std::shared_ptr<View> view, std::size_t index);
  // Restacking a view that is not a subview of this one does nothing, as on the platform.
  void bringSubviewToFront(const View& view);
  void sendSubviewToBack(const View& view);
  // Nothing happens when the view has no superview. The superview's reference goes, so a view
  // nobody else holds is destroyed here.
  void removeFromSuperview();
  // True for the view itself and for every view below it.
  bool isDescendant(const View& ancestor) const;
  // The top-most view of this view's tree (the view itself when it has no superview).
  const View& root() const;

  // A point in this view's bounds coordinates expressed in `other`'s (window coordinates when
  // `other` is none), and the reverse. The two views must share a tree, else a fatal stop.
  graphics::Point convert(graphics::Point point, const View* to) const;
  graphics::Point convertFrom(graphics::Point point, const View* from) const;

  // The touch handlers of the responder chain. The platform's base ignores them here: there is no
  // event delivery; the host and tests call a view's handlers directly.
  virtual void touchesBegan(const TouchSet& touches, const Event* event);
  virtual void touchesMoved(const TouchSet& touches, const Event* event);
  virtual void touchesEnded(const TouchSet& touches, const Event* event);
  virtual void touchesCancelled(const TouchSet& touches, const Event* event);

  // Draws this view and its subviews, as shown, into the current image context, scaled so that
  // the view's bounds fill `rect` (in the context's coordinates). Hidden views and their subviews
  // are left out and alpha multiplies down the tree. Per view: the background colour, then its
  // content (a GPU view's last presented picture), then its subviews in order, then its border.
  // Returns false when there is no current image context.
  bool drawHierarchy(graphics::Rect rect) const;

 protected:
  // What a view shows between its background and its subviews; the base shows nothing.
  // `rect` is the view's bounds in the context's coordinates.
  virtual void drawContent(graphics::BitmapContext& context, graphics::Rect rect,
                           double alpha) const;

 private:
  void detachSubview(std::size_t index);
  std::size_t indexOfSubview(const View& view) const;
  graphics::Point toWindow(graphics::Point point) const;
  graphics::Point fromWindow(graphics::Point point) const;
  // Draws this view and its subviews; `offset` and the scales map this view's superview
  // coordinates (its own bounds coordinates for the top view) into the context's.
  void drawTree(graphics::BitmapContext& context, graphics::Point offset, double scaleX,
                double scaleY, double alpha) const;

  graphics::Rect frame_;
  graphics::Point boundsOrigin_;
  std::optional<graphics::Color> backgroundColor_;
  bool opaque_ = true;
  bool hidden_ = false;
  double alpha_ = 1.0;
  double borderWidth_ = 0.0;
  graphics::Color borderColor_ = graphics::Color::fromWhite(0.0, 1.0);
  View* superview_ = nullptr;
  std::vector<std::shared_ptr<View>> subviews_;
};

}  // namespace ui

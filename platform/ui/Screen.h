#pragma once
// The main screen. Its native bounds are its full size in pixels in portrait-up orientation,
// whatever the device's rotation: 1536 x 2048 at scale 2 unless the host sets others. The host sets
// them before the first use of the screen; setting them afterwards stops fatally, since sizes taken
// from the screen would no longer agree.
//
// Threads: main thread only.

#include "graphics/Geometry.h"

namespace ui {

class Screen {
 public:
  // The main screen; the first call is its first use.
  static Screen& main();

  // Sets the main screen's native size in pixels and its scale (pixels per point). Both sizes and
  // the scale must be positive and finite. A fatal stop once the main screen has been used.
  static void setMainNativeSize(graphics::Size pixels, double scale);

  // (0, 0, width, height) in pixels.
  graphics::Rect nativeBounds() const { return graphics::Rect({0.0, 0.0}, pixels_); }
  double nativeScale() const { return scale_; }
  // (0, 0, width, height) in points: the native size divided by the scale.
  graphics::Rect bounds() const;
  double scale() const { return scale_; }

  // Back to 1536 x 2048 at scale 2, not yet used (tests, through ui::resetGlobals()).
  static void resetMain();

 private:
  Screen() = default;
  static Screen& instance();
  graphics::Size pixels_{1536.0, 2048.0};
  double scale_ = 2.0;
};

}  // namespace ui

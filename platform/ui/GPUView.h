#pragma once
// The GPU view: a view that shows pictures a GPU drew, one per display frame. Each layer of a
// canvas shows itself through one. A view draws only while it is not paused and has a delegate:
// the frame source (FrameSource.h) then calls its delegate's draw() once per display frame, which
// takes the view's current drawable, draws into its texture on a command buffer and presents it.
// The last picture presented is what the view shows, and what drawing the view tree into an image
// context (View::drawHierarchy) draws for it.
//
// The delegate is held without owning it: a delegate that is destroyed is simply gone, and the
// view draws no more frames.
//
// Drawables: a drawable's texture is colorPixelFormat (BGRA8 unsigned normalised, the only format
// drawables come in) at the drawable size, one pixel per point of the frame unless set. Changing
// the frame does not resize it. Within a frame the view hands out the same drawable until the
// frame ends; the next frame gets another one. Textures are reused once nothing else holds them,
// so a new drawable's content is whatever was last drawn into its texture (zero the first time).
// There is no drawable when the view has no device, when the drawable size is less than one pixel
// wide or high, or when a test withholds it (setDrawableWithheld).
//
// Drawable textures are made directly, not through Device::makeTexture, so that the device's
// failure injection and request counts concern the system's own textures only.
//
// Threads: main thread only; no locks. Presenting happens when the presenting command buffer is
// committed, on the committing thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gpu/Drawable.h"
#include "gpu/Types.h"
#include "ui/View.h"

namespace gpu {
class Device;
class Texture;
}  // namespace gpu

namespace ui {

class GPUView;

class GPUViewDelegate {
 public:
  virtual ~GPUViewDelegate() = default;
  // The view's drawable size is about to become `size`.
  virtual void drawableSizeWillChange(GPUView& view, graphics::Size size) = 0;
  // One display frame of the view.
  virtual void draw(GPUView& view) = 0;
};

class GPUView : public View {
 public:
  // A view whose drawable size is the frame's size. The device may be none (no drawables then).
  GPUView(graphics::Rect frame, std::shared_ptr<gpu::Device> device);
  ~GPUView() override;

  const std::shared_ptr<gpu::Device>& device() const { return device_; }
  void setDevice(std::shared_ptr<gpu::Device> device) { device_ = std::move(device); }

  // Only BGRA8 unsigned normalised is accepted; any other format stops fatally.
  gpu::PixelFormat colorPixelFormat() const { return gpu::PixelFormat::BGRA8Unorm; }
  void setColorPixelFormat(gpu::PixelFormat format);

  // Recorded only: drawable textures can always be read and written.
  bool framebufferOnly() const { return framebufferOnly_; }
  void setFramebufferOnly(bool framebufferOnly) { framebufferOnly_ = framebufferOnly; }

  // In pixels; the texture is the whole-number part of each. A negative or non-finite size stops
  // fatally. A change is first told to the delegate.
  graphics::Size drawableSize() const { return drawableSize_; }
  void setDrawableSize(graphics::Size size);

  bool isPaused() const { return paused_; }
  void setPaused(bool paused) { paused_ = paused; }

  // The delegate, or none when none is set or it has been destroyed.
  std::shared_ptr<GPUViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<GPUViewDelegate> delegate) { delegate_ = std::move(delegate); }
  void setDelegate(std::nullptr_t) { delegate_.reset(); }

  // The drawable of this frame; none when there is none to give (see above).
  std::shared_ptr<gpu::Drawable> currentDrawable();

  // Lets go of every drawable texture: the current drawable, the reusable textures and the last
  // presented picture (the view then shows nothing).
  void releaseDrawables();

  // How many drawables of this view have been presented, and the texture of the last one.
  std::int64_t presentedCount() const;
  std::shared_ptr<gpu::Texture> lastPresentedTexture() const;

  // Test hook: while `withheld` says so for a view, that view has no drawable. Empty: drawables
  // are never withheld. Reset by ui::resetGlobals().
  static void setDrawableWithheld(std::function<bool(const GPUView&)> withheld);

  // One display frame, for the frame source: when the view is not paused and has a delegate, the
  // delegate's draw(), then the frame's drawable is let go. True when the delegate was called.
  bool displayFrame();

  // The order of creation: larger for views made later.
  std::uint64_t serial() const { return serial_; }

 protected:
  // The last presented picture, stretched over the view's bounds.
  void drawContent(graphics::BitmapContext& context, graphics::Rect rect,
                   double alpha) const override;

 private:
  struct Presentation;
  class ViewDrawable;

  std::shared_ptr<gpu::Texture> takeTexture(std::size_t width, std::size_t height);

  std::shared_ptr<gpu::Device> device_;
  bool framebufferOnly_ = true;
  graphics::Size drawableSize_;
  bool paused_ = false;
  std::weak_ptr<GPUViewDelegate> delegate_;
  std::shared_ptr<gpu::Drawable> current_;
  std::vector<std::shared_ptr<gpu::Texture>> textures_;  // reusable drawable textures
  std::shared_ptr<Presentation> presentation_;           // shared with the drawables
  std::uint64_t serial_;
};

}  // namespace ui

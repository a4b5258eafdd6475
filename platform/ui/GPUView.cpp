#include "ui/GPUView.h"

#include <cmath>
#include <vector>

#include "foundation/Fatal.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/Bitmap.h"
#include "ui/FrameSource.h"

namespace ui {

namespace {

// Drawable textures kept for reuse; the platform's views cycle through three as well.
constexpr std::size_t kReusableTextures = 3;

std::uint64_t nextSerial = 0;
std::function<bool(const GPUView&)> drawableWithheld;

}  // namespace

// What a view's drawables report back to it; they hold it without owning it, so a drawable
// presented after its view is gone changes nothing.
struct GPUView::Presentation {
  std::int64_t presentedCount = 0;
  std::shared_ptr<gpu::Texture> lastPresented;
};

class GPUView::ViewDrawable : public gpu::Drawable {
 public:
  ViewDrawable(std::shared_ptr<gpu::Texture> texture, std::weak_ptr<Presentation> presentation)
      : texture_(std::move(texture)), presentation_(std::move(presentation)) {}

  std::shared_ptr<gpu::Texture> texture() const override { return texture_; }

  void present() override {
    if (presented_) foundation::fatalError("A drawable is presented only once.");
    presented_ = true;
    if (auto presentation = presentation_.lock()) {
      ++presentation->presentedCount;
      presentation->lastPresented = texture_;
    }
  }

 private:
  std::shared_ptr<gpu::Texture> texture_;
  std::weak_ptr<Presentation> presentation_;
  bool presented_ = false;
};

GPUView::GPUView(graphics::Rect frame, std::shared_ptr<gpu::Device> device)
    : View(frame),
      device_(std::move(device)),
      drawableSize_(frame.size),
      presentation_(std::make_shared<Presentation>()),
      serial_(nextSerial++) {
  if (!std::isfinite(drawableSize_.width) || !std::isfinite(drawableSize_.height) ||
      drawableSize_.width < 0.0 || drawableSize_.height < 0.0) {
    drawableSize_ = {};
  }
  FrameSource::main().add(*this);
}

GPUView::~GPUView() { FrameSource::main().remove(*this); }

void GPUView::setColorPixelFormat(gpu::PixelFormat format) {
  if (format != gpu::PixelFormat::BGRA8Unorm) {
    foundation::fatalError("A GPU view draws in BGRA8 unsigned normalised only.");
  }
}

void GPUView::setDrawableSize(graphics::Size size) {
  if (!std::isfinite(size.width) || !std::isfinite(size.height) || size.width < 0.0 ||
      size.height < 0.0) {
    foundation::fatalError("A drawable size must be finite and not negative.");
  }
  if (size == drawableSize_) return;
  if (auto delegate = delegate_.lock()) delegate->drawableSizeWillChange(*this, size);
  drawableSize_ = size;
}

std::shared_ptr<gpu::Texture> GPUView::takeTexture(std::size_t width, std::size_t height) {
  // A texture only this list holds is free: no drawable, command buffer or picture uses it.
  const auto isFree = [](const std::shared_ptr<gpu::Texture>& t) { return t.use_count() == 1; };
  std::erase_if(textures_, [&](const auto& t) {
    return isFree(t) && (t->width() != width || t->height() != height);
  });
  for (const auto& texture : textures_) {
    if (isFree(texture)) return texture;
  }
  auto descriptor = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::BGRA8Unorm, width, height,
                                                      /*mipmapped=*/false);
  descriptor->usage = gpu::TextureUsage::ShaderRead | gpu::TextureUsage::ShaderWrite |
                      gpu::TextureUsage::RenderTarget;
  auto texture = std::make_shared<gpu::Texture>(device_, *descriptor);
  if (textures_.size() < kReusableTextures) textures_.push_back(texture);
  return texture;
}

std::shared_ptr<gpu::Drawable> GPUView::currentDrawable() {
  if (current_) return current_;
  const auto width = static_cast<std::size_t>(drawableSize_.width);
  const auto height = static_cast<std::size_t>(drawableSize_.height);
  if (!device_ || width == 0 || height == 0) return nullptr;
  if (drawableWithheld && drawableWithheld(*this)) return nullptr;
  current_ = std::make_shared<ViewDrawable>(takeTexture(width, height), presentation_);
  return current_;
}

void GPUView::releaseDrawables() {
  current_.reset();
  textures_.clear();
  presentation_->lastPresented.reset();
}

std::int64_t GPUView::presentedCount() const { return presentation_->presentedCount; }

std::shared_ptr<gpu::Texture> GPUView::lastPresentedTexture() const {
  return presentation_->lastPresented;
}

void GPUView::setDrawableWithheld(std::function<bool(const GPUView&)> withheld) {
  drawableWithheld = std::move(withheld);
}

bool GPUView::displayFrame() {
  if (paused_) return false;
  const auto delegate = delegate_.lock();
  if (!delegate) return false;
  // The callback may destroy this view (when nothing else holds it); the weak reference tells.
  const std::weak_ptr<Presentation> alive = presentation_;
  delegate->draw(*this);
  if (!alive.expired()) current_.reset();
  return true;
}

void GPUView::drawContent(graphics::BitmapContext& context, graphics::Rect rect,
                          double alpha) const {
  const auto& texture = presentation_->lastPresented;
  if (!texture || alpha <= 0.0) return;
  const std::size_t width = texture->width();
  const std::size_t height = texture->height();
  std::vector<std::uint8_t> bgra(width * height * 4);
  texture->readRegion(gpu::Region::make2D(0, 0, width, height), 0, bgra, width * 4);

  // The drawable holds BGRA with straight colours, as the kits' textures do (an image context
  // renders unpremultiplied values), row 0 at the top of the picture. Each texel is premultiplied
  // by its own alpha faded by the view's: drawn as though already premultiplied, a texel whose
  // colour exceeds its alpha would overflow the blend. An image context draws a bitmap's first row
  // at the bottom of the rectangle, so the rows go in reverse.
  const auto scale = static_cast<std::uint8_t>(std::lround(alpha * 255.0));
  std::vector<std::uint8_t> rgba(bgra.size());
  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* from = bgra.data() + row * width * 4;
    std::uint8_t* to = rgba.data() + (height - 1 - row) * width * 4;
    for (std::size_t x = 0; x < width; ++x, from += 4, to += 4) {
      const std::uint8_t a = graphics::premultiplyByte(from[3], scale);
      to[0] = graphics::premultiplyByte(from[2], a);
      to[1] = graphics::premultiplyByte(from[1], a);
      to[2] = graphics::premultiplyByte(from[0], a);
      to[3] = a;
    }
  }
  const auto bitmap =
      graphics::Bitmap::make(width, height, std::move(rgba), graphics::AlphaMode::Premultiplied);
  context.draw(*bitmap, rect);
}

}  // namespace ui

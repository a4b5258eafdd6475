#include "ImageContext.h"

#include <cmath>
#include <string>
#include <vector>

#include "foundation/Fatal.h"

namespace graphics {
namespace {

struct OpenContext {
  std::shared_ptr<BitmapContext> context;  // null when the size had no pixels
  double scale;
};

std::vector<OpenContext>& stack() {
  static std::vector<OpenContext> contexts;
  return contexts;
}

// Pixels along one side; 0 for sizes that give none (negative, NaN or too large).
std::size_t pixelsFor(double points, double scale) {
  const double pixels = std::ceil(points * scale);
  if (!(pixels >= 1.0) || pixels > 1.0e9) return 0;
  return static_cast<std::size_t>(pixels);
}

}  // namespace

void beginImageContext(Size size, bool opaque, double scale) {
  if (scale == 0.0) scale = 1.0;
  if (!(scale > 0.0) || !std::isfinite(scale)) {
    foundation::fatalError("An image context's scale must be positive, not " +
                           std::to_string(scale));
  }
  const std::size_t width = pixelsFor(size.width, scale);
  const std::size_t height = pixelsFor(size.height, scale);
  std::shared_ptr<BitmapContext> context;
  if (width > 0 && height > 0) {
    context = BitmapContext::create(nullptr, width, height, 8, width * 4, ColorSpace::DeviceRGB,
                                    opaque ? AlphaInfo::NoneSkipLast : AlphaInfo::PremultipliedLast);
  }
  if (context) {
    // Origin top left, y down, in points.
    context->concatenate(AffineTransform{scale, 0.0, 0.0, -scale, 0.0, static_cast<double>(height)});
  }
  stack().push_back({std::move(context), scale});
}

std::shared_ptr<BitmapContext> currentContext() {
  if (stack().empty()) return nullptr;
  return stack().back().context;
}

std::shared_ptr<Image> imageFromCurrentImageContext() {
  if (stack().empty() || !stack().back().context) return nullptr;
  const OpenContext& top = stack().back();
  return std::make_shared<Image>(top.context->makeImage(), top.scale);
}

void endImageContext() {
  if (stack().empty()) foundation::fatalError("No image context is open");
  stack().pop_back();
}

void resetImageContexts() { stack().clear(); }

}  // namespace graphics

#include "Context.h"

#include <algorithm>
#include <cmath>

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/Parallel.h"
#include "gpu/Texture.h"
#include "imaging/RenderTables.h"

namespace imaging {
namespace {

// The texel indices k in [0, count) whose sample point origin + k + 0.5 lies in [lo, hi).
std::pair<std::size_t, std::size_t> texelSpan(double origin, double lo, double hi,
                                              std::size_t count) {
  const double n = static_cast<double>(count);
  const double first = std::clamp(std::ceil(lo - origin - 0.5), 0.0, n);
  const double end = std::clamp(std::ceil(hi - origin - 0.5), 0.0, n);
  if (!(end > first)) return {0, 0};
  return {static_cast<std::size_t>(first), static_cast<std::size_t>(end)};
}

}  // namespace

std::shared_ptr<Context> Context::make(std::shared_ptr<gpu::Device> device) {
  if (!device) foundation::fatalError("An image context needs a GPU device");
  return std::shared_ptr<Context>(new Context(std::move(device)));
}

void Context::render(const ImagePtr& image, const std::shared_ptr<gpu::Texture>& texture,
                     const std::shared_ptr<gpu::CommandBuffer>& commandBuffer,
                     const graphics::Rect& bounds, graphics::ColorSpace colorSpace) {
  if (!image) foundation::fatalError("An image context was asked to render no image");
  if (!texture) foundation::fatalError("An image context was asked to render into no texture");
  if (colorSpace != graphics::ColorSpace::DeviceRGB) {
    foundation::fatalError("An image context renders in the device RGB colour space only");
  }
  if (recording_) renders_.push_back({image, image->extent(), texture, bounds, commandBuffer != nullptr});
  if (!commandBuffer) {
    renderNow(*image, *texture, bounds);
    return;
  }
  commandBuffer->encodeHostWork("imaging render", [image, texture, bounds] {
    renderNow(*image, *texture, bounds);
  });
}

void Context::startRecording() { recording_ = true; }

void Context::stopRecording() {
  recording_ = false;
  renders_.clear();
}

// The values of a batch are written as a run of floats, four a value.
static_assert(sizeof(RGBA) == 4 * sizeof(float));

void renderNow(const Image& image, gpu::Texture& texture, const graphics::Rect& bounds) {
  const graphics::Rect area = image.extent().intersection(bounds);
  if (area.isEmpty()) return;
  const gpu::TexelView view = texture.texels(0);
  const double bx = bounds.minX(), by = bounds.minY();
  const auto [i0, i1] = texelSpan(bx, area.minX(), area.maxX(), view.width());
  const auto [j0, j1] = texelSpan(by, area.minY(), area.maxY(), view.height());
  if (i0 >= i1 || j0 >= j1) return;
  RenderTables tables((i1 - i0) * (j1 - j0));
  image.prepare(tables);

  gpu::parallelFor(j0, j1, 1, [&](std::size_t first, std::size_t end) {
    graphics::Point points[Image::kBatch];
    RGBA values[Image::kBatch];
    for (std::size_t j = first; j < end; ++j) {
      const double y = by + static_cast<double>(j) + 0.5;
      for (std::size_t start = i0; start < i1; start += Image::kBatch) {
        const std::size_t count = std::min(Image::kBatch, i1 - start);
        for (std::size_t k = 0; k < count; ++k) {
          points[k] = {bx + static_cast<double>(start + k) + 0.5, y};
        }
        image.sample(Batch{points, count, true, &tables}, values);
        view.writeRun(&values[0].r, start, j, 0, count);
      }
    }
  });
}

}  // namespace imaging

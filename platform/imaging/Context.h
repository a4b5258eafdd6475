#pragma once
// A context on a GPU device that renders images into textures.
//
// render writes texel (i, j) of level 0 (slice 0) of the texture with the image's value at
// (bounds.x + i + 0.5, bounds.y + j + 0.5), for exactly the texels whose sample point lies inside
// the image's extent, inside the bounds (half-open edges) and whose (i, j) lies in the texture;
// every other texel keeps its value, so renders of neighbouring pieces into one texture do not
// disturb each other. Texture row j is image y = j + bounds.y. The rows are evaluated in
// parallel; each texel pulls its value through the image graph.
//
// With a command buffer the render runs when the buffer is committed, in order with the
// buffer's other work, and reads the textures under the image as they are then; without one it
// runs at once. The target must not be a texture the image itself reads: texels are written
// while others are still being read.

#include <memory>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "imaging/Image.h"

namespace gpu {
class CommandBuffer;
class Device;
class Texture;
}  // namespace gpu

namespace imaging {

// One render asked of a context, as recorded for tests.
struct RenderRecord {
  ImagePtr image;
  graphics::Rect extent;  // the image's extent
  std::shared_ptr<gpu::Texture> texture;
  graphics::Rect bounds;
  bool onCommandBuffer = false;
};

class Context {
 public:
  // A context on the device; a null device stops fatally.
  static std::shared_ptr<Context> make(std::shared_ptr<gpu::Device> device);

  const std::shared_ptr<gpu::Device>& device() const { return device_; }

  // A null image or texture, or a colour space other than device RGB, stops fatally.
  void render(const ImagePtr& image, const std::shared_ptr<gpu::Texture>& texture,
              const std::shared_ptr<gpu::CommandBuffer>& commandBuffer,
              const graphics::Rect& bounds, graphics::ColorSpace colorSpace);

  // Recording of renders, off until started (records hold their images and textures).
  void startRecording();
  void stopRecording();
  const std::vector<RenderRecord>& renders() const { return renders_; }

 private:
  explicit Context(std::shared_ptr<gpu::Device> device) : device_(std::move(device)) {}

  std::shared_ptr<gpu::Device> device_;
  bool recording_ = false;
  std::vector<RenderRecord> renders_;
};

// The render itself, at once: what the context runs (exposed for benchmarks).
void renderNow(const Image& image, gpu::Texture& texture, const graphics::Rect& bounds);

}  // namespace imaging

#pragma once
// The shader kit's Gaussian blur. The system uses it only with sigma 0, as a copy of the common
// extent of two textures that converts between their pixel formats (RGBA8 to a drawable's BGRA8).
// Other sigmas are not supported: making one is a fatal stop.

#include <memory>

namespace gpu {

class CommandBuffer;
class Device;
class Texture;

class GaussianBlur {
 public:
  GaussianBlur(std::shared_ptr<Device> device, float sigma);

  float sigma() const { return sigma_; }
  const std::shared_ptr<Device>& device() const { return device_; }

  // Encodes the copy of level 0 of `source` into level 0 of `destination` (the smaller width and
  // height; slice 0). No encoder may be open on the buffer. Null textures are fatal.
  void encode(CommandBuffer& commandBuffer, std::shared_ptr<Texture> source, std::shared_ptr<Texture> destination);

 private:
  std::shared_ptr<Device> device_;
  float sigma_;
};

}  // namespace gpu

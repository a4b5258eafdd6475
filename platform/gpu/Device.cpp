#include "gpu/Device.h"

#include <cstring>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/CommandTrace.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/Library.h"
#include "gpu/TestControls.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"

namespace gpu {

namespace {

std::shared_ptr<Device>& defaultDeviceSlot() {
  static std::shared_ptr<Device> device;
  return device;
}

void checkDescriptor(const TextureDescriptor& d) {
  if (bytesPerPixel(d.pixelFormat) == 0)
    foundation::fatalError("makeTexture: pixel format " +
                           std::to_string(static_cast<std::uint32_t>(d.pixelFormat)) + " is not supported");
  if (d.textureType != TextureType::Type2D && d.textureType != TextureType::Type3D)
    foundation::fatalError("makeTexture: texture type " +
                           std::to_string(static_cast<std::uint32_t>(d.textureType)) + " is not supported");
  if (d.width == 0 || d.height == 0 || d.depth == 0)
    foundation::fatalError("makeTexture: width, height and depth must be at least 1 (asked for " +
                           std::to_string(d.width) + " x " + std::to_string(d.height) + " x " +
                           std::to_string(d.depth) + ")");
  if (d.textureType == TextureType::Type2D && d.depth != 1)
    foundation::fatalError("makeTexture: a 2-D texture has depth 1 (asked for " + std::to_string(d.depth) + ")");
  const std::size_t full = fullMipLevelCount(d.width, d.height, d.textureType == TextureType::Type3D ? d.depth : 1);
  if (d.mipmapLevelCount == 0 || d.mipmapLevelCount > full)
    foundation::fatalError("makeTexture: " + std::to_string(d.mipmapLevelCount) +
                           " mip levels asked where 1 to " + std::to_string(full) + " are possible");
  if (d.sampleCount != 1) foundation::fatalError("makeTexture: only a sample count of 1 is supported");
  if (d.arrayLength != 1) foundation::fatalError("makeTexture: only an array length of 1 is supported");
  std::size_t bytes = 0;
  if (__builtin_mul_overflow(d.width, d.height, &bytes) || __builtin_mul_overflow(bytes, d.depth, &bytes) ||
      __builtin_mul_overflow(bytes, bytesPerPixel(d.pixelFormat), &bytes))
    foundation::fatalError("makeTexture: the texture's byte count overflows");
}

}  // namespace

namespace detail {

void dropDefaultDevice() { defaultDeviceSlot().reset(); }

}  // namespace detail

std::shared_ptr<Device> Device::make() { return std::shared_ptr<Device>(new Device()); }

std::shared_ptr<Device> systemDefaultDevice() {
  if (testControls().isDefaultDeviceAbsent()) return nullptr;
  std::shared_ptr<Device>& device = defaultDeviceSlot();
  if (!device) device = Device::make();
  return device;
}

std::shared_ptr<Library> Device::makeDefaultLibrary() {
  if (testControls().isDefaultLibraryAbsent()) return nullptr;
  return std::make_shared<Library>(shared_from_this());
}

std::shared_ptr<CommandQueue> Device::makeCommandQueue() {
  return std::make_shared<CommandQueue>(shared_from_this());
}

std::shared_ptr<Texture> Device::makeTexture(const TextureDescriptor& descriptor) {
  checkDescriptor(descriptor);
  if (!testControls().takeTextureRequest(descriptor)) return nullptr;
  TextureDescriptor made = descriptor;
  made.width = testControls().widthFor(descriptor);
  if (made.width != descriptor.width) {
    if (made.width == 0) made.width = 1;
    made.mipmapLevelCount = std::min(made.mipmapLevelCount,
                                     fullMipLevelCount(made.width, made.height,
                                                       made.textureType == TextureType::Type3D ? made.depth : 1));
  }
  return std::make_shared<Texture>(shared_from_this(), made);
}

std::shared_ptr<Texture> Device::makeTexture(const std::shared_ptr<TextureDescriptor>& descriptor) {
  if (!descriptor) foundation::fatalError("makeTexture: no descriptor");
  return makeTexture(*descriptor);
}

std::shared_ptr<Buffer> Device::makeBuffer(const void* bytes, std::size_t length, ResourceOptions options) {
  if (length == 0) return nullptr;
  if (bytes == nullptr) foundation::fatalError("makeBuffer: no bytes to copy");
  auto buffer = std::make_shared<Buffer>(shared_from_this(), length, options);
  std::memcpy(buffer->contents(), bytes, length);
  return buffer;
}

std::shared_ptr<Buffer> Device::makeBuffer(std::size_t length, ResourceOptions options) {
  if (length == 0) return nullptr;
  return std::make_shared<Buffer>(shared_from_this(), length, options);
}

std::shared_ptr<ComputePipelineState> Device::makeComputePipelineState(const std::shared_ptr<Function>& function) {
  if (!function) foundation::fatalError("makeComputePipelineState: no function");
  if (testControls().pipelineCreationFails()) return nullptr;
  commandTrace().record(PipelineRecord{function->name()});
  return std::make_shared<ComputePipelineState>(shared_from_this(), *function);
}

}  // namespace gpu

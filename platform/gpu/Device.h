#pragma once
// The GPU device: it makes command queues, textures, buffers and compute pipelines, and gives the
// default library (the host's kernels). Tests can make the default device or library absent and make
// texture or pipeline creation fail (TestControls.h).

#include <cstddef>
#include <memory>
#include <string>

#include "gpu/Scheduler.h"
#include "gpu/Types.h"

namespace gpu {

class Buffer;
class CommandQueue;
class ComputePipelineState;
class Function;
class Library;
class Texture;
struct TextureDescriptor;

class Device : public std::enable_shared_from_this<Device> {
 public:
  // Use systemDefaultDevice(); a test may make a device of its own with make().
  static std::shared_ptr<Device> make();

  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  std::string name() const { return "CPU stand-in"; }

  // The host's kernel library, or null when a test has made it absent.
  std::shared_ptr<Library> makeDefaultLibrary();

  std::shared_ptr<CommandQueue> makeCommandQueue();

  // A zero-filled texture, or null when failure injection says so (a test may also get a texture of
  // another width than asked). An invalid descriptor (a dimension of 0, an invalid format, a 2-D
  // texture deeper than 1, more levels than the full chain, several samples or slices) is fatal.
  std::shared_ptr<Texture> makeTexture(const TextureDescriptor& descriptor);
  std::shared_ptr<Texture> makeTexture(const std::shared_ptr<TextureDescriptor>& descriptor);

  // A buffer holding a copy of `length` bytes; null for length 0 (no buffer has no bytes).
  std::shared_ptr<Buffer> makeBuffer(const void* bytes, std::size_t length,
                                     ResourceOptions options = ResourceOptions::Default);
  // A buffer of `length` zero bytes; null for length 0.
  std::shared_ptr<Buffer> makeBuffer(std::size_t length, ResourceOptions options = ResourceOptions::Default);

  // A pipeline for `function`, or null when a test makes pipeline creation fail. A null function is
  // fatal.
  std::shared_ptr<ComputePipelineState> makeComputePipelineState(const std::shared_ptr<Function>& function);

  // Runs committed command buffers in commit order (CommandBuffer.h tells the model).
  Scheduler& scheduler() { return scheduler_; }

 private:
  Device() = default;

  Scheduler scheduler_;
};

// The system's default device (one per process, made on first use), or null when a test has made it
// absent.
std::shared_ptr<Device> systemDefaultDevice();

namespace detail {
// Forgets the default device (resetForTesting); the next systemDefaultDevice() makes a new one.
void dropDefaultDevice();
}  // namespace detail

}  // namespace gpu

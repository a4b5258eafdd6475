#pragma once
// Switches a test can throw: an absent default device or library, texture requests that give no
// texture or one of another width, and pipeline creation that fails. resetForTesting() turns them all
// off, stops and clears the trace and drops the default device, so the next test gets a fresh one; it
// also puts the worker thread count back to the machine's.
//
//   gpu::testControls().failTextureRequest(2);  // the second texture request from now gives null
//   gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.depth > 1; });
//   gpu::testControls().changeTextureWidth([](const gpu::TextureDescriptor& d) { return d.width - 1; });

#include <cstddef>
#include <functional>
#include <optional>

namespace gpu {

struct TextureDescriptor;

class TestControls {
 public:
  void setDefaultDeviceAbsent(bool absent) { deviceAbsent_ = absent; }
  bool isDefaultDeviceAbsent() const { return deviceAbsent_; }

  void setDefaultLibraryAbsent(bool absent) { libraryAbsent_ = absent; }
  bool isDefaultLibraryAbsent() const { return libraryAbsent_; }

  void setPipelineCreationFails(bool fails) { pipelineFails_ = fails; }
  bool pipelineCreationFails() const { return pipelineFails_; }

  // The n-th texture request from now (1 = the next) gives no texture. Requests are counted across
  // every device.
  void failTextureRequest(std::size_t n);
  // The n-th texture request from now (1 = the next) throws std::bad_alloc, as the allocation of a
  // texture larger than the machine's memory does.
  void exhaustMemoryAtTextureRequest(std::size_t n);
  // Every request whose descriptor satisfies the predicate gives no texture (empty: none).
  void failTexturesWhere(std::function<bool(const TextureDescriptor&)> predicate);
  // Each made texture gets the width this function returns instead of the asked one (empty: as asked).
  void changeTextureWidth(std::function<std::size_t(const TextureDescriptor&)> widthFor);

  // The texture requests since the last reset.
  std::size_t textureRequests() const { return textureRequests_; }

  // The device's use: counts a request and says whether it fails (or throws), and which width it
  // gets.
  bool takeTextureRequest(const TextureDescriptor& descriptor);
  std::size_t widthFor(const TextureDescriptor& descriptor) const;

  void reset();

 private:
  bool deviceAbsent_ = false;
  bool libraryAbsent_ = false;
  bool pipelineFails_ = false;
  std::size_t textureRequests_ = 0;
  std::optional<std::size_t> failingRequest_;
  std::optional<std::size_t> exhaustingRequest_;
  std::function<bool(const TextureDescriptor&)> failPredicate_;
  std::function<std::size_t(const TextureDescriptor&)> widthFor_;
};

TestControls& testControls();

// Default device and library present, failure injection off, trace stopped and cleared, the default
// device made anew on next use, the machine's worker thread count. Registered kernels stay.
void resetForTesting();

}  // namespace gpu

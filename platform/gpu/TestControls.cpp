#include "gpu/TestControls.h"

#include <new>

#include "gpu/CommandTrace.h"
#include "gpu/Device.h"
#include "gpu/Parallel.h"
#include "gpu/TextureDescriptor.h"

namespace gpu {

void TestControls::failTextureRequest(std::size_t n) {
  failingRequest_ = n == 0 ? std::nullopt : std::optional<std::size_t>(textureRequests_ + n);
}

void TestControls::exhaustMemoryAtTextureRequest(std::size_t n) {
  exhaustingRequest_ = n == 0 ? std::nullopt : std::optional<std::size_t>(textureRequests_ + n);
}

void TestControls::failTexturesWhere(std::function<bool(const TextureDescriptor&)> predicate) {
  failPredicate_ = std::move(predicate);
}

void TestControls::changeTextureWidth(std::function<std::size_t(const TextureDescriptor&)> widthFor) {
  widthFor_ = std::move(widthFor);
}

bool TestControls::takeTextureRequest(const TextureDescriptor& descriptor) {
  ++textureRequests_;
  if (failingRequest_ && *failingRequest_ == textureRequests_) return false;
  if (exhaustingRequest_ && *exhaustingRequest_ == textureRequests_) throw std::bad_alloc();
  if (failPredicate_ && failPredicate_(descriptor)) return false;
  return true;
}

std::size_t TestControls::widthFor(const TextureDescriptor& descriptor) const {
  return widthFor_ ? widthFor_(descriptor) : descriptor.width;
}

void TestControls::reset() { *this = TestControls(); }

TestControls& testControls() {
  static TestControls controls;
  return controls;
}

void resetForTesting() {
  testControls().reset();
  commandTrace().stop();
  commandTrace().clear();
  detail::dropDefaultDevice();
  setWorkerThreadCount(0);
}

}  // namespace gpu

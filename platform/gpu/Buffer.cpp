#include "gpu/Buffer.h"

namespace gpu {

Buffer::Buffer(std::shared_ptr<Device> device, std::size_t length, ResourceOptions options)
    : device_(std::move(device)), options_(options), bytes_(length) {}

}  // namespace gpu

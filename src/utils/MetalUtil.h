#pragma once
// Small GPU helpers shared across the system: the blit of the common extent of two textures, the
// 16-byte colour record the kernels read at BUFFER_COLOR, and the scene kit's vector as a GPU vector.

#include <memory>

#include "gpu/Vectors.h"
#include "graphics/Color.h"
#include "scene/Vector.h"

namespace gpu {
class BlitCommandEncoder;
class Buffer;
class Texture;
}  // namespace gpu

namespace tessivarium {

// Encodes one copy of the common extent (smaller width, height and depth) from `from` to `to`,
// slice 0, level 0, both at the origin. The encoder stays open; the caller ends it.
void copyTexture(gpu::BlitCommandEncoder& encoder, const std::shared_ptr<gpu::Texture>& from,
                 const std::shared_ptr<gpu::Texture>& to);

// A new 16-byte buffer on AppManager's device: red, green, blue, alpha as 32-bit floats. A grey
// colour (two components) is spread to red, green and blue. Any other component count stops with
// "CGColor components[Optional(n)] not supported." ("nil" for a colour without components).
std::shared_ptr<gpu::Buffer> makeBuffer(const graphics::Color& color);

// x, y and z copied unchanged.
gpu::float3 SceneVector3ToFloat3(const scene::Vector3& vector);

}  // namespace tessivarium

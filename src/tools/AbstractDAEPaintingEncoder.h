#pragma once
// The bases of the stroke's paint and pickup passes. A paint pass binds the surface's standard
// textures, the step's samples and the window offset, the sample the step's path comes on from
// (ToolSurface::encodePathStart, when there is one), the 8-byte pencil state at
// BUFFER_PENCIL_STATE (byte 1: the stroke paints forward) and the head (AbstractDAEEncoderUnit);
// 2-D over gridTexture0. A pickup pass binds its colour at BUFFER_COLOR first (transparent black
// without one). The concrete passes only name their kernel, or bring a binding step of their own.
// Main thread only.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "graphics/Color.h"
#include "tools/AbstractDAEEncoderUnit.h"

namespace tessivarium {

class ToolSurface;

// The pencil state as sent: byte 1 the forward flag, every other byte 0.
std::array<std::uint8_t, 8> pencilStateBytes(bool forward);

// Every tool but a knife paints forward; a knife does when its head is measured and the surface
// finds the stroke going forward for the head's rotation.
bool paintsForward(ToolSurface& surface);

class AbstractDAEPaintingEncoder : public AbstractDAEEncoderUnit {
 public:
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  AbstractDAEPaintingEncoder(std::string shaderName, PrepareStep prepare);
};

class AbstractDAEPickupEncoder : public AbstractDAEPaintingEncoder {
 public:
  const std::optional<graphics::Color>& color() const { return color_; }
  void setColor(std::optional<graphics::Color> color) { color_ = std::move(color); }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  AbstractDAEPickupEncoder(std::string shaderName, PrepareStep prepare);

 private:
  std::optional<graphics::Color> color_;
};

}  // namespace tessivarium

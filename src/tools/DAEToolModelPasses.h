#pragma once
// The single passes on the current tool's head: the head's initialiser, the colour-fill base, the
// mask and the height preview, all built on AbstractDAEEncoderUnit, and the image render of the
// height preview for the debug view. Each concrete pass fixes its kernel; the registry
// (DAEEncoders) makes one of each and every tool shares it. Main thread only.

#include <memory>
#include <optional>
#include <string>

#include "graphics/Color.h"
#include "tools/AbstractDAEEncoderUnit.h"

namespace tessivarium {

// "DAEToolModel_initialize": writes the whole empty head (a 3-D grid over it). The model must
// carry a measured head. After it is recorded the working grid pair is exchanged, so passes
// recorded later bind the grid it wrote as gridTexture0.
class DAEInitializer final : public AbstractDAEEncoderUnit {
 public:
  explicit DAEInitializer(PrepareStep prepare = noPreparation());
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// Loads `color` with `force` into the head (a 3-D grid over it). It exchanges the head before
// binding as well as after, so the kernel reads colorTexture1, writes colorTexture0 and leaves
// colorTexture0 the texture just written. A fill without a colour is a fatal stop.
class AbstractDAEColorFillEncoder : public AbstractDAEEncoderUnit {
 public:
  const std::optional<graphics::Color>& color() const { return color_; }
  void setColor(std::optional<graphics::Color> color) { color_ = std::move(color); }
  float force() const { return force_; }
  void setForce(float force) { force_ = force; }

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  AbstractDAEColorFillEncoder(std::string shaderName, PrepareStep prepare);

 private:
  std::optional<graphics::Color> color_;
  float force_ = 1.0f;
};

// "DAEToolModel_mask": the current canvas's mask applied in place to the working window (2-D over
// gridTexture0). Without a current canvas with a mask texture it records nothing and exchanges
// nothing. For a current tool with a tool model it binds the head and its record and exchanges the
// head (the kernel carries the head across); for a tool without one (the round brush, the drop
// tools) it binds only the window, the mask and the offset, and exchanges nothing.
// The canvas's mask texture at TEXTURE_MASK_IMAGE and the window's offset at BUFFER_OFFSET, when
// the canvas has a mask; nothing otherwise. The passes of a stroke step that change the window
// (the paint passes, the overlay map, the blur, the mask) bind it, so that their kernels keep
// paint off the masked cells.
void encodeCanvasMask(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder);

class DAEMaskerEncoder final : public AbstractDAEEncoderUnit {
 public:
  explicit DAEMaskerEncoder(PrepareStep prepare = noPreparation());
  bool isEnabled() const override;
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

  // Drops the descriptor record the mask holds. The mask is shared by every tool, and a composite
  // that builds a record (DAEPainting) leaves its own on it; call this from the prepare step of a
  // stroke composite that builds none (the wide brushes', the round brush's, the tube's and the
  // sprayer's paintings), so its mask never binds another tool's head. Afterwards the mask binds
  // no record for a tool without a measured head, and a fresh one of the current tool otherwise.
  void forgetDescriptor() { setDescriptorBuffer(nullptr); }
};

// "DAEToolModel_paint_height": the head's heights into its previewHeightTexture (2-D over it). It
// builds a fresh descriptor record on every run and leaves the head's working copies in the order
// it found them.
class DAEPaintingHeight final : public AbstractDAEEncoderUnit {
 public:
  explicit DAEPaintingHeight(PrepareStep prepare = noPreparation());
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// Draws the head's height preview into the current layer's painting texture at (10, 50): plain,
// or, while DEBUG_DAE_KNIFE is Complete, shaded with the canvas's shading image and hard-light
// blended over the colour preview. No prepare step runs; without a tool model nothing is drawn.
class DAEPaintingRender final : public AbstractToolEncoder {
 public:
  explicit DAEPaintingRender(PrepareStep prepare = noPreparation());
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

}  // namespace tessivarium

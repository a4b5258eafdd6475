#pragma once
// The blur of a stroke step: in place on the working gridTexture0 and wetTexture0, guided by the
// step's map gridTexture1 (2-D over it), with the canvas's mask when it has one; no tool model, no
// descriptor. The textures are those of
// the working set at the moment of binding. Other tools' blurs share the base with their own
// kernel. Main thread only.

#include <string>

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class AbstractDAEToolModelBlur : public AbstractToolEncoderShader {
 public:
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  explicit AbstractDAEToolModelBlur(std::string shaderName, PrepareStep prepare = noPreparation());
};

// "DAEToolModel_blur_image": the blur of every tool without one of its own.
class DAEToolModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit DAEToolModelBlur(PrepareStep prepare = noPreparation());
};

}  // namespace tessivarium

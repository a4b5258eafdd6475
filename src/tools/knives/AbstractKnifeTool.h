#pragma once
// What the six painting knives share: a thick-paint tool that paints wet and presses harder with
// the stylus, whose blade the one shared dial turns a quarter turn either way (-π/2 to π/2) and
// whose samples reach the kernels on the knife surface (the stylus lowered by the knife
// watermark). The knives differ only in their tool type and the scene their blade is measured
// from ("KnifeTool1" to "KnifeTool6"); all six share one paint, one pickup and one colour-fill
// pass, which the registry chooses by "is a knife". Main thread only.

#include <memory>
#include <string>

#include "tools/AbstractDAEDrawingTool.h"

namespace tessivarium {

class AbstractKnifeTool : public AbstractDAEDrawingTool {
 public:
  // Once: builds the pipelines of the knives' blur, paint, pickup and colour-fill passes (asked
  // for as knife1's, which every knife shares), then the base initialisation.
  void initialize() override;
  // A knife surface for the pending samples.
  std::shared_ptr<ToolSurface> createToolSurface() override;
  // The knife's viewer on its scene, at scale 1.
  std::shared_ptr<ToolViewer> createToolViewer() override;
  // The base dial set-up, then the knife's range: -π/2 to π/2.
  void updateControlView(DAEDialController& dial) override;

  // The scene of the knife of `type` (knife1 to knife6): "KnifeTool1" to "KnifeTool6".
  static std::string sceneName(ToolType type);

 protected:
  // A knife of `type` (knife1 to knife6), painting wet and pressure-sensitive; every other
  // setting is the base's.
  explicit AbstractKnifeTool(ToolType type);
};

}  // namespace tessivarium

#pragma once
// The dryer and the wetter are one tool in two copies: they lay no paint, but dry the wet paint
// (dryer) or wet the dry paint (wetter) of the main canvas's current layer where they pass, and
// while one of them is current it shows that layer's picture itself, darkened where the paint is
// wet, with the layers below hidden. They differ only in their type and their two passes, which a
// FanDryerTwin names; everything else is written once, here, with the dryer, the first of the two.
//
// Enabling hides the views of the layers below the current one, puts the layer's picture aside in
// the canvas's colour copy (colorTexture2D) and renders the picture again with the init pass.
// Each stroke step runs the paint pass once, which changes the working window and the picture in
// place. Disabling puts the copy back, shows the views again and has every layer compose its
// picture anew from its paint. Strokes are undone like any other (the window is written back at the
// stroke's end); no sample batches are recorded. Main thread only.

#include <memory>
#include <vector>

#include "tools/DrawingTool.h"

namespace tessivarium {

class AbstractToolEncoderShader;

// What tells the twins apart: the tool's type and the registry's getters of its two passes.
struct FanDryerTwin {
  ToolType type;
  std::shared_ptr<AbstractToolEncoderShader> (*initPass)();
  std::shared_ptr<AbstractToolEncoderShader> (*paintPass)();
};

class FanDryerTool : public AbstractDrawingTool {
 public:
  // The tool of `twin` (static data that outlives it); it cleans, resets, fills, saves and has no
  // pattern.
  explicit FanDryerTool(const FanDryerTwin& twin);

  // The init pass alone.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;
  // Unless enabled already and not forced: the base enable, then the hiding, the copy and the init
  // pass on one command buffer (with the "Execution time: " line on completion while the debug mode
  // is not None), committed without waiting, and every layer drawn again. Needs the main canvas;
  // on a canvas without layers, or without memory for the colour copy, the picture is left as it is.
  void handleEnabled(bool force = false) override;
  // When enabled: the base, the copy put back (committed without waiting), the layers updated and
  // every picture composed anew.
  void handleDisabled() override;
  // The fan viewer on the scene "FanDryer".
  std::shared_ptr<ToolViewer> createToolViewer() override;
  // A FanDryerToolSurface with the paint pass.
  std::shared_ptr<ToolSurface> createToolSurface() override;
  // The stroke surface's steps over the pending samples.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  const FanDryerTwin* twin_;
};

}  // namespace tessivarium

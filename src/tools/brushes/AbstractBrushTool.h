#pragma once
// The base of every brush (the flat, fan, filbert, wide and round brushes): a thick-paint tool that
// paints wet and presses harder the harder it is pushed. It builds the brush passes' pipelines
// before its first stroke, places a stroke's working window a third of a window further from the
// samples than the engine does, lays a fresh head by clearing its second working copy (the
// families add their bristles), and strokes through a BrushToolSurface. Only the concrete brushes
// are made. Main thread only.

#include <memory>
#include <vector>

#include "tools/AbstractDAEDrawingTool.h"

namespace tessivarium {

class AbstractShaderUnit;

class AbstractBrushTool : public AbstractDAEDrawingTool {
 public:
  // Once, before the first stroke: the pipelines of the three bristle initialisers and of the
  // brushes' paint, pickup and fill passes, then the engine's shared ones.
  void initialize() override;
  // The window's corner lies (128 / 3) x (3 - cos azimuth) cells left of the leftmost point and
  // (128 / 3) x (3 - sin azimuth) cells above the topmost one (the shifts worked in single
  // precision), kept on the canvas. The main canvas gives the scale, the canvas the tool was
  // switched to the size.
  gpu::uint3 findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth) override;
  // The reset of the head's second working copy; nothing while the tool has no head (or its
  // texture could not be made), since there is nothing to lay.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;
  // A BrushToolSurface; the wide and round brushes have surfaces of their own.
  std::shared_ptr<ToolSurface> createToolSurface() override;

 protected:
  // Paints wet (and may) and presses with the stylus force; every other setting is the base's.
  explicit AbstractBrushTool(ToolType type);

  // For the bristle families: their own initialiser's pipeline first, then initialize().
  void initializeAfter(AbstractShaderUnit& familyInitializer);
  // getInitializers() followed by the family's bristle initialiser; nothing without a head.
  std::vector<std::shared_ptr<ToolEncoder>> initializersWith(std::shared_ptr<ToolEncoder> familyInitializer);
  // A BrushToolViewer of the scene `fileName` at `scale`.
  std::shared_ptr<ToolViewer> makeBrushViewer(const char* fileName, float scale);
};

}  // namespace tessivarium

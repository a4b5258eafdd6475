#pragma once
// The base of every painting tool that carries a tool model (the flat, fan, filbert, wide and
// round brushes, the knives, towel, roller, sander, fluffy mop and turpentine): the angle taken
// from the one shared dial, the working window placed by the stylus azimuth, the frame's encode
// loop over the stroke surface, the colour fill of the head, and the rotation recorded with every
// drawn batch of samples. Main thread only.

#include <any>
#include <memory>

#include "tools/DrawingTool.h"

namespace tessivarium {

class DAEDialController;

class AbstractDAEDrawingTool : public AbstractDrawingTool {
 public:
  explicit AbstractDAEDrawingTool(ToolType type) : AbstractDrawingTool(type) {}

  // The window's corner lies (128 / 3) x (2 - cos azimuth) cells left of the leftmost point and
  // (128 / 3) x (2 - sin azimuth) cells above the topmost one, kept on the canvas (0 on a canvas
  // of one window or less). Needs the main canvas and switchTo() first.
  gpu::uint3 findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth) override;
  // Attaches the shared dial to this tool.
  void switchControler() override;
  std::shared_ptr<ToolController> createController() override;
  // The dial's angle (a float) becomes the rotation of the viewer and of the head's descriptor;
  // an angle that is not finite changes nothing (see isRotation). Another type of value, no
  // current canvas, no brush view tool node or a viewer that is not a DefaultToolViewer is a
  // fatal stop.
  void changedValue(const std::any& value) override;
  // Runs the stroke surface over the pending samples in as many window steps as they need, all on
  // `buffer`.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
  // The initialisers, then the fill of the colour (wetness carried in its alpha), and at the
  // Height debug mode the head's height view, on one command buffer of its own. A fill refused by
  // takesFill encodes nothing; so does one fillRefusal() gives a reason for, which prints
  // "<tool>: <reason>; no colour is filled" and reports CannotFillColor.
  void fillColor(const graphics::Color& color, float force = 1.0f,
                 std::optional<float> wetness = std::nullopt) override;
  // A frame that draws records its samples with the viewer's rotation in the stroke's command,
  // when the canvas keeps commands; then the base frame. Drawing with a viewer that is not a
  // tool-model viewer (AbstractDAEToolViewer) is a fatal stop.
  void interactiveDraw(DrawingPaint& paint, std::function<void()> completed) override;
  // The samples still pending, which the closing frame draws, are recorded as a frame's are; then
  // the base's end of the stroke.
  void handleEnd(DrawingPaint& paint) override;

  // Shows the viewer's rotation on `dial`, makes this tool its receiver, range [0, 2π].
  virtual void updateControlView(DAEDialController& dial);

 protected:
  // The main canvas's scale, which the window placements use; fatal without the main canvas or
  // before switchTo().
  double canvasScaleForWindow() const;
  // The window whose corner lies `shiftX` and `shiftY` view points left of and above the points'
  // nearest corner (each point truncated and kept on the canvas first), clamped onto the canvas;
  // (0, 0, 0) for no points.
  gpu::uint3 windowAbove(const std::vector<graphics::Point>& points, double shiftX, double shiftY) const;

 private:
  // Why the fill passes have no head of this tool to fill now, or none when they have: the tool
  // must be current on a current canvas, the working textures must be made and the head measured
  // (measured here first when the canvas has started but the head not yet).
  const char* fillRefusal();
  void recordPendingSamples(DrawingPaint& paint, const char* who);
};

}  // namespace tessivarium

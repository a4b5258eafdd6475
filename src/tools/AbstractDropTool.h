#pragma once
// The drop tools (the paint tube and the sprayer): paint of the tool's colour laid onto the current
// layer along the stroke, without a tool head pressed into it. The base keeps the colour (its
// alpha carries the paint's wetness), records every drawn frame's samples with that colour in the
// stroke's command, runs the frame's window steps with the colour, and replays a recorded stroke.
// Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Artwork.h"
#include "gpu/Types.h"
#include "graphics/Color.h"
#include "tools/DrawingTool.h"

namespace tessivarium {

class DropSurface;

// The drop tools' starting step, a setting kept for the host; nothing paints by it.
inline constexpr std::int64_t MAX_STEP = 3;

class AbstractDropTool : public AbstractDrawingTool {
 public:
  // Red without wetness, step MAX_STEP; the tool neither cleans, resets nor keeps a pattern, and its
  // preview follows the stylus pressure.
  explicit AbstractDropTool(ToolType type);

  const graphics::Color& color() const { return color_; }
  // Every assignment relights the brush view in the new colour, while a canvas is current (the
  // viewer takes the colour when it is attached otherwise).
  void setColor(graphics::Color color);
  std::int64_t step() const { return step_; }
  void setStep(std::int64_t step) { step_ = step; }

  // A frame that draws is recorded with the tool's colour under "color"; then the base frame.
  void interactiveDraw(DrawingPaint& paint, std::function<void()> completed) override;
  // The samples still pending at the stroke's end are recorded as one more batch when they are
  // drawn; then the base stroke end.
  void handleEnd(DrawingPaint& paint) override;
  // The pending samples in as many window steps as they need, each with the tool's colour, all on
  // `buffer`.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
  // Replays `command` batch by batch on the current canvas, each batch with its recorded colour (a
  // batch without one keeps the colour of the batch before; one without samples is skipped), then
  // writes the last window back into the layer and forgets it, so that the replayed paint survives
  // whatever loads a window next. The tool's colour and pending samples are as before afterwards.
  // On `buffer` when one is given (neither committed nor waited for); otherwise on a buffer of its
  // own, committed and waited for. A tool that is not the current one, or no current canvas,
  // replays nothing and says so; so does a replay while the working textures cannot be made.
  void execute(Command& command, const std::shared_ptr<gpu::CommandBuffer>& buffer) override;
  // Takes the colour with the fill's wetness in its alpha: the wetness given (brought into 0 to 1),
  // or without one the colour's own alpha. An alpha below the first level is given the first, the
  // driest paint laid, since alpha 0 lays fully wet; only the starting colour, never filled, does.
  // A tool that cannot take a colour, or a wetness that is not a number, reports CannotFillColor
  // and changes nothing (see takesFill).
  void fillColor(const graphics::Color& color, float force = 1.0f,
                 std::optional<float> wetness = std::nullopt) override;

 protected:
  // The tool's stroke surface; a concrete drop tool always makes a DropSurface (fatal otherwise).
  DropSurface& dropSurface();

 private:
  graphics::Color color_ = graphics::Color::fromRGBA(1, 0, 0, 0);
  std::int64_t step_ = MAX_STEP;
};

}  // namespace tessivarium

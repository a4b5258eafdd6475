#pragma once
// The painting tools: the role under which the application keeps every tool, and the base class
// of every tool the system makes.

#include <memory>

#include "tools/TouchInput.h"
#include "tools/ToolType.h"

namespace tessivarium {

class ToolSurface;

// A tool as the application manager keeps it.
class DrawingTool {
 public:
  virtual ~DrawingTool() = default;

  virtual ToolType toolType() const = 0;
  virtual bool enabled() const = 0;
  // false makes the tool let go of its canvas; true only records the flag.
  virtual void setEnabled(bool enabled) = 0;
  // Detaches the tool's 3-D viewer from its view.
  virtual void dettachViewer() = 0;
  // Loads the tool's viewer, stroke state and controller; throws Error.
  virtual void loads() = 0;
};

// The base class of every painting tool.
class AbstractDrawingTool : public DrawingTool {
 public:
  explicit AbstractDrawingTool(ToolType type) : toolType_(type) {}

  ToolType toolType() const override { return toolType_; }
  bool enabled() const override { return enabled_; }
  void setEnabled(bool enabled) override;
  void dettachViewer() override;
  void loads() override;

  // Switches the tool to the current canvas unless it is already enabled on one (or `force`).
  virtual void handleEnabled(bool force);
  // Marks the tool as no longer enabled on a canvas.
  virtual void handleDisabled();

  bool isEnabledOnCanvas() const { return enabledOnCanvas_; }

  // The samples received and not yet drawn.
  const TouchInputs& touchInputs() const { return touchInputs_; }
  void setTouchInputs(TouchInputs inputs) { touchInputs_ = std::move(inputs); }

  // The tool's stroke surface, made on first read (never while the manager starts) and owned here.
  const std::shared_ptr<ToolSurface>& toolSurface();

 protected:
  void setEnabledOnCanvas(bool value) { enabledOnCanvas_ = value; }
  // Makes the surface on the first read of toolSurface(); a tool family makes its own kind.
  virtual std::shared_ptr<ToolSurface> createToolSurface();

 private:
  std::shared_ptr<ToolSurface> toolSurface_;
  TouchInputs touchInputs_;
  ToolType toolType_;
  bool enabled_ = false;
  bool enabledOnCanvas_ = false;
};

}  // namespace tessivarium

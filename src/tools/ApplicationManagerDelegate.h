#pragma once
// The host's delegate of the application manager: told before and after every change of the
// current canvas and of the current tool.

#include <memory>

namespace tessivarium {

class DrawingPaint;
class DrawingTool;

class ApplicationManagerDelegate {
 public:
  virtual ~ApplicationManagerDelegate() = default;
  // The canvas current before an assignment of currentPaint (possibly none).
  virtual void currentPaintWillChange(const std::shared_ptr<DrawingPaint>& paint) = 0;
  // The canvas current after it.
  virtual void currentPaintDidChange(const std::shared_ptr<DrawingPaint>& paint) = 0;
  virtual void currentToolWillChange(const std::shared_ptr<DrawingTool>& tool) = 0;
  virtual void currentToolDidChange(const std::shared_ptr<DrawingTool>& tool) = 0;
};

}  // namespace tessivarium

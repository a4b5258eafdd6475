#pragma once
// How a tool talks to its 3-D viewer: the object that shows the tool's head on the canvas, carries
// the tool's rotation and owns the head's textures.

#include <memory>

#include "gpu/Types.h"

namespace tessivarium {

class ToolModel;
class TouchInput;

class ToolViewer {
 public:
  virtual ~ToolViewer() = default;

  virtual const std::shared_ptr<ToolModel>& toolModel() const = 0;
  virtual void setToolModel(std::shared_ptr<ToolModel> model) = 0;
  // The head's footprint in working-region cells.
  virtual gpu::Size size() const = 0;
  virtual void attachView() = 0;
  virtual void dettachView() = 0;
  virtual void updateOnToolChange() = 0;
  virtual void clean() = 0;
  virtual void reset() = 0;
  virtual void savePattern() = 0;
  // The head's turn about the view axis, in radians.
  virtual float rotation() const = 0;
  virtual void setRotation(float rotation) = 0;
  // May throw Error.
  virtual void loads() = 0;
  virtual void pickPattern(const std::shared_ptr<TouchInput>& touchInput, float rotation) = 0;
};

}  // namespace tessivarium

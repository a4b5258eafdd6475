#pragma once
// The role through which a tool talks to its 3-D viewer: the viewer shows the tool's head on the
// canvas, follows the tool's touches, carries its rotation and owns its tool model. Every viewer
// also receives the tool's touches, as the tool received them. Main thread only.

#include <memory>

#include "gpu/Types.h"
#include "tools/colorPicker/TouchHandler.h"

namespace tessivarium {

class TouchInput;
class ToolModel;

class ToolViewer : public TouchHandler {
 public:
  virtual ~ToolViewer() = default;

  // The textures of the tool's head; none for a viewer without a model.
  virtual const std::shared_ptr<ToolModel>& toolModel() const = 0;
  virtual void setToolModel(std::shared_ptr<ToolModel> model) = 0;
  // The footprint of the head in working-window cells.
  virtual gpu::Size size() const = 0;
  virtual void attachView() = 0;
  virtual void dettachView() = 0;
  virtual void updateOnToolChange() = 0;
  virtual void clean() = 0;
  virtual void reset() = 0;
  virtual void savePattern() = 0;
  virtual float rotation() const = 0;
  virtual void setRotation(float rotation) = 0;
  // Throws Error.
  virtual void loads() = 0;
  virtual void pickPattern(const TouchInput& touchInput, float rotation) = 0;
};

}  // namespace tessivarium

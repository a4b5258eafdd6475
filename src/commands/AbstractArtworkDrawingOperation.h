#pragma once
// The base of every undo step: the canvas it belongs to and the layer it works on. Its step
// operations do nothing; each kind of step overrides those it needs.

#include <memory>
#include <string>

#include "commands/ArtworkDrawingOperation.h"

namespace tessivarium {

class DrawingPaint;
class Layer;

class AbstractArtworkDrawingOperation : public ArtworkDrawingOperation {
 public:
  // A step of the application manager's current paint, which must be set.
  explicit AbstractArtworkDrawingOperation(std::shared_ptr<Layer> layer);
  // A step of `paint`, which must be given.
  AbstractArtworkDrawingOperation(const std::shared_ptr<DrawingPaint>& paint, std::shared_ptr<Layer> layer);

  // The canvas, not owned: a step never outlives it (none once it is gone).
  std::shared_ptr<DrawingPaint> paint() const { return paint_.lock(); }
  const std::shared_ptr<Layer>& layer() const { return layer_; }
  const std::string& name() const override { return name_; }

  void undo() override {}
  void afterUndo() override {}
  void redo() override {}
  void afterRedo() override {}
  void release() override {}
  std::int64_t heldBytes() const override { return 0; }

 protected:
  void setName(std::string name) { name_ = std::move(name); }

 private:
  std::weak_ptr<DrawingPaint> paint_;
  std::shared_ptr<Layer> layer_;
  std::string name_;
};

}  // namespace tessivarium

#include "commands/OperationPool.h"

#include <string>

#include "commands/ArtworkDrawingOperation.h"
#include "components/ArtworkData.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"
#include "tools/RegionWorkingSets.h"

namespace tessivarium {

class OperationPool::InProgress {
 public:
  InProgress(OperationPool& pool, Phase phase, const ArtworkDrawingOperation* step)
      : pool_(pool), phase_(pool.phase_), step_(pool.stepInProgress_) {
    pool.phase_ = phase;
    pool.stepInProgress_ = step;
  }
  ~InProgress() {
    pool_.phase_ = phase_;
    pool_.stepInProgress_ = step_;
  }
  InProgress(const InProgress&) = delete;
  InProgress& operator=(const InProgress&) = delete;

 private:
  OperationPool& pool_;
  Phase phase_;
  const ArtworkDrawingOperation* step_;
};

void OperationPool::trace(const char* literal) const {
  foundation::consoleLine(std::string(literal) + std::to_string(currentOperation_) + " " +
                          std::to_string(lastOperation_));
}

void OperationPool::doSave(std::shared_ptr<ArtworkDrawingOperation> operation) {
  if (!operation) foundation::fatalError("OperationPool.doSave: no step to record");
  releaseLaters();
  currentOperation_ += 1;
  operations_.push_back(std::move(operation));
  lastOperation_ = currentOperation_;
  trace("");
}

std::shared_ptr<ArtworkDrawingOperation> OperationPool::undo() {
  trace("Undo -> ");
  std::shared_ptr<ArtworkDrawingOperation> step;
  if (currentOperation_ >= 0) {
    step = operations_[static_cast<std::size_t>(currentOperation_)];
    {
      InProgress guard(*this, Phase::undoing, step.get());
      step->undo();
      step->afterUndo();
    }
    currentOperation_ -= 1;
  }
  trace("Undo <- ");
  operationType_ = OperationType::undo;
  return step;
}

std::shared_ptr<ArtworkDrawingOperation> OperationPool::redo() {
  if (!canRedo()) foundation::fatalError("OperationPool.redo: there is no undone step to redo");
  trace("Redo -> ");
  currentOperation_ += 1;
  std::shared_ptr<ArtworkDrawingOperation> step = operations_[static_cast<std::size_t>(currentOperation_)];
  {
    InProgress guard(*this, Phase::redoing, step.get());
    step->redo();
    step->afterRedo();
  }
  trace("Redo <- ");
  operationType_ = OperationType::redo;
  return step;
}

void OperationPool::clean() {
  // Taken out first, so a release that reaches back into the pool finds it empty.
  std::vector<std::shared_ptr<ArtworkDrawingOperation>> steps;
  steps.swap(operations_);
  currentOperation_ = -1;
  lastOperation_ = -1;
  operationType_ = OperationType::clean;
  stepsGivenUp_ = 0;
  for (const auto& step : steps) step->release();
}

void OperationPool::releaseAt(std::int64_t index) {
  std::shared_ptr<ArtworkDrawingOperation> step = operations_[static_cast<std::size_t>(index)];
  operations_.erase(operations_.begin() + index);
  step->release();
}

bool OperationPool::releaseFirst() {
  if (operations_.empty() || operations_.front().get() == stepInProgress_) return false;
  releaseAt(0);
  currentOperation_ -= 1;
  lastOperation_ -= 1;
  stepsGivenUp_ += 1;
  return true;
}

void OperationPool::releaseLaters() {
  if (!hasErasableData()) return;
  for (std::int64_t index = lastOperation_; index > currentOperation_; --index) releaseAt(index);
  lastOperation_ = currentOperation_;
}

std::shared_ptr<ArtworkData> OperationPool::newArtworkData(
    const std::shared_ptr<DrawingPaint>& paint, const std::shared_ptr<Layer>& layer,
    const std::shared_ptr<gpu::TextureDescriptor>& descriptor) {
  auto textures = std::dynamic_pointer_cast<ArtworkTextures>(layer);
  if (!textures) foundation::fatalError("OperationPool.newArtworkData: the layer is not an ArtworkTextures");
  // A redo that retakes its snapshot keeps the steps that can still be redone after it.
  if (phase_ != Phase::redoing) releaseLaters();

  auto attempt = [&]() -> std::shared_ptr<ArtworkData> {
    if (AppManager().isReachMaxHeap()) return nullptr;
    auto snapshot = std::make_shared<ArtworkData>(paint, descriptor);
    snapshot->setLayer(textures);
    if (snapshot->isValid()) return snapshot;
    // Hands back the textures it did get, so their bytes leave the count with it.
    snapshot->release();
    return nullptr;
  };
  if (auto snapshot = attempt()) return snapshot;
  if (releaseSpareSets()) {
    if (auto snapshot = attempt()) return snapshot;
  }
  releaseFirst();
  return attempt();
}

bool OperationPool::makeRoomFor(std::int64_t bytes) {
  auto& manager = AppManager();
  // The undone steps go anyway once the layer's step is recorded: their memory is room already.
  const std::int64_t needed = bytes - undoneBytes();
  if (manager.hasRoomFor(needed)) return true;
  // Steps given up for a layer that is refused after all would be lost for nothing.
  if (!manager.hasRoomFor(needed - manager.regionWorkingSets().countedBytes() - oldestBytes())) return false;
  if (releaseSpareSets() && manager.hasRoomFor(needed)) return true;
  while (!manager.hasRoomFor(needed) && canUndo() && releaseFirst()) {
  }
  return manager.hasRoomFor(needed);
}

std::int64_t OperationPool::undoneBytes() const {
  if (phase_ == Phase::redoing) return 0;
  std::int64_t bytes = 0;
  for (std::int64_t index = currentOperation_ + 1; index <= lastOperation_; ++index) {
    bytes += operations_[static_cast<std::size_t>(index)]->heldBytes();
  }
  return bytes;
}

std::int64_t OperationPool::oldestBytes() const {
  std::int64_t bytes = 0;
  for (std::int64_t index = 0; index <= currentOperation_; ++index) {
    const auto& step = operations_[static_cast<std::size_t>(index)];
    if (step.get() == stepInProgress_) break;
    bytes += step->heldBytes();
  }
  return bytes;
}

// The rebuilds' spare working sets are kept only for speed: they give way before any undo step is
// given up.
bool OperationPool::releaseSpareSets() {
  auto& spare = AppManager().regionWorkingSets();
  if (spare.extraSets() == 0) return false;
  spare.release();
  return true;
}

}  // namespace tessivarium

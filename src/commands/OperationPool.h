#pragma once
// The steps of one canvas's undo history, oldest first, and the memory policy of its region
// snapshots. Index model, true after every operation:
// - `operations` holds the steps 0 ... lastOperation (lastOperation + 1 of them);
// - -1 <= currentOperation <= lastOperation; steps 0 ... currentOperation are in effect, the
//   later ones are undone and can be redone (the erasable data);
// - an empty pool has both indexes at -1.
// Every step leaves the history in one of three ways, and is released exactly once then: as an
// undone step when a new step is recorded, a snapshot is asked for or a new layer is made
// (releaseLaters), as the oldest step when texture memory is short (releaseFirst), or with all
// others (clean).
//
// While a step is being undone or redone it may ask for a snapshot (a region step retakes its
// snapshot on redo). Such a request never gives up that step, and one made from within a redo
// keeps the later undone steps too, so the redo does not cut off the rest of the redo chain.
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

namespace gpu {
struct TextureDescriptor;
}

namespace tessivarium {

class ArtworkData;
class ArtworkDrawingOperation;
class DrawingPaint;
class Layer;

class OperationPool {
 public:
  // The pool's last action, compared and hashed by case.
  enum class OperationType { none = 0, clean = 1, undo = 2, redo = 3 };

  OperationPool() = default;
  OperationPool(const OperationPool&) = delete;
  OperationPool& operator=(const OperationPool&) = delete;

  const std::vector<std::shared_ptr<ArtworkDrawingOperation>>& operations() const { return operations_; }
  std::int64_t currentOperation() const { return currentOperation_; }
  std::int64_t lastOperation() const { return lastOperation_; }
  OperationType operationType() const { return operationType_; }

  // Records a step that has made its change: the undone steps go first (newest first), then the
  // step becomes the newest, in effect; prints "<current> <last>".
  void doSave(std::shared_ptr<ArtworkDrawingOperation> operation);
  // Takes the newest step in effect back (undo, then afterUndo) and returns it; none when no step
  // is in effect. Prints "Undo -> " and "Undo <- " lines either way.
  std::shared_ptr<ArtworkDrawingOperation> undo();
  // Makes the oldest undone step again (redo, then afterRedo) and returns it, between "Redo -> "
  // and "Redo <- " lines. Only when canRedo(); otherwise a fatal stop.
  std::shared_ptr<ArtworkDrawingOperation> redo();
  // Releases every step, oldest first, and empties the pool; prints nothing. The count of steps
  // given up starts again.
  void clean();
  bool canUndo() const { return currentOperation_ >= 0; }
  bool canRedo() const { return currentOperation_ < lastOperation_; }
  // Gives up the oldest step, and whether there was one to give up: none on an empty pool, or
  // while the oldest step is the one being undone or redone.
  bool releaseFirst();
  // The steps given up as the oldest since the pool was last cleaned (for texture memory: nothing
  // else gives them up).
  std::int64_t stepsGivenUp() const { return stepsGivenUp_; }
  // Whether there are undone steps (the same test as canRedo()).
  bool hasErasableData() const { return currentOperation_ < lastOperation_; }
  // Discards the undone steps, newest first.
  void releaseLaters();
  // A snapshot of `layer` (which must be an ArtworkTextures) with textures made from
  // `descriptor`, or none. Discards the undone steps first (not from within a redo). A snapshot
  // is made only while the texture memory limit is not reached; when none can be had, the
  // oldest step gives way and one more attempt is made. A snapshot whose textures could not all
  // be made hands back those it got and is dropped.
  std::shared_ptr<ArtworkData> newArtworkData(const std::shared_ptr<DrawingPaint>& paint,
                                              const std::shared_ptr<Layer>& layer,
                                              const std::shared_ptr<gpu::TextureDescriptor>& descriptor);
  // Makes room for `bytes` more of texture memory (a new layer's), and whether they fit the limit.
  // First come the undone steps (not from within a redo, which keeps them): they count as room but
  // stay, since the step that makes the layer discards them before it makes it, as recording it
  // would, and a step that makes no layer after all keeps them. Then the rebuilds' spare working
  // sets, then the oldest steps, one at a time, only as many as the bytes need. Whether all of that
  // makes the room is worked out first: when it does not, nothing is given up, every step stays
  // undoable, and the answer is false.
  bool makeRoomFor(std::int64_t bytes);

 private:
  enum class Phase { idle, undoing, redoing };
  // Marks `step` as in progress while it is undone or redone.
  class InProgress;

  void trace(const char* literal) const;
  void releaseAt(std::int64_t index);
  // Gives the rebuilds' spare working sets back, and whether there were any.
  static bool releaseSpareSets();
  // The texture memory the undone steps hold that makeRoomFor counts as room: none within a redo.
  std::int64_t undoneBytes() const;
  // What giving up every step releaseFirst can reach, oldest first, would give back: the steps in
  // effect up to the one being undone or redone.
  std::int64_t oldestBytes() const;

  std::vector<std::shared_ptr<ArtworkDrawingOperation>> operations_;
  std::int64_t currentOperation_ = -1;
  std::int64_t lastOperation_ = -1;
  OperationType operationType_ = OperationType::none;
  std::int64_t stepsGivenUp_ = 0;
  Phase phase_ = Phase::idle;
  const ArtworkDrawingOperation* stepInProgress_ = nullptr;
};

}  // namespace tessivarium

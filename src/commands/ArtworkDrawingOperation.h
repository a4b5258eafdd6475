#pragma once
// One step of a canvas's undo history. A step has already made its change when the history
// records it; the history only takes it back, makes it again and, when the step leaves the
// history, lets it give up what it holds.

#include <cstdint>
#include <string>

namespace tessivarium {

class ArtworkDrawingOperation {
 public:
  virtual ~ArtworkDrawingOperation() = default;

  // The step's display name ("Painting" for a stroke); the history never reads it.
  virtual const std::string& name() const = 0;
  // Takes the change back.
  virtual void undo() = 0;
  // Work that follows an undo.
  virtual void afterUndo() = 0;
  // Makes the change again.
  virtual void redo() = 0;
  // Work that follows a redo.
  virtual void afterRedo() = 0;
  // Gives up the step's snapshots and textures: called once, when the step leaves the history
  // (or at once on a canvas without undo).
  virtual void release() = 0;
  // The counted texture memory release() would give back now.
  virtual std::int64_t heldBytes() const = 0;
};

}  // namespace tessivarium

#pragma once
// The undo history of one canvas, and the only object the host and the rest of the system talk
// to about it: it records steps, undoes and redoes them and hands out region snapshots within
// the texture memory limit. The canvas makes it on first use and cleans it when it releases its
// resources. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "commands/OperationPool.h"

namespace gpu {
struct TextureDescriptor;
}

namespace tessivarium {

class ArtworkData;
class ArtworkDrawingOperation;
class Command;
class DrawingPaint;
class Layer;

class CommandManager {
 public:
  // The history of `paint`, which must be given; empty.
  explicit CommandManager(const std::shared_ptr<DrawingPaint>& paint);
  CommandManager(const CommandManager&) = delete;
  CommandManager& operator=(const CommandManager&) = delete;

  // The canvas, not owned (none once it is gone).
  std::shared_ptr<DrawingPaint> paint() const { return paint_.lock(); }
  // Kept for the host; nothing in the system reads or writes them.
  std::int64_t current() const { return current_; }
  void setCurrent(std::int64_t current) { current_ = current; }
  const std::vector<std::shared_ptr<Command>>& commands() const { return commands_; }
  void setCommands(std::vector<std::shared_ptr<Command>> commands) { commands_ = std::move(commands); }
  const OperationPool& operationPool() const { return operationPool_; }

  // Releases every step.
  void clean() { operationPool_.clean(); }
  // The step taken back or made again, or none (and nothing printed) when there is none, or
  // while a stroke is in progress: the current layer is drawing or the current tool holds a
  // stroke's step. (A stroke step snapshots from the canvas's `before` at its end, which an undo
  // or redo would overwrite.)
  std::shared_ptr<ArtworkDrawingOperation> undo();
  std::shared_ptr<ArtworkDrawingOperation> redo();
  bool canUndo() const { return operationPool_.canUndo(); }
  bool canRedo() const { return operationPool_.canRedo(); }
  bool hasErasableData() const { return operationPool_.hasErasableData(); }
  // Recorded strokes are not kept: undo uses region snapshots instead.
  void append(const std::shared_ptr<Command>& command);
  // Records a step that has already made its change.
  void append(std::shared_ptr<ArtworkDrawingOperation> operation);
  // A region snapshot of `layer` within the memory limit (see OperationPool), by default of one
  // working region (the working textures' descriptor); none when it cannot be had.
  std::shared_ptr<ArtworkData> newArtworkData(const std::shared_ptr<DrawingPaint>& paint,
                                              const std::shared_ptr<Layer>& layer);
  std::shared_ptr<ArtworkData> newArtworkData(const std::shared_ptr<DrawingPaint>& paint,
                                              const std::shared_ptr<Layer>& layer,
                                              const std::shared_ptr<gpu::TextureDescriptor>& descriptor);
  // Room for `bytes` more of texture memory, as a new layer needs it, made by giving up what the
  // history keeps, its oldest steps last (see OperationPool); whether they fit the limit. The
  // history gives way to a layer as it does to its own snapshots, since the canvas's layers matter
  // more than taking back its oldest changes; but nothing goes when not all it could give up makes
  // the room. The undone steps count as room and stay: the step that makes the layer discards them
  // first (releaseUndone).
  bool makeRoomFor(std::int64_t bytes) { return operationPool_.makeRoomFor(bytes); }
  // Discards the undone steps, newest first, as recording a step does.
  void releaseUndone() { operationPool_.releaseLaters(); }
  // The oldest steps given up for texture memory since the history was last cleaned: undo reaches
  // no further back than they.
  std::int64_t stepsGivenUp() const { return operationPool_.stepsGivenUp(); }

 private:
  bool isStrokeInProgress() const;

  std::weak_ptr<DrawingPaint> paint_;
  std::int64_t current_ = -1;
  std::vector<std::shared_ptr<Command>> commands_;
  OperationPool operationPool_;
};

}  // namespace tessivarium

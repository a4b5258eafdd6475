#include "commands/CommandManager.h"

#include "commands/ArtworkDrawingOperation.h"
#include "commands/Command.h"
#include "components/ArtworkData.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"

namespace tessivarium {

CommandManager::CommandManager(const std::shared_ptr<DrawingPaint>& paint) : paint_(paint) {
  if (!paint) foundation::fatalError("CommandManager: an undo history needs a canvas");
}

std::shared_ptr<ArtworkDrawingOperation> CommandManager::undo() {
  return canUndo() ? operationPool_.undo() : nullptr;
}

std::shared_ptr<ArtworkDrawingOperation> CommandManager::redo() {
  return canRedo() ? operationPool_.redo() : nullptr;
}

void CommandManager::append(const std::shared_ptr<Command>&) {}

void CommandManager::append(std::shared_ptr<ArtworkDrawingOperation> operation) {
  operationPool_.doSave(std::move(operation));
}

std::shared_ptr<ArtworkData> CommandManager::newArtworkData(const std::shared_ptr<DrawingPaint>& paint,
                                                            const std::shared_ptr<Layer>& layer) {
  return newArtworkData(paint, layer, AppManager().surfaceTextures().texture2DDescriptor());
}

std::shared_ptr<ArtworkData> CommandManager::newArtworkData(
    const std::shared_ptr<DrawingPaint>& paint, const std::shared_ptr<Layer>& layer,
    const std::shared_ptr<gpu::TextureDescriptor>& descriptor) {
  return operationPool_.newArtworkData(paint, layer, descriptor);
}

}  // namespace tessivarium

#include "commands/CommandManager.h"

#include "commands/ArtworkDrawingOperation.h"
#include "commands/Command.h"
#include "components/ArtworkData.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"

namespace tessivarium {

CommandManager::CommandManager(const std::shared_ptr<DrawingPaint>& paint) : paint_(paint) {
  if (!paint) foundation::fatalError("CommandManager: an undo history needs a canvas");
}

bool CommandManager::isStrokeInProgress() const {
  const auto canvas = paint();
  if (!canvas) return false;
  const auto layer = canvas->currentContent();
  if (layer && layer->isDrawing()) return true;
  const auto tool = std::dynamic_pointer_cast<AbstractDrawingTool>(AppManager().currentTool());
  return tool && tool->commandOperations();
}

std::shared_ptr<ArtworkDrawingOperation> CommandManager::undo() {
  return canUndo() && !isStrokeInProgress() ? operationPool_.undo() : nullptr;
}

std::shared_ptr<ArtworkDrawingOperation> CommandManager::redo() {
  return canRedo() && !isStrokeInProgress() ? operationPool_.redo() : nullptr;
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

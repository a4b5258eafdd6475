#include "commands/AbstractArtworkDrawingOperation.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

const std::shared_ptr<DrawingPaint>& requiredPaint(const std::shared_ptr<DrawingPaint>& paint) {
  if (!paint) foundation::fatalError("An undo step needs a canvas, and there is no current paint");
  return paint;
}

}  // namespace

AbstractArtworkDrawingOperation::AbstractArtworkDrawingOperation(std::shared_ptr<Layer> layer)
    : AbstractArtworkDrawingOperation(AppManager().currentPaint(), std::move(layer)) {}

AbstractArtworkDrawingOperation::AbstractArtworkDrawingOperation(const std::shared_ptr<DrawingPaint>& paint,
                                                                 std::shared_ptr<Layer> layer)
    : paint_(requiredPaint(paint)), layer_(std::move(layer)) {}

}  // namespace tessivarium

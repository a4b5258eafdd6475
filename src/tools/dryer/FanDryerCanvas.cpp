#include "tools/dryer/FanDryerCanvas.h"

#include <string>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {

DrawingPaint& fanDryerCanvas(std::string_view operation) {
  const auto& canvas = AppManager().canvas();
  if (!canvas) foundation::fatalError(std::string(operation) + ": no main canvas");
  return *canvas;
}

ArtworkTextures& fanDryerLayer(DrawingPaint& canvas, std::string_view operation) {
  const auto layer = canvas.currentContent();
  if (!layer) foundation::fatalError(std::string(operation) + ": the main canvas has no layer");
  return *layer;
}

}  // namespace tessivarium

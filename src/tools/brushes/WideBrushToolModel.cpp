#include "tools/brushes/WideBrushToolModel.h"

#include "tools/EncodersProvider.h"
#include "tools/TextureReset.h"

namespace tessivarium {

void DAE2DToolModel::encodeClean(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  // A head whose texture could not be made (reported when it was) holds nothing to clear.
  if (!colorTexture0()) return;
  EncodersProvider().getTextureReset(colorTexture0())->encode(paint, buffer);
}

}  // namespace tessivarium

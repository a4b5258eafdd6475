#include "tools/TextureImport.h"

#include <cmath>

#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "utils/GpuRecords.h"

namespace tessivarium {
namespace {

// The coordinate truncated toward zero as an unsigned 32-bit integer, when it has one (values
// between -1 and 0 truncate to 0); converting any other value would be undefined.
std::optional<std::uint32_t> unsignedCoordinate(double value) {
  if (!std::isfinite(value) || !(value > -1.0) || !(value < 4294967296.0)) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

AbstractTextureImport::AbstractTextureImport(std::string shaderName, PrepareStep prepare)
    : AbstractToolEncoderShader(std::move(shaderName), std::move(prepare)) {}

void AbstractTextureImport::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  const auto x = at_ ? unsignedCoordinate(at_->x) : std::nullopt;
  const auto y = at_ ? unsignedCoordinate(at_->y) : std::nullopt;
  if (!dry_ || !image_ || !wet_ || !grid_ || !x || !y) {
    skipDispatch();
    return;
  }
  encoder.setTexture(image_, TEXTURE_COLOR_IMAGE_READ);
  // The kernel updates the layer's three textures in place.
  encoder.setTexture(dry_, TEXTURE_DRY_WRITE);
  encoder.setTexture(dry_, TEXTURE_DRY_READ);
  encoder.setTexture(wet_, TEXTURE_WET_READ);
  encoder.setTexture(wet_, TEXTURE_WET_WRITE);
  encoder.setTexture(grid_, TEXTURE_GRID_READ);
  encoder.setTexture(grid_, TEXTURE_GRID_WRITE);
  const float thickness[] = {thickness_};
  encoder.setBuffer(makeFloatBuffer(thickness), 0, BUFFER_VALUE);
  encoder.setBuffer(makeOffsetBuffer({*x, *y, 0}), 0, BUFFER_OFFSET);
  encodeThreadGroup2D(*image_, encoder);
}

TextureImportDry::TextureImportDry() : AbstractTextureImport("texture_import_image_dry") {}

TextureImportWet::TextureImportWet() : AbstractTextureImport("texture_import_image_wet") {}

}  // namespace tessivarium

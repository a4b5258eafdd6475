#include "kernels/Kernels.h"

#include <optional>

#include "gpu/Kernel.h"
#include "kernels/KernelList.h"
#include "utils/KernelInterface.h"

namespace kernels {
namespace {

struct Entry {
  const char* name;
  gpu::Kernel kernel;
  // Said where a command buffer holds passes that do not depend on each other, so that they can run
  // side by side: the picture's passes, which all read the working region's paint.
  std::optional<gpu::WrittenSlots> writes = std::nullopt;
};

const std::vector<Entry>& table() {
  const auto heightAndColor =
      gpu::WrittenSlots::of({tessivarium::TEXTURE_HEIGHT_IMAGE_WRITE, tessivarium::TEXTURE_COLOR_IMAGE_WRITE});
  const auto fold = gpu::WrittenSlots::of({tessivarium::TEXTURE_HEIGHT_IMAGE_WRITE});
  const auto coverage = gpu::WrittenSlots::of({tessivarium::TEXTURE_COLOR_IMAGE_WRITE});
  static const std::vector<Entry> entries = {
      {"pic_flip_texture_copy", textureCopy},
      {"textureOverlay", textureOverlay},
      {"textureOverlay2D", textureOverlay2D},
      {"pic_flip_texture_reset", textureReset},
      {"pic_flip_texture_reset2D", textureReset2D},
      {"texture_data_to_height_image", dataToHeight, heightAndColor},
      {"texture_data_to_height_dry_image", dataToDryHeight, heightAndColor},
      {"texture_data_to_height_subimage", dataToHeightSubLayer, fold},
      {"texture_data_to_height_alpha", dataToAlpha, coverage},
      {"texture_data_to_height_dry_alpha", dataToDryAlpha, coverage},
      {"texture_import_image_dry", importImageDry},
      {"texture_import_image_wet", importImageWet},
      {"mac_add_sphere", addSphere},
      {"DAESprayer_paint", sprayerPaint},
      {"DAEToolModel_dry_layer", dryLayer},
      {"DAEToolModel_wet_layer", wetLayer},
      {"DAEToolModel_initialize", toolModelInitialize},
      {"DAEToolModel_brush_fill", toolModelBrushFill},
      {"DAEToolModel_knife_fill", toolModelKnifeFill},
      {"DAEToolModel_wide_brush_fill", toolModelWideBrushFill},
      {"DAEToolModel_brush_paint", toolModelBrushPaint},
      {"DAEToolModel_knife_paint", toolModelKnifePaint},
      {"DAEToolModel_brush_pickup", toolModelBrushPickup},
      {"DAEToolModel_knife_pickup", toolModelKnifePickup},
      {"DAEToolModel_wide_brush_pickup", toolModelWideBrushPickup},
      {"DAEToolModel_overlay_map", toolModelOverlayMap},
      {"DAEToolModel_blur_image", toolModelBlurImage},
      {"DAEToolModel_mask", toolModelMask},
      {"DAEToolModel_paint_height", toolModelPaintHeight},
      {"DAEToolModel_brush_fan", brushFan},
      {"DAEToolModel_brush_filbert", brushFilbert},
      {"DAEToolModel_brush_flat", brushFlat},
      {"DAEToolModel_wide_brush_paint", wideBrushPaint},
      {"DAEToolModel_brush_bristle_paint", brushBristlePaint},
      {"Roller_paint", rollerPaint},
      {"DAEToolModel_towel_paint", towelPaint},
      {"DAEToolModel_towel_map_paint", towelMapPaint},
      {"Towel_blur_image", towelBlurImage},
      {"Sander_paint", sanderPaint},
      {"Sander_blur_image", sanderBlurImage},
      {"Turpentine_paint", turpentinePaint},
      {"Turpentine_blur_image", turpentineBlurImage},
      {"FluffyMop_paint", fluffyMopPaint},
      {"FluffyMop_blur_image", fluffyMopBlurImage},
      {"DAEToolModel_dryer_init", dryerInit},
      {"DAEToolModel_dryer_paint", dryerPaint},
      {"DAEToolModel_wetter_init", wetterInit},
      {"DAEToolModel_wetter_paint", wetterPaint},
  };
  return entries;
}

}  // namespace

void registerAll() {
  for (const Entry& entry : table()) gpu::registerKernel(entry.name, entry.kernel, entry.writes);
}

std::vector<std::string> names() {
  std::vector<std::string> out;
  for (const Entry& entry : table()) out.emplace_back(entry.name);
  return out;
}

}  // namespace kernels

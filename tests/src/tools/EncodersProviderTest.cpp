// The pass registry: one object per pass, what each getter resets, and the start-up warm-up.

#include "tools/EncodersProvider.h"

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FatalStop.h"
#include "TexturePassFixture.h"
#include "components/ArtworkTextures.h"
#include "tools/Texture2Unit.h"
#include "tools/TextureDataToAlpha.h"
#include "tools/TextureDataToHeight.h"
#include "tools/TextureImport.h"
#include "tools/TextureReset.h"
#include "tools/sprayer/SprayerEncoder.h"
#include "tools/tubes/MacAddSphere.h"

namespace {

using namespace tessivarium;

class EncodersProviderTest : public passtest::TexturePassTest {
 protected:
  EncoderProvider& registry = EncodersProvider();
};

TEST_F(EncodersProviderTest, EachPassIsMadeOnceAndRepointedOnEveryRequest) {
  EXPECT_EQ(registry.textureCopy(), nullptr);
  const auto copy = registry.getTextureCopy();
  EXPECT_EQ(registry.getTextureCopy(), copy);
  EXPECT_EQ(registry.textureCopy(), copy);

  const auto a = texture(4, 4), b = texture(8, 8);
  const auto reset = registry.getTextureReset(a);
  EXPECT_EQ(registry.getTextureReset(b), reset);
  EXPECT_EQ(reset->texture(), b);
  EXPECT_EQ(reset->offset(), (gpu::uint3{0, 0, 0}));

  const auto reset2D = registry.getTextureReset2D();
  reset2D->setTexture(a);
  reset2D->setOffset({5, 6, 0});
  EXPECT_EQ(registry.getTextureReset2D(), reset2D);
  EXPECT_EQ(reset2D->offset(), (gpu::uint3{0, 0, 0}));
  EXPECT_EQ(reset2D->texture(), a) << "the texture stays as the last caller set it";

  const auto height = registry.getTextureDataToHeightImage(a, b, false);
  EXPECT_FALSE(height->lastLayer());
  EXPECT_EQ(registry.getTextureDataToHeightImage(b, a), height);
  EXPECT_TRUE(height->lastLayer());
  EXPECT_EQ(height->target(), b);
  EXPECT_EQ(height->color(), a);

  const auto layer = canvas->layers()[1];
  const auto subLayer = registry.getTextureDataToHeightSubImage(a, canvas->layers()[0], false);
  EXPECT_EQ(registry.getTextureDataToHeightSubImage(b, layer), subLayer);
  EXPECT_EQ(subLayer->layer(), layer);
  EXPECT_EQ(subLayer->target(), b);
  EXPECT_TRUE(subLayer->lastLayer());

  EXPECT_EQ(registry.getTextureDataToDryHeightImage(a, b)->color(), b);
  EXPECT_EQ(registry.getTextureDataToAlphaImage(a)->target(), a);
  EXPECT_EQ(registry.getTextureDataToDryAlphaImage(b)->target(), b);
  EXPECT_EQ(registry.getImportImageDry(), registry.getImportImageDry());
  EXPECT_EQ(registry.getAddSphere(), registry.getAddSphere());
}

TEST_F(EncodersProviderTest, StartupBuildsEveryPipelineOnceInItsOrder) {
  testsupport::ConsoleCapture console;
  registry.startup();
  std::vector<std::string> kernels;
  for (const auto& line : console.linesStartingWith("Execution time of ")) {
    const auto name = line.substr(std::string("Execution time of ").size());
    kernels.push_back(name.substr(0, name.find(':')));
  }
  EXPECT_EQ(kernels, (std::vector<std::string>{
                         "mac_add_sphere", "DAESprayer_paint", "texture_import_image_dry", "texture_import_image_wet",
                         "texture_data_to_height_subimage", "texture_data_to_height_image",
                         "texture_data_to_height_alpha", "texture_data_to_height_dry_alpha",
                         "texture_data_to_height_dry_image", "pic_flip_texture_reset2D", "pic_flip_texture_reset",
                         "pic_flip_texture_copy", "textureOverlay", "textureOverlay2D"}));
  const auto t = working().dryTexture0();
  EXPECT_EQ(registry.textureDataToHeight()->target(), t);
  EXPECT_EQ(registry.textureDataToHeightSubLayer()->layer(), canvas->currentContent());

  // A later start-up builds nothing but re-points the provisional targets and the current layer.
  console.clear();
  registry.textureDataToHeight()->setLastLayer(false);
  registry.textureReset()->setOffset(gpu::uint3{1, 1, 1});
  canvas->setLayerIndex(static_cast<std::int64_t>(0));
  registry.startup();
  EXPECT_TRUE(console.linesStartingWith("Execution time of ").empty());
  EXPECT_TRUE(registry.textureDataToHeight()->lastLayer());
  EXPECT_EQ(registry.textureReset()->offset(), (gpu::uint3{0, 0, 0}));
  EXPECT_EQ(registry.textureDataToHeightSubLayer()->layer(), canvas->layers()[0]);
}

TEST_F(EncodersProviderTest, StartupWithoutACurrentCanvasStopsAfterFourPipelines) {
  AppManager().setCurrentPaint(nullptr);
  testsupport::ConsoleCapture console;
  EXPECT_FATAL(registry.startup(), "The pass registry starts up only once there is a current canvas");
  EXPECT_EQ(console.linesStartingWith("Execution time of ").size(), 4u);
  EXPECT_TRUE(registry.importImageWet());
  EXPECT_FALSE(registry.textureDataToHeight());
}

}  // namespace

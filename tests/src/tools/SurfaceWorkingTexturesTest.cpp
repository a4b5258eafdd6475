#include "tools/SurfaceWorkingTextures.h"

#include <gtest/gtest.h>

#include "Application.h"
#include "ErrorMessage.h"
#include "audio/AudioPlayer.h"
#include "gpu/TestControls.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

class SurfaceWorkingTexturesTest : public ::testing::Test {
 protected:
  ApplicationManager& manager = AppManager();
  SurfaceWorkingTextures& textures = manager.surfaceTextures();
};

TEST_F(SurfaceWorkingTexturesTest, DescriptorIsOneSharedWorkingRegionDescriptor) {
  const auto& descriptor = textures.texture2DDescriptor();
  EXPECT_EQ(descriptor, textures.texture2DDescriptor());
  EXPECT_EQ(descriptor->width, 256u);
  EXPECT_EQ(descriptor->height, 256u);
  EXPECT_EQ(descriptor->depth, 1u);
  EXPECT_EQ(descriptor->textureType, gpu::TextureType::Type2D);
  EXPECT_EQ(descriptor->pixelFormat, gpu::PixelFormat::RGBA8Unorm);
  EXPECT_EQ(descriptor->mipmapLevelCount, 1u);
}

TEST_F(SurfaceWorkingTexturesTest, ATextureIsMadeAndCountedOnItsFirstReadOnly) {
  const auto first = textures.wetTexture1();
  ASSERT_TRUE(first);
  EXPECT_EQ(manager.heapSize(), 262'144);
  EXPECT_EQ(textures.wetTexture1(), first);
  EXPECT_EQ(manager.heapSize(), 262'144);
  textures.setWetTexture1(nullptr);
  EXPECT_EQ(manager.heapSize(), 262'144) << "setters do no accounting";
}

TEST_F(SurfaceWorkingTexturesTest, LoadsMakesAllTwelveOnce) {
  textures.loads();
  EXPECT_EQ(manager.heapSize(), 3'145'728);
  EXPECT_EQ(gpu::testControls().textureRequests(), 12u);
  textures.loads();
  EXPECT_EQ(gpu::testControls().textureRequests(), 12u);
}

TEST_F(SurfaceWorkingTexturesTest, SwapsExchangeTheTwoSidesOfAPair) {
  textures.swapGridTexture();
  EXPECT_EQ(gpu::testControls().textureRequests(), 2u);
  const auto a = textures.gridTexture0();
  const auto b = textures.gridTexture1();
  textures.swapGridTexture();
  EXPECT_EQ(textures.gridTexture0(), b);
  EXPECT_EQ(textures.gridTexture1(), a);
  const auto w0 = textures.wetTexture0(), w1 = textures.wetTexture1();
  textures.swapWetTexture();
  EXPECT_EQ(textures.wetTexture0(), w1);
  const auto d0 = textures.dryTexture0();
  textures.swapDryTexture();
  EXPECT_EQ(textures.dryTexture1(), d0);
  EXPECT_NE(w0, w1);
}

TEST_F(SurfaceWorkingTexturesTest, AReplacedDescriptorSizesEveryLaterTexture) {
  auto small = gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, 64, 32, false);
  textures.setTexture2DDescriptor(small);
  textures.loads();
  EXPECT_EQ(textures.renderingTexture()->width(), 64u);
  EXPECT_EQ(textures.wetTexture1()->height(), 32u);
  EXPECT_EQ(manager.heapSize(), 12 * 64 * 32 * 4);
}

TEST_F(SurfaceWorkingTexturesTest, AFailedTextureStopsLoadsWithNoMoreHeap) {
  const int beeps = Application().audioPlayer()->playCount();
  gpu::testControls().failTextureRequest(8);  // the eighth in load order is gridTexture1
  try {
    textures.loads();
    FAIL() << "expected NoMoreHeap";
  } catch (const Error& error) {
    EXPECT_EQ(error.message(), ErrorMessage::NoMoreHeap);
  }
  EXPECT_EQ(gpu::testControls().textureRequests(), 8u) << "the textures after it stay absent";
  EXPECT_EQ(manager.heapSize(), 7 * 262'144);
  EXPECT_EQ(Application().audioPlayer()->playCount() - beeps, 1) << "reported once by the creation";
  EXPECT_EQ(widthOf(nullptr), 0u);

  textures.loads();  // the failed slot is tried again
  EXPECT_EQ(gpu::testControls().textureRequests(), 13u);
}

TEST(SurfaceWorkingTexturesStartUp, AShortTextureAtAnyIndexIsForgottenSoALaterStartUpSucceeds) {
  constexpr std::int64_t kOne = 256 * 256 * 4;
  for (std::size_t failing = 1; failing <= 12; ++failing) {
    resetAppManagerForTesting();
    gpu::testControls().reset();
    auto& manager = AppManager();
    auto& textures = manager.surfaceTextures();
    // Request `failing` of the start-up is one column short.
    gpu::testControls().changeTextureWidth([failing](const gpu::TextureDescriptor& d) {
      return gpu::testControls().textureRequests() == failing ? d.width - 1 : d.width;
    });
    EXPECT_THROW(textures.loads(), Error) << failing;
    EXPECT_EQ(manager.heapSize(), static_cast<std::int64_t>(failing - 1) * kOne)
        << failing << ": the short texture is given back";
    gpu::testControls().changeTextureWidth(nullptr);
    EXPECT_NO_THROW(textures.loads()) << failing;
    EXPECT_EQ(manager.heapSize(), 12 * kOne) << failing;
    EXPECT_EQ(gpu::testControls().textureRequests(), 13u) << failing << ": only the short one asked again";
  }
}

}  // namespace

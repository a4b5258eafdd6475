#include "tools/ToolModel.h"

#include <array>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FakeTool.h"
#include "ErrorMessage.h"
#include "components/RawData.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/DefaultToolViewer.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

// A viewer needs a canvas, so the canvas comes first.
struct WithCanvas {
  WithCanvas() { AppManager().setCanvas(std::make_shared<testsupport::FakeCanvas>(MainPaintId, 800, 600)); }
};

class ToolModelTest : public testing::Test, private WithCanvas {
 protected:

  // Bytes 0, 1, 2, ... (mod 251) shifted by `seed`.
  static std::vector<std::uint8_t> pattern(std::size_t size, int seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i + seed) % 251);
    return bytes;
  }

  testsupport::FakeTool tool{ToolType::knife1};
  DefaultToolViewer viewer{tool};
  ToolModel model{viewer, 40, 12, 3};
};

TEST_F(ToolModelTest, DescriptorsAndTexturesHaveTheHeadShape) {
  const auto& d3 = *model.textureDescriptor();
  EXPECT_EQ(d3.textureType, gpu::TextureType::Type3D);
  EXPECT_EQ((std::array{d3.width, d3.height, d3.depth}), (std::array<std::size_t, 3>{40, 12, 3}));
  EXPECT_EQ(d3.pixelFormat, gpu::PixelFormat::RGBA8Unorm);
  const auto& d2 = *model.texture2DDescriptor();
  EXPECT_EQ(d2.textureType, gpu::TextureType::Type2D);
  EXPECT_EQ((std::array{d2.width, d2.height, d2.depth}), (std::array<std::size_t, 3>{40, 12, 1}));
  EXPECT_EQ(d2.pixelFormat, gpu::PixelFormat::RGBA8Unorm);

  EXPECT_EQ(RawData(*model.colorTexture0()).grid().size(), 5760u);
  EXPECT_EQ(model.colorTexture0(), model.colorTexture0());  // made once
  EXPECT_EQ(model.savedColorTexture()->depth(), 3u);
  EXPECT_EQ(model.previewColorTexture()->depth(), 1u);
  EXPECT_EQ(model.previewHeightTexture()->width(), 40u);
}

TEST_F(ToolModelTest, PatternRoundTripAndRefusals) {
  const auto bytes = pattern(5760, 7);
  model.setToolPattern(RawData(40, 12, 3, bytes));
  EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), bytes);
  const auto second = TextureUtil::toRawData(*model.colorTexture1());
  EXPECT_EQ(second, std::vector<std::uint8_t>(5760, 0));

  const struct { std::int64_t w, h, d; std::size_t bytes; } refused[] = {
      {41, 12, 3, 41 * 12 * 3 * 4}, {40, 11, 3, 40 * 11 * 3 * 4}, {40, 12, 2, 40 * 12 * 2 * 4},
      {40, 12, 3, 5759},  // a short pattern of the right shape
      {40, 12, 3, 5764},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(testing::Message() << r.w << " x " << r.h << " x " << r.d << ", " << r.bytes << " bytes");
    try {
      model.setToolPattern(RawData(r.w, r.h, r.d, pattern(r.bytes, 99)));
      ADD_FAILURE() << "accepted";
    } catch (const Error& error) {
      EXPECT_EQ(error.message(), ErrorMessage::TextureFormatIncompatible);
    }
    EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), bytes);
  }
}

TEST_F(ToolModelTest, SaveResetAndSwap) {
  // reset() before any save copies the never-written saved head in.
  model.setToolPattern(RawData(40, 12, 3, pattern(5760, 1)));
  model.reset();
  EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), std::vector<std::uint8_t>(5760, 0));

  const auto saved = pattern(5760, 3);
  model.setToolPattern(RawData(40, 12, 3, saved));
  model.savePattern();
  model.setToolPattern(RawData(40, 12, 3, pattern(5760, 5)));
  model.swapTexture();
  model.setToolPattern(RawData(40, 12, 3, pattern(5760, 9)));  // into the former second copy
  model.swapTexture();
  model.reset();
  EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), saved);
  EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture1()), pattern(5760, 9));

  const auto first = model.colorTexture0(), other = model.colorTexture1();
  model.swapTexture();
  EXPECT_EQ(model.colorTexture0(), other);
  model.swapTexture();
  EXPECT_EQ(model.colorTexture0(), first);
  EXPECT_EQ(model.colorTexture1(), other);
}

TEST_F(ToolModelTest, CleanResourcesOnAFreshModelLeavesTheCountAlone) {
  const auto before = AppManager().heapSize();
  testsupport::ConsoleCapture console;
  model.cleanResources();
  EXPECT_EQ(AppManager().heapSize(), before);
  EXPECT_EQ(console.linesStartingWith("Make: ").size(), 5u);
  EXPECT_EQ(console.linesStartingWith("Release: ").size(), 5u);
  EXPECT_TRUE(model.colorTexture0());  // the fields keep their textures
}

}  // namespace
}  // namespace tessivarium

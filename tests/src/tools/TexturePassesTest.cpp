// The texture-maintenance passes against the command trace: every binding, record, flag and grid.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "FatalStop.h"
#include "TexturePassFixture.h"
#include "components/ArtworkTextures.h"
#include "tools/Texture2Unit.h"
#include "tools/TextureDataToAlpha.h"
#include "tools/TextureDataToHeight.h"
#include "tools/TextureImport.h"
#include "tools/TextureReset.h"
#include "tools/tubes/MacAddSphere.h"
#include "tools/sprayer/SprayerEncoder.h"

namespace {

using namespace tessivarium;
using namespace passtest;

// A buffer the pass must bind: the very buffer `same`, or a new one holding `bytes`.
struct ExpectedBuffer {
  std::shared_ptr<gpu::Buffer> same;
  Bytes bytes;
};

struct Binding {
  std::string kernel;
  std::map<std::int64_t, std::shared_ptr<gpu::Texture>> textures;
  std::map<std::int64_t, ExpectedBuffer> buffers;
  gpu::Size groups, threads;
  std::size_t dispatches;
};

class TexturePasses : public TexturePassTest {
 protected:
  void expectBinding(const std::string& name, const std::function<std::vector<gpu::DispatchRecord>()>& encode,
                     const std::function<Binding()>& expected) {
    SCOPED_TRACE(name);
    const auto dispatches = encode();
    const Binding e = expected();  // after the encode: surface buffers exist by then
    ASSERT_EQ(dispatches.size(), e.dispatches);
    for (const auto& d : dispatches) {
      EXPECT_EQ(d.kernelName, e.kernel);
      EXPECT_EQ(d.textures, e.textures);
      EXPECT_EQ(d.threadgroupsPerGrid, e.groups);
      EXPECT_EQ(d.threadsPerThreadgroup, e.threads);
      std::map<std::int64_t, bool> bound;
      for (const auto& [slot, b] : d.buffers) bound[slot] = true;
      std::map<std::int64_t, bool> wanted;
      for (const auto& [slot, b] : e.buffers) wanted[slot] = true;
      EXPECT_EQ(bound, wanted) << "buffer slots";
      for (const auto& [slot, want] : e.buffers) {
        if (!d.buffers.count(slot)) continue;
        const auto& got = d.buffers.at(slot);
        if (want.same) {
          EXPECT_EQ(got.buffer, want.same) << "buffer slot " << slot;
        } else {
          EXPECT_EQ(got.bytes, want.bytes) << "buffer slot " << slot;
        }
      }
    }
    if (dispatches.size() == 2) {
      EXPECT_EQ(dispatches[0].textures, dispatches[1].textures);
      EXPECT_EQ(dispatches[0].buffers.size(), dispatches[1].buffers.size());
    }
  }
};

// One table of every pass: which texture and record lies at which slot (slots as numbers, so a
// wrong constant fails here), the grid and the number of dispatches per encode.
TEST_F(TexturePasses, EveryPassBindsItsTable) {
  const gpu::Size two{4, 4, 1}, three{4, 4, 8}, region{64, 64, 1};
  const auto a = texture(8, 8), b = texture(8, 8), deep = texture(8, 8, 16);
  const auto target = texture(256, 256), color = texture(256, 256);
  auto& w = working();
  const auto surfaceSet = [&](std::map<std::int64_t, std::shared_ptr<gpu::Texture>> more) {
    std::map<std::int64_t, std::shared_ptr<gpu::Texture>> set = {
        {0, w.gridTexture0()}, {1, w.gridTexture1()}, {16, w.wetTexture0()}, {17, w.wetTexture1()},
        {12, w.dryTexture0()}, {13, w.dryTexture1()}, {11, canvas->groundTexture()}};
    set.insert(more.begin(), more.end());
    return set;
  };
  const Bytes one{1}, clear = floatBytes({0, 0, 0, 0});

  TextureCopy copy;
  copy.setFrom(a);
  copy.setTo(b);
  expectBinding("copy", [&] { return dispatchesOf(copy); }, [&] {
    return Binding{"pic_flip_texture_copy", {{2, a}, {3, b}}, {{0, {surface().offsetBuffer(), {}}}}, {2, 2, 1}, two, 1};
  });

  TextureOverlay overlay;
  overlay.setFrom(deep);
  overlay.setTo(b);
  expectBinding("overlay", [&] { return dispatchesOf(overlay); }, [&] {
    return Binding{"textureOverlay", {{2, deep}, {3, b}}, {{0, {surface().offsetBuffer(), {}}}}, {2, 2, 1}, two, 1};
  });

  TextureOverlay2D overlay2D;
  overlay2D.setFrom(deep);
  overlay2D.setTo(a);
  expectBinding("overlay 2-D", [&] { return dispatchesOf(overlay2D); }, [&] {
    return Binding{"textureOverlay2D", {{2, deep}, {3, a}}, {{0, {surface().offsetBuffer(), {}}}}, {2, 2, 1}, two, 1};
  });

  TextureReset reset(deep);
  reset.setOffset(gpu::uint3{0, 0, 0});
  expectBinding("reset", [&] { return dispatchesOf(reset); }, [&] {
    return Binding{"pic_flip_texture_reset", {{4, deep}}, {{0, {nullptr, offsetBytes(0, 0, 0)}}, {3, {nullptr, clear}}},
                   {2, 2, 2}, three, 1};
  });

  TextureReset2D reset2D;
  reset2D.setTexture(deep);  // sized 3-D here; the fill sizes it 2-D again
  reset2D.setOffset({1, 2, 0});
  expectBinding("reset 2-D", [&] { return dispatchesOf(reset2D); }, [&] {
    return Binding{"pic_flip_texture_reset2D", {{4, deep}}, {{0, {nullptr, offsetBytes(1, 2, 0)}}, {3, {nullptr, clear}}},
                   {2, 2, 1}, two, 1};
  });

  TextureDataToHeight height(target, color);
  expectBinding("data to height", [&] { return dispatchesOf(height); }, [&] {
    return Binding{"texture_data_to_height_image",
                   surfaceSet({{6, target}, {8, color}}),
                   {{16, {nullptr, one}},
                    {6, {nullptr, floatBytes({0.25f, 0.5f, 0.75f, 1.0f})}},
                    {0, {surface().offsetBuffer(), {}}},
                    {11, {surface().showGroundBuffer(), {}}},
                    {15, {nullptr, one}}},
                   region, two, 2};
  });

  TextureDataToDryHeight dryHeight(target, color);
  expectBinding("data to dry height", [&] { return dispatchesOf(dryHeight); }, [&] {
    return Binding{"texture_data_to_height_dry_image",
                   surfaceSet({{6, target}, {8, color}}),
                   {{0, {surface().offsetBuffer(), {}}}, {11, {surface().showGroundBuffer(), {}}}, {15, {nullptr, one}}},
                   region, two, 2};
  });

  const auto layer = canvas->layers()[0];
  TextureDataToHeightSubLayer subLayer(layer);
  subLayer.setTarget(a);
  expectBinding("one layer to height", [&] { return dispatchesOf(subLayer); }, [&] {
    return Binding{"texture_data_to_height_subimage",
                   {{0, layer->gridTexture()}, {16, layer->wetTexture()}, {12, layer->dryTexture()},
                    {6, a}, {5, a}, {11, canvas->groundTexture()}},
                   {{0, {surface().offsetBuffer(), {}}}, {16, {nullptr, one}}},
                   {2, 2, 1}, two, 2};
  });

  TextureDataToAlpha alpha(target);
  expectBinding("data to alpha", [&] { return dispatchesOf(alpha); }, [&] {
    return Binding{"texture_data_to_height_alpha", surfaceSet({{8, target}}),
                   {{0, {surface().offsetBuffer(), {}}}, {15, {nullptr, one}}}, region, two, 2};
  });

  TextureDataToDryAlpha dryAlpha(target);
  expectBinding("data to dry alpha", [&] { return dispatchesOf(dryAlpha); }, [&] {
    return Binding{"texture_data_to_height_dry_alpha", surfaceSet({{8, target}}),
                   {{0, {surface().offsetBuffer(), {}}}, {15, {nullptr, one}}}, region, two, 2};
  });

  const auto image = texture(8, 4), grid = texture(16, 16), wet = texture(16, 16), dry = texture(16, 16);
  for (const bool wetImport : {false, true}) {
    std::shared_ptr<AbstractTextureImport> import;
    if (wetImport) {
      import = std::make_shared<TextureImportWet>();
    } else {
      import = std::make_shared<TextureImportDry>();
    }
    import->setImage(image);
    import->setAt(graphics::Point{12.7, 3.2});
    import->setDry(dry);
    import->setWet(wet);
    import->setGrid(grid);
    expectBinding(wetImport ? "import wet" : "import dry", [&] { return dispatchesOf(*import); }, [&] {
      return Binding{wetImport ? "texture_import_image_wet" : "texture_import_image_dry",
                     {{7, image}, {13, dry}, {12, dry}, {16, wet}, {17, wet}, {0, grid}, {1, grid}},
                     {{3, {nullptr, floatBytes({5.0f / 255.0f})}}, {0, {nullptr, offsetBytes(12, 3, 0)}}},
                     {2, 1, 1}, two, 2};
    });
  }
}

TEST_F(TexturePasses, CopyGridFollowsItsSourceOverlayGridFollowsItsTarget) {
  TextureCopy copy;
  copy.setFrom(texture(8, 8, 32));
  copy.setTo(texture(8, 8, 32));
  EXPECT_EQ(dispatchesOf(copy)[0].threadgroupsPerGrid, (gpu::Size{2, 2, 4}));
  copy.setFrom(texture(12, 8));
  EXPECT_EQ(dispatchesOf(copy)[0].threadgroupsPerGrid, (gpu::Size{3, 2, 1}));
  copy.setFrom(nullptr);  // an absent source changes no size, but the fill needs one
  auto b = buffer();
  EXPECT_FATAL(copy.encode(*canvas, *b), "The pass \"pic_flip_texture_copy\" needs a texture to read and one to write");
}

TEST_F(TexturePasses, FlagsFollowTheCanvas) {
  const auto target = texture(256, 256);
  TextureDataToHeight height(target, target);
  struct Case {
    bool showSurface, showBackground;
    std::uint8_t expected;
  };
  // A flat surface always shows its ground: a canvas surface, so that the flag can be off.
  canvas->artwork()->setSurface(Surface::FindSurface(SurfaceId::CanvasArmyDuck));
  for (const Case c : {Case{false, false, 0}, Case{true, false, 0}, Case{false, true, 0}, Case{true, true, 1}}) {
    canvas->setShowSurface(c.showSurface);
    canvas->setShowBackground(c.showBackground);
    const auto d = dispatchesOf(height);
    EXPECT_EQ(d[0].buffers.at(11).bytes, Bytes{c.expected}) << c.showSurface << c.showBackground;
    EXPECT_EQ(d[0].buffers.at(11).buffer, surface().showGroundBuffer()) << "stored as the surface's buffer";
  }
  EXPECT_TRUE(height.lastLayer());
  height.setLastLayer(false);
  EXPECT_EQ(dispatchesOf(height)[0].buffers.at(16).bytes, Bytes{0});

  // On a palette the dry paint takes no part.
  auto palette = testsupport::makeCanvas(16, 16, 1.0, 1, MainPaintId + 1);
  palette->setBackgroundColor(graphics::Color::white());
  TextureDataToAlpha alpha(target);
  EXPECT_EQ(dispatchesOf(alpha, *palette)[0].buffers.at(15).bytes, Bytes{0});
  EXPECT_EQ(dispatchesOf(alpha)[0].buffers.at(15).bytes, Bytes{1});
  EXPECT_EQ(dispatchesOf(height, *palette)[0].buffers.at(15).bytes, Bytes{0});
}

TEST_F(TexturePasses, DataToHeightNeedsABackgroundColour) {
  canvas->setBackgroundColor(std::nullopt);
  const auto target = texture(256, 256);
  TextureDataToHeight height(target, target);
  auto b = buffer();
  EXPECT_FATAL(height.encode(*canvas, *b), "The data-to-height pass needs the canvas's background colour");
}

TEST_F(TexturePasses, HeightAndAlphaComposeNothingWithoutTheWorkingGrid) {
  const auto target = texture(256, 256);
  TextureDataToHeight height(target, target);
  TextureDataToAlpha alpha(target);
  // The working grid could not be made (its creation reported NoMoreHeap).
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor&) { return true; });
  EXPECT_TRUE(dispatchesOf(height).empty());
  EXPECT_TRUE(dispatchesOf(alpha).empty());
}

TEST_F(TexturePasses, ImportOffsetIsTruncatedOrTheImportSkipped) {
  TextureImportDry import;
  EXPECT_FLOAT_EQ(import.thickness(), 5.0f / 255.0f);
  import.setImage(texture(4, 4));
  import.setDry(texture(8, 8));
  import.setWet(texture(8, 8));
  import.setGrid(texture(8, 8));
  EXPECT_TRUE(dispatchesOf(import).empty()) << "no point yet";
  import.setAt(graphics::Point{-0.5, 4294967295.0});
  ASSERT_EQ(dispatchesOf(import).size(), 2u);
  EXPECT_EQ(dispatchesOf(import)[0].buffers.at(0).bytes, offsetBytes(0, 4294967295u, 0));
  for (const graphics::Point bad : {graphics::Point{NAN, 0}, graphics::Point{-1.0, 0}, graphics::Point{0, 4294967296.0},
                                    graphics::Point{INFINITY, 1}}) {
    import.setAt(bad);
    gpu::commandTrace().start();
    auto b = buffer();
    import.encode(*canvas, *b);
    EXPECT_TRUE(gpu::commandTrace().dispatches().empty()) << bad.x << ", " << bad.y;
  }
  import.setAt(graphics::Point{1, 1});
  import.setGrid(nullptr);
  EXPECT_TRUE(dispatchesOf(import).empty()) << "an input missing";
}

TEST_F(TexturePasses, OneLayerPassWithoutATargetDispatchesNothing) {
  TextureDataToHeightSubLayer subLayer(canvas->layers()[0]);
  EXPECT_TRUE(subLayer.lastLayer());
  gpu::commandTrace().start();
  auto b = buffer();
  subLayer.encode(*canvas, *b);
  EXPECT_TRUE(gpu::commandTrace().dispatches().empty());
}

TEST_F(TexturePasses, OneShotResetRestoresThePassesSettings) {
  const auto first = texture(8, 8), other = texture(12, 4);
  TextureReset2D reset;
  reset.setTexture(first);
  reset.setOffset({3, 0, 0});
  gpu::commandTrace().start();
  auto b = buffer();
  reset.encode(*canvas, *b, other, {1, 1, 0});
  EXPECT_EQ(reset.texture(), first);
  EXPECT_EQ(reset.offset(), (gpu::uint3{3, 0, 0}));
  reset.encode(*canvas, *b);
  const auto d = gpu::commandTrace().dispatches();
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].textures.at(4), other);
  EXPECT_EQ(d[0].buffers.at(0).bytes, offsetBytes(1, 1, 0));
  EXPECT_EQ(d[1].textures.at(4), first);
  EXPECT_EQ(d[1].buffers.at(0).bytes, offsetBytes(3, 0, 0));
  EXPECT_EQ(d[1].threadgroupsPerGrid, (gpu::Size{2, 2, 1}));
}

TEST_F(TexturePasses, ResetsAndDropPassesStopWhereTheyMust) {
  TextureReset2D reset;
  EXPECT_FATAL(reset.encode(*canvas, *buffer()), "The 2-D reset pass has no texture to clear");
  // The drop passes find their colour and samples on the current tool's drop surface.
  MacAddSphere sphere;
  EXPECT_EQ(sphere.shaderName(), "mac_add_sphere");
  EXPECT_FATAL(sphere.encode(*canvas, *buffer()), "mac_add_sphere: the current tool has no drop surface");
  SprayerEncoder sprayer;
  EXPECT_EQ(sprayer.shaderName(), "DAESprayer_paint");
  EXPECT_FATAL(sprayer.encode(*canvas, *buffer()), "DAESprayer_paint: the current tool has no drop surface");
}

TEST_F(TexturePasses, PassesWithTheLibrarysKernelsReachPartialGroups) {
  const auto layer = texture(102, 37);
  const gpu::TexelView v = layer->texels();
  for (std::size_t y = 0; y < 37; ++y)
    for (std::size_t x = 0; x < 102; ++x) v.texel(x, y)[3] = 200;
  TextureReset2D reset;
  reset.setTexture(layer);
  auto b = buffer();
  reset.encode(*canvas, *b);
  b->commit();
  std::size_t left = 0;
  for (std::size_t y = 0; y < 37; ++y)
    for (std::size_t x = 0; x < 102; ++x) left += v.texel(x, y)[3] != 0;
  EXPECT_EQ(left, 0u);
}

TEST_F(TexturePasses, AResetWithoutAnOffsetBindsTheSurfacesOffset) {
  const auto t = texture(4, 4);
  TextureReset reset(t);
  EXPECT_FALSE(reset.offset().has_value());
  const auto d = dispatchesOf(reset);
  EXPECT_EQ(d[0].buffers.at(0).buffer, surface().offsetBuffer());
}

}  // namespace

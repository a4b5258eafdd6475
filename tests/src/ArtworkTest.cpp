#include "Artwork.h"

#include <gtest/gtest.h>

#include "TwoThreads.h"
#include "ui/InterfaceOrientation.h"
#include "ui/Screen.h"

namespace {

using namespace tessivarium;

std::shared_ptr<Surface> flat() { return Surface::FindSurface(SurfaceId::Flat); }

void useScreen(double width, double height) {
  ui::Screen::resetMain();
  ui::Screen::setMainNativeSize({width, height}, 2.0);
  resetArtworkPresetsForTesting();
}

TEST(Artwork, OrientationDecidesWhichSideIsTheWidth) {
  Artwork landscape("a", 100, 300, flat());
  EXPECT_EQ(landscape.width(), 300);
  EXPECT_EQ(landscape.height(), 100);
  Artwork portrait("b", 100, 300, flat(), PaintOrientation::portail);
  EXPECT_EQ(portrait.width(), 100);
  EXPECT_EQ(portrait.height(), 300);
  Artwork square("c", 200, 200, flat(), PaintOrientation::portail, 2.0);
  EXPECT_EQ(square.width(), 200);
  EXPECT_EQ(square.height(), 200);
  EXPECT_EQ(square.scale(), 2.0);
  for (const auto* a : {&landscape, &portrait, &square}) EXPECT_EQ(a->depth(), 1);
}

TEST(Artwork, FactoriesNameAndSizeTheirArtworks) {
  useScreen(1125, 2436);
  struct Case {
    std::shared_ptr<Artwork> (*factory)(std::shared_ptr<Surface>, PaintOrientation, double);
    const char* name;
    std::int64_t width, height;
  } cases[] = {
      {Artwork::create4K, "4K", 4096, 2160},
      {Artwork::create2K, "2K", 2048, 1080},
      {Artwork::createA4, "A4", 3508, 2480},
      {Artwork::createA3, "A3", 7016, 4960},
      {Artwork::create1080P, "1080P", 1920, 1080},
      {Artwork::create720P, "720P", 1280, 720},
      // Each ratio is first held by the screen's height (2436 across) and then by its width of
      // 1125: 1125 / 0.5625, 1125 / 0.8 = 1406.25 (cut) and 1125 / (5 / 6) across.
      {Artwork::create9_16, "9/16 Size", 2000, 1125},
      {Artwork::create4_5, "4/5 Size", 1406, 1125},
      {Artwork::create5_6, "5/6 Size", 1350, 1125},
      {Artwork::createScreenSize, "Screen Size", 2436, 1125},
      {Artwork::createHalfScreenSize, "Half Screen Size", 1218, 562},
      {Artwork::createSquare, "Square", 1125, 1125},
      {Artwork::createHalfSquare, "Half Square", 562, 562},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto art = c.factory(flat(), PaintOrientation::landscape, 1.5);
    EXPECT_EQ(art->name(), c.name);
    EXPECT_EQ(art->width(), c.width);
    EXPECT_EQ(art->height(), c.height);
    EXPECT_EQ(art->scale(), 1.5);
    const auto portrait = c.factory(flat(), PaintOrientation::portail, 1.0);
    EXPECT_EQ(portrait->width(), c.height);
    EXPECT_EQ(portrait->height(), c.width);
  }
  // The defaults: landscape at scale 1.
  const auto a4 = Artwork::createA4(flat());
  EXPECT_EQ(a4->orientation(), PaintOrientation::landscape);
  EXPECT_EQ(a4->scale(), 1.0);
}

TEST(Artwork, PresetsAreComputedOnceWhenFirstUsedFromTwoThreads) {
  useScreen(1125, 2436);
  for (int round = 0; round < 20; ++round) {
    resetArtworkPresetsForTesting();
    const ArtworkPreset* seen[2] = {};
    const auto raised = testsupport::runReleasedTogether([&] { seen[0] = &Artwork_HALF_SCREEN(); },
                                                         [&] { seen[1] = &Artwork_HALF_SCREEN(); });
    ASSERT_EQ(raised, (std::vector<std::string>{"", ""}));
    ASSERT_EQ(seen[0], seen[1]);
    ASSERT_EQ(*seen[0], (ArtworkPreset{562, 1218}));
  }
}

struct RatioCase {
  double ratio;
  ArtworkPreset expected;
};

TEST(Artwork, RatioPresetsFitTheScreenTurnedSideways) {
  useScreen(2048, 2732);
  for (const auto& c : {RatioCase{0.5625, {2732, 1536}}, RatioCase{0.8, {2560, 2048}},
                        RatioCase{5.0 / 6.0, {2457, 2048}}}) {
    EXPECT_EQ(artworkSize(c.ratio), c.expected) << c.ratio;
  }
  EXPECT_EQ(Artwork_5_6(), (ArtworkPreset{2457, 2048}));
  EXPECT_EQ(Artwork::create5_6(flat())->name(), "5/6 Size");

  useScreen(1536, 2048);
  for (const auto& c : {RatioCase{0.5625, {2048, 1152}}, RatioCase{0.8, {1920, 1536}},
                        RatioCase{5.0 / 6.0, {1843, 1536}}}) {
    EXPECT_EQ(artworkSize(c.ratio), c.expected) << c.ratio;
  }
}

TEST(Artwork, ScreenPresetsAndTheirFactories) {
  useScreen(2048, 2732);
  EXPECT_EQ(Artwork_SCREEN(), (ArtworkPreset{2732, 2048}));
  EXPECT_EQ(Artwork_HALF_SCREEN(), (ArtworkPreset{1024, 1366}));
  EXPECT_EQ(Artwork_SQUARE_SCREEN(), (ArtworkPreset{2048, 2048}));
  EXPECT_EQ(Artwork_HALF_SQUARE_SCREEN(), (ArtworkPreset{1024, 1024}));
  const auto half = Artwork::createHalfScreenSize(flat());
  EXPECT_EQ(half->width(), 1366);
  EXPECT_EQ(half->height(), 1024);
  const auto screen = Artwork::createScreenSize(flat(), PaintOrientation::portail);
  EXPECT_EQ(screen->width(), 2048);
  EXPECT_EQ(screen->height(), 2732);

  useScreen(1125, 2436);
  EXPECT_EQ(Artwork_HALF_SQUARE_SCREEN(), (ArtworkPreset{562, 562}));
}

TEST(Artwork, PresetsAreFixedAtTheirFirstUse) {
  useScreen(1536, 2048);
  const auto first = Artwork_SCREEN();
  ui::Screen::resetMain();
  ui::Screen::setMainNativeSize({2048, 2732}, 2.0);
  EXPECT_EQ(Artwork_SCREEN(), first);
}

TEST(Artwork, OrientationMatchesTheInterface) {
  ui::setStatusBarOrientation(ui::InterfaceOrientation::Portrait);
  EXPECT_FALSE(isMatches(PaintOrientation::landscape));
  EXPECT_TRUE(isMatches(PaintOrientation::portail));
  ui::setStatusBarOrientation(ui::InterfaceOrientation::LandscapeRight);
  EXPECT_TRUE(isMatches(PaintOrientation::landscape));
  EXPECT_FALSE(isMatches(PaintOrientation::portail));
}

}  // namespace

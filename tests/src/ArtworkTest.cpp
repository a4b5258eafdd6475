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

TEST(Artwork, FixedPresetFactories) {
  const auto a4 = Artwork::createA4(flat());
  EXPECT_EQ(a4->name(), "A4");
  EXPECT_EQ(a4->width(), 3508);
  EXPECT_EQ(a4->height(), 2480);
  EXPECT_EQ(a4->orientation(), PaintOrientation::landscape);
  EXPECT_EQ(a4->scale(), 1.0);
  const auto a4p = Artwork::createA4(flat(), PaintOrientation::portail);
  EXPECT_EQ(a4p->width(), 2480);
  EXPECT_EQ(a4p->height(), 3508);
  EXPECT_EQ(Artwork::create4K(flat())->width(), 4096);
  EXPECT_EQ(Artwork::create720P(flat())->name(), "720P");
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

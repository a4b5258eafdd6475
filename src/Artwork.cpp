#include "Artwork.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "ui/InterfaceOrientation.h"
#include "ui/Screen.h"

namespace tessivarium {
namespace {

// The native bounds of the main screen: width never above height, whatever the rotation.
std::pair<double, double> nativeScreen() {
  const auto bounds = ui::Screen::main().nativeBounds();
  return {bounds.size.width, bounds.size.height};
}

// One preset slot: computed on first use, forgotten by the test reset.
struct PresetSlot {
  std::function<ArtworkPreset()> compute;
  std::optional<ArtworkPreset> value;

  const ArtworkPreset& get() {
    if (!value) value = compute();
    return *value;
  }
};

enum Preset { P4K, P2K, PA4, PA3, P1080, P720, P9_16, P4_5, P5_6, PScreen, PHalfScreen, PSquare, PHalfSquare, PCount };

double squareSide() {
  const auto [w, h] = nativeScreen();
  return std::min(std::trunc(w), std::trunc(h));
}

PresetSlot (&presetSlots())[PCount] {
  static PresetSlot slots[PCount] = {
      {[] { return ArtworkPreset{4096, 2160}; }, {}},
      {[] { return ArtworkPreset{2048, 1080}; }, {}},
      {[] { return ArtworkPreset{3508, 2480}; }, {}},
      {[] { return ArtworkPreset{7016, 4960}; }, {}},
      {[] { return ArtworkPreset{1920, 1080}; }, {}},
      {[] { return ArtworkPreset{1280, 720}; }, {}},
      {[] { return artworkSize(0.5625); }, {}},
      {[] { return artworkSize(0.8); }, {}},
      {[] { return artworkSize(5.0 / 6.0); }, {}},
      {[] {
         const auto [w, h] = nativeScreen();
         return ArtworkPreset{std::trunc(h), std::trunc(w)};
       }, {}},
      {[] {
         const auto [w, h] = nativeScreen();
         return ArtworkPreset{std::trunc(w / 2.0), std::trunc(h / 2.0)};
       }, {}},
      {[] {
         const double s = squareSide();
         return ArtworkPreset{s, s};
       }, {}},
      {[] {
         const auto half = static_cast<double>(static_cast<std::int64_t>(squareSide()) / 2);
         return ArtworkPreset{half, half};
       }, {}},
  };
  return slots;
}

std::shared_ptr<Artwork> fromPreset(const char* name, const ArtworkPreset& preset,
                                    std::shared_ptr<Surface> surface, PaintOrientation orientation,
                                    double scale) {
  return std::make_shared<Artwork>(name, static_cast<std::int64_t>(preset.first),
                                   static_cast<std::int64_t>(preset.second), std::move(surface),
                                   orientation, scale);
}

}  // namespace

Artwork::Artwork(std::string name, std::int64_t width, std::int64_t height,
                 std::shared_ptr<Surface> surface, PaintOrientation orientation, double scale)
    : name_(std::move(name)),
      width_(orientation == PaintOrientation::portail ? std::min(width, height) : std::max(width, height)),
      height_(orientation == PaintOrientation::portail ? std::max(width, height) : std::min(width, height)),
      surface_(std::move(surface)),
      scale_(scale),
      orientation_(orientation) {}

ArtworkPreset artworkSize(double ratio) {
  const auto [w, h] = nativeScreen();
  double longSide = std::max(w, h);
  double shortSide = longSide / ratio;
  if (h < shortSide) {
    shortSide = h;
    longSide = longSide * ratio;
  }
  if (w < longSide) {
    longSide = w;
    shortSide = w / ratio;
  }
  return {std::trunc(shortSide), std::trunc(longSide)};
}

const ArtworkPreset& Artwork_4K() { return presetSlots()[P4K].get(); }
const ArtworkPreset& Artwork_2K() { return presetSlots()[P2K].get(); }
const ArtworkPreset& Artwork_A4() { return presetSlots()[PA4].get(); }
const ArtworkPreset& Artwork_A3() { return presetSlots()[PA3].get(); }
const ArtworkPreset& Artwork_1080P() { return presetSlots()[P1080].get(); }
const ArtworkPreset& Artwork_720P() { return presetSlots()[P720].get(); }
const ArtworkPreset& Artwork_9_16() { return presetSlots()[P9_16].get(); }
const ArtworkPreset& Artwork_4_5() { return presetSlots()[P4_5].get(); }
const ArtworkPreset& Artwork_5_6() { return presetSlots()[P5_6].get(); }
const ArtworkPreset& Artwork_SCREEN() { return presetSlots()[PScreen].get(); }
const ArtworkPreset& Artwork_HALF_SCREEN() { return presetSlots()[PHalfScreen].get(); }
const ArtworkPreset& Artwork_SQUARE_SCREEN() { return presetSlots()[PSquare].get(); }
const ArtworkPreset& Artwork_HALF_SQUARE_SCREEN() { return presetSlots()[PHalfSquare].get(); }

void resetArtworkPresetsForTesting() {
  for (auto& slot : presetSlots()) slot.value.reset();
}

#define TESS_ARTWORK_FACTORY(factory, name, preset)                                          \
  std::shared_ptr<Artwork> Artwork::factory(std::shared_ptr<Surface> surface,                \
                                            PaintOrientation orientation, double scale) {    \
    return fromPreset(name, preset(), std::move(surface), orientation, scale);               \
  }
TESS_ARTWORK_FACTORY(create4K, "4K", Artwork_4K)
TESS_ARTWORK_FACTORY(create2K, "2K", Artwork_2K)
TESS_ARTWORK_FACTORY(createA4, "A4", Artwork_A4)
TESS_ARTWORK_FACTORY(createA3, "A3", Artwork_A3)
TESS_ARTWORK_FACTORY(create1080P, "1080P", Artwork_1080P)
TESS_ARTWORK_FACTORY(create720P, "720P", Artwork_720P)
TESS_ARTWORK_FACTORY(create9_16, "9/16 Size", Artwork_9_16)
TESS_ARTWORK_FACTORY(create4_5, "4/5 Size", Artwork_4_5)
TESS_ARTWORK_FACTORY(create5_6, "5/6 Size", Artwork_5_6)
TESS_ARTWORK_FACTORY(createScreenSize, "Screen Size", Artwork_SCREEN)
TESS_ARTWORK_FACTORY(createHalfScreenSize, "Half Screen Size", Artwork_HALF_SCREEN)
TESS_ARTWORK_FACTORY(createSquare, "Square", Artwork_SQUARE_SCREEN)
TESS_ARTWORK_FACTORY(createHalfSquare, "Half Square", Artwork_HALF_SQUARE_SCREEN)
#undef TESS_ARTWORK_FACTORY

bool isMatches(PaintOrientation orientation) {
  const bool landscape = ui::isLandscape(ui::statusBarOrientation());
  return orientation == PaintOrientation::landscape ? landscape : !landscape;
}

}  // namespace tessivarium

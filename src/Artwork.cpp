#include "Artwork.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "foundation/OnceValue.h"
#include "ui/InterfaceOrientation.h"
#include "ui/Screen.h"

namespace tessivarium {
namespace {

// The native bounds of the main screen: width never above height, whatever the rotation.
std::pair<double, double> nativeScreen() {
  const auto bounds = ui::Screen::main().nativeBounds();
  return {bounds.size.width, bounds.size.height};
}

// The slot of each preset, in list order.
enum PresetIndex {
#define TESS_ARTWORK_PRESET_INDEX(factory, label, preset) P_##preset,
  TESS_ARTWORK_PRESETS(TESS_ARTWORK_PRESET_INDEX)
#undef TESS_ARTWORK_PRESET_INDEX
  PCount
};

double squareSide() {
  const auto [w, h] = nativeScreen();
  return std::min(std::trunc(w), std::trunc(h));
}

using PresetComputation = ArtworkPreset (*)();

// How each preset is computed, in list order.
const std::array<PresetComputation, PCount>& presetComputations() {
  static const std::array<PresetComputation, PCount> computations = [] {
    std::array<PresetComputation, PCount> made{};
    made[P_Artwork_4K] = [] { return ArtworkPreset{4096, 2160}; };
    made[P_Artwork_2K] = [] { return ArtworkPreset{2048, 1080}; };
    made[P_Artwork_A4] = [] { return ArtworkPreset{3508, 2480}; };
    made[P_Artwork_A3] = [] { return ArtworkPreset{7016, 4960}; };
    made[P_Artwork_1080P] = [] { return ArtworkPreset{1920, 1080}; };
    made[P_Artwork_720P] = [] { return ArtworkPreset{1280, 720}; };
    made[P_Artwork_9_16] = [] { return artworkSize(0.5625); };
    made[P_Artwork_4_5] = [] { return artworkSize(0.8); };
    made[P_Artwork_5_6] = [] { return artworkSize(5.0 / 6.0); };
    // The screen presets: the long side first for the screen, the short side first for its half.
    made[P_Artwork_SCREEN] = [] {
      const auto [w, h] = nativeScreen();
      return ArtworkPreset{std::trunc(h), std::trunc(w)};
    };
    made[P_Artwork_HALF_SCREEN] = [] {
      const auto [w, h] = nativeScreen();
      return ArtworkPreset{std::trunc(w / 2.0), std::trunc(h / 2.0)};
    };
    made[P_Artwork_SQUARE_SCREEN] = [] {
      const double s = squareSide();
      return ArtworkPreset{s, s};
    };
    made[P_Artwork_HALF_SQUARE_SCREEN] = [] {
      const auto half = static_cast<double>(static_cast<std::int64_t>(squareSide()) / 2);
      return ArtworkPreset{half, half};
    };
    return made;
  }();
  return computations;
}

// Each preset's value: computed on first use, once even from two threads; forgotten by the test
// reset.
std::array<foundation::OnceValue<ArtworkPreset>, PCount>& presetValues() {
  static std::array<foundation::OnceValue<ArtworkPreset>, PCount> values;
  return values;
}

const ArtworkPreset& presetValue(PresetIndex index) {
  return presetValues()[index].get(presetComputations()[index]);
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

#define TESS_ARTWORK_PRESET(factory, label, preset) \
  const ArtworkPreset& preset() { return presetValue(P_##preset); }
TESS_ARTWORK_PRESETS(TESS_ARTWORK_PRESET)
#undef TESS_ARTWORK_PRESET

void resetArtworkPresetsForTesting() {
  for (auto& value : presetValues()) value.reset();
}

#define TESS_ARTWORK_FACTORY(factory, label, preset)                                      \
  std::shared_ptr<Artwork> Artwork::factory(std::shared_ptr<Surface> surface,               \
                                            PaintOrientation orientation, double scale) {   \
    return fromPreset(label, preset(), std::move(surface), orientation, scale);             \
  }
TESS_ARTWORK_PRESETS(TESS_ARTWORK_FACTORY)
#undef TESS_ARTWORK_FACTORY

bool isMatches(PaintOrientation orientation) {
  const bool landscape = ui::isLandscape(ui::statusBarOrientation());
  return orientation == PaintOrientation::landscape ? landscape : !landscape;
}

}  // namespace tessivarium

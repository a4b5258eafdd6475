#include "Artwork.h"

#include <algorithm>
#include <array>
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

std::array<PresetSlot, PCount>& presetSlots() {
  static std::array<PresetSlot, PCount> slots = [] {
    std::array<PresetSlot, PCount> made;
    auto fixed = [](double w, double h) { return [w, h] { return ArtworkPreset{w, h}; }; };
    made[P_Artwork_4K].compute = fixed(4096, 2160);
    made[P_Artwork_2K].compute = fixed(2048, 1080);
    made[P_Artwork_A4].compute = fixed(3508, 2480);
    made[P_Artwork_A3].compute = fixed(7016, 4960);
    made[P_Artwork_1080P].compute = fixed(1920, 1080);
    made[P_Artwork_720P].compute = fixed(1280, 720);
    made[P_Artwork_9_16].compute = [] { return artworkSize(0.5625); };
    made[P_Artwork_4_5].compute = [] { return artworkSize(0.8); };
    made[P_Artwork_5_6].compute = [] { return artworkSize(5.0 / 6.0); };
    // The screen presets: the long side first for the screen, the short side first for its half.
    made[P_Artwork_SCREEN].compute = [] {
      const auto [w, h] = nativeScreen();
      return ArtworkPreset{std::trunc(h), std::trunc(w)};
    };
    made[P_Artwork_HALF_SCREEN].compute = [] {
      const auto [w, h] = nativeScreen();
      return ArtworkPreset{std::trunc(w / 2.0), std::trunc(h / 2.0)};
    };
    made[P_Artwork_SQUARE_SCREEN].compute = [] {
      const double s = squareSide();
      return ArtworkPreset{s, s};
    };
    made[P_Artwork_HALF_SQUARE_SCREEN].compute = [] {
      const auto half = static_cast<double>(static_cast<std::int64_t>(squareSide()) / 2);
      return ArtworkPreset{half, half};
    };
    return made;
  }();
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

#define TESS_ARTWORK_PRESET(factory, label, preset) \
  const ArtworkPreset& preset() { return presetSlots()[P_##preset].get(); }
TESS_ARTWORK_PRESETS(TESS_ARTWORK_PRESET)
#undef TESS_ARTWORK_PRESET

void resetArtworkPresetsForTesting() {
  for (auto& slot : presetSlots()) slot.value.reset();
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

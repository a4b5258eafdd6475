#pragma once
// The artwork a canvas paints on (its name, size, surface, scale and orientation), the size presets
// the host picks from, and the working-region geometry every tool pass shares.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "Surface.h"
#include "gpu/Types.h"

namespace tessivarium {

// Half the side of the square working region a tool works in.
inline constexpr std::int64_t MAC_HALF_WIDTH = 128;
// Side of the working region, and of the shared 2-D working textures.
inline constexpr std::int64_t MAC_WIDTH = 2 * MAC_HALF_WIDTH;
// The depth every tool starts with.
inline constexpr std::int64_t MAC_DEPTH = 32;
// The border kept around the working region: the drop tools' extent and the window's margin.
inline constexpr double MAC_BORDER = static_cast<double>(MAC_DEPTH) * 2.3;
// The texel origin (0, 0, 0): both origins of a whole-texture copy, the default snapshot origin.
inline constexpr gpu::Origin ORIGIN0{0, 0, 0};
// The longest side of a canvas, in picture pixels and in data cells alike (the PNG reader's
// limit too); a canvas of any other size is refused when it is made.
inline constexpr std::int64_t MAX_CANVAS_SIDE = 16384;
// The default scale of an artwork.
inline constexpr double DefaultScale = 1.0;

// Pixel format of every layer and working texture (layer views draw in BGRA8 instead).
inline constexpr gpu::PixelFormat DefaultPixelFormat = gpu::PixelFormat::RGBA8Unorm;

// Which side of an artwork is the longer; `portail` is the host-visible spelling of portrait.
enum class PaintOrientation { landscape, portail };

// Whether the host's interface, as the status bar holds it, is of the same kind as `orientation`.
bool isMatches(PaintOrientation orientation);

// A (width, height) pair of doubles, as the presets hold them.
using ArtworkPreset = std::pair<double, double>;

// The size presets in the host's order: factory, artwork name, preset.
#define TESS_ARTWORK_PRESETS(X)                                  \
  X(create4K, "4K", Artwork_4K)                                  \
  X(create2K, "2K", Artwork_2K)                                  \
  X(createA4, "A4", Artwork_A4)                                  \
  X(createA3, "A3", Artwork_A3)                                  \
  X(create1080P, "1080P", Artwork_1080P)                         \
  X(create720P, "720P", Artwork_720P)                            \
  X(create9_16, "9/16 Size", Artwork_9_16)                       \
  X(create4_5, "4/5 Size", Artwork_4_5)                          \
  X(create5_6, "5/6 Size", Artwork_5_6)                          \
  X(createScreenSize, "Screen Size", Artwork_SCREEN)             \
  X(createHalfScreenSize, "Half Screen Size", Artwork_HALF_SCREEN) \
  X(createSquare, "Square", Artwork_SQUARE_SCREEN)               \
  X(createHalfSquare, "Half Square", Artwork_HALF_SQUARE_SCREEN)

class Artwork {
 public:
  // The sides may come in either order: a landscape artwork takes the longer as its width, a
  // portrait one the shorter.
  Artwork(std::string name, std::int64_t width, std::int64_t height, std::shared_ptr<Surface> surface,
          PaintOrientation orientation = PaintOrientation::landscape, double scale = DefaultScale);

  const std::string& name() const { return name_; }
  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  std::int64_t depth() const { return depth_; }
  const std::shared_ptr<Surface>& surface() const { return surface_; }
  void setSurface(std::shared_ptr<Surface> surface) { surface_ = std::move(surface); }
  double scale() const { return scale_; }
  PaintOrientation orientation() const { return orientation_; }

  // The host's factories, one per preset: each cuts the preset's sides toward zero and makes an
  // artwork of that name (see TESS_ARTWORK_PRESETS).
#define TESS_ARTWORK_FACTORY(factory, label, preset)                                        \
  static std::shared_ptr<Artwork> factory(std::shared_ptr<Surface> surface,                \
                                          PaintOrientation orientation = PaintOrientation::landscape, \
                                          double scale = DefaultScale);
  TESS_ARTWORK_PRESETS(TESS_ARTWORK_FACTORY)
#undef TESS_ARTWORK_FACTORY

 private:
  std::string name_;
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t depth_ = 1;
  std::shared_ptr<Surface> surface_;
  double scale_;
  PaintOrientation orientation_;
};

// The largest size of height / width = `ratio` that fits the main screen turned sideways, cut to
// whole pixels.
ArtworkPreset artworkSize(double ratio);

// The presets, each computed on its first use (the screen ones from the main screen's native
// bounds at that moment) and fixed afterwards.
#define TESS_ARTWORK_PRESET(factory, label, preset) const ArtworkPreset& preset();
TESS_ARTWORK_PRESETS(TESS_ARTWORK_PRESET)
#undef TESS_ARTWORK_PRESET

// Forgets the computed presets, so the next use reads the screen again (tests only).
void resetArtworkPresetsForTesting();

}  // namespace tessivarium

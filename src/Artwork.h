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

  // The host's factories, one per preset: each cuts the preset's sides toward zero.
  static std::shared_ptr<Artwork> create4K(std::shared_ptr<Surface> surface,
                                           PaintOrientation orientation = PaintOrientation::landscape,
                                           double scale = DefaultScale);
  static std::shared_ptr<Artwork> create2K(std::shared_ptr<Surface> surface,
                                           PaintOrientation orientation = PaintOrientation::landscape,
                                           double scale = DefaultScale);
  static std::shared_ptr<Artwork> createA4(std::shared_ptr<Surface> surface,
                                           PaintOrientation orientation = PaintOrientation::landscape,
                                           double scale = DefaultScale);
  static std::shared_ptr<Artwork> createA3(std::shared_ptr<Surface> surface,
                                           PaintOrientation orientation = PaintOrientation::landscape,
                                           double scale = DefaultScale);
  static std::shared_ptr<Artwork> create1080P(std::shared_ptr<Surface> surface,
                                              PaintOrientation orientation = PaintOrientation::landscape,
                                              double scale = DefaultScale);
  static std::shared_ptr<Artwork> create720P(std::shared_ptr<Surface> surface,
                                             PaintOrientation orientation = PaintOrientation::landscape,
                                             double scale = DefaultScale);
  static std::shared_ptr<Artwork> create9_16(std::shared_ptr<Surface> surface,
                                             PaintOrientation orientation = PaintOrientation::landscape,
                                             double scale = DefaultScale);
  static std::shared_ptr<Artwork> create4_5(std::shared_ptr<Surface> surface,
                                            PaintOrientation orientation = PaintOrientation::landscape,
                                            double scale = DefaultScale);
  static std::shared_ptr<Artwork> create5_6(std::shared_ptr<Surface> surface,
                                            PaintOrientation orientation = PaintOrientation::landscape,
                                            double scale = DefaultScale);
  static std::shared_ptr<Artwork> createScreenSize(std::shared_ptr<Surface> surface,
                                                   PaintOrientation orientation = PaintOrientation::landscape,
                                                   double scale = DefaultScale);
  static std::shared_ptr<Artwork> createHalfScreenSize(
      std::shared_ptr<Surface> surface, PaintOrientation orientation = PaintOrientation::landscape,
      double scale = DefaultScale);
  static std::shared_ptr<Artwork> createSquare(std::shared_ptr<Surface> surface,
                                               PaintOrientation orientation = PaintOrientation::landscape,
                                               double scale = DefaultScale);
  static std::shared_ptr<Artwork> createHalfSquare(std::shared_ptr<Surface> surface,
                                                   PaintOrientation orientation = PaintOrientation::landscape,
                                                   double scale = DefaultScale);

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
const ArtworkPreset& Artwork_4K();
const ArtworkPreset& Artwork_2K();
const ArtworkPreset& Artwork_A4();
const ArtworkPreset& Artwork_A3();
const ArtworkPreset& Artwork_1080P();
const ArtworkPreset& Artwork_720P();
const ArtworkPreset& Artwork_9_16();
const ArtworkPreset& Artwork_4_5();
const ArtworkPreset& Artwork_5_6();
const ArtworkPreset& Artwork_SCREEN();
const ArtworkPreset& Artwork_HALF_SCREEN();
const ArtworkPreset& Artwork_SQUARE_SCREEN();
const ArtworkPreset& Artwork_HALF_SQUARE_SCREEN();

// Forgets the computed presets, so the next use reads the screen again (tests only).
void resetArtworkPresetsForTesting();

}  // namespace tessivarium

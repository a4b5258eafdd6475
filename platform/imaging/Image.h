#pragma once
// Images of the image-filter graph: immutable, lazy nodes. An image has an extent (possibly
// infinite) and can be sampled at any point; nothing is computed until a context renders it,
// and then each output texel pulls what it needs through the graph, so a filter can read its
// inputs anywhere (a neighbour, a displaced point) without intermediate buffers.
//
// Coordinates: image space is a plane with y upwards. An image over a texture has texel (i, j)
// over [i, i + 1) x [j, j + 1), so texture row r is image y = r; an image made from a graphics
// image has its top row at the top, bitmap row 0 over image y = h - 1. Sampled images (textures,
// bitmaps) interpolate bilinearly between texel centres.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "graphics/AffineTransform.h"
#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "graphics/Image.h"
#include "imaging/Bounds.h"
#include "imaging/FilterValue.h"
#include "imaging/RGBA.h"

namespace gpu {
class Texture;
}

namespace imaging {

class Image;
class RenderTables;
using ImagePtr = std::shared_ptr<const Image>;

// Points to sample. unitRow says that they run along a row one unit apart, points[k] =
// points[0] + (k, 0): renders sample such runs, nodes that keep them pass the mark on, and
// sources read them faster. `tables` (may be null) is what the render made ready for its batches
// (RenderTables.h); nodes pass it on with the batches they sample their inputs at.
struct Batch {
  const graphics::Point* points;
  std::size_t count;
  bool unitRow = false;
  const RenderTables* tables = nullptr;
};

class Image : public std::enable_shared_from_this<Image> {
 public:
  // The largest number of points one call of sampleBatch is given.
  static constexpr std::size_t kBatch = 64;

  virtual ~Image() = default;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  // An image over level 0 of the 2-D texture, read when rendered (no copy); null for a null
  // texture or a 3-D one.
  static ImagePtr fromTexture(std::shared_ptr<gpu::Texture> texture);
  // An image of the graphics image's pixels, extent (0, 0, pixel width, pixel height); null for
  // a null image.
  static ImagePtr fromGraphicsImage(const std::shared_ptr<graphics::Image>& image);
  // An endless image of one colour; grey is spread to red, green and blue. Colours of other
  // spaces stop fatally.
  static ImagePtr constantColor(const graphics::Color& color);

  const graphics::Rect& extent() const { return extent_; }
  // True when the point lies in the extent (half-open edges).
  bool inExtent(const graphics::Point& p) const { return bounds_.contains(p); }

  // This image moved through the transform; a singular transform stops fatally.
  ImagePtr transformed(const graphics::AffineTransform& transform) const;
  // This image limited to the rectangle (its extent becomes the common part).
  ImagePtr cropped(const graphics::Rect& rect) const;
  // The output of the filter of that name with this image as "inputImage" and the other inputs
  // given; null when there is no such filter or it yields no image.
  ImagePtr applyingFilter(std::string_view name, const FilterInputs& inputs = {}) const;

  // The image's values at the batch's points (any number).
  void sample(const Batch& batch, RGBA* out) const;
  void sample(const graphics::Point* points, std::size_t count, RGBA* out) const {
    sample(Batch{points, count, false}, out);
  }
  RGBA sample(graphics::Point point) const;

  // The values at the texel centres (i + k + 0.5, j + 0.5), k < count, exactly as sampling them
  // gives, for images that read them straight from a grid of texels (a texture, a crop of one):
  // the rows a filter reads around a run of texel centres, without a point for each. False, with
  // nothing written, for every other image.
  virtual bool sampleTexelRun(std::int64_t i, std::int64_t j, std::size_t count, RGBA* out) const;
  // Called once by a render before it samples the image, on the rendering thread: a node makes
  // ready in `tables` what its batches can then use, and passes the call on to its inputs. The
  // default makes nothing ready.
  virtual void prepare(RenderTables& tables) const;
  // The same for an image its user samples at scattered points, about as many as the render's.
  virtual void prepareLookups(RenderTables& tables) const { prepare(tables); }

  // The stored bytes of those texels, for images that show an RGBA8 texture's texels as they are (a
  // texture, a crop of one) when the whole run lies inside: sampleTexelRun's values are these bytes
  // decoded (fromUnorm8). Null for every other image or run.
  virtual const std::uint8_t* texelRunBytes(std::int64_t i, std::int64_t j, std::size_t count) const;

 protected:
  explicit Image(const graphics::Rect& extent) : extent_(extent), bounds_(extent) {}
  ImagePtr self() const { return shared_from_this(); }
  // Sets the values of the batch's points outside the extent to transparent black.
  void clearOutside(const Batch& batch, RGBA* out) const;
  // Samples at most kBatch points; points outside the extent must give transparent black.
  virtual void sampleBatch(const Batch& batch, RGBA* out) const = 0;

 private:
  graphics::Rect extent_;
  Bounds bounds_;
};

// Room for one batch of points or values, left unset: zeroing kilobytes for every batch of every
// node cost more than some nodes' work, and each node writes every entry it later reads.
template <class T, std::size_t N = Image::kBatch>
struct BatchBuffer {
  BatchBuffer() {}  // NOLINT: deliberately leaves the entries unset
  union {
    T items[N];
  };
  operator T*() { return items; }  // NOLINT: implicit, so a buffer passes where an array did
};

}  // namespace imaging

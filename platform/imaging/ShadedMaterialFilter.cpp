#include "ShadedMaterialFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gpu/Unorm8.h"
#include "imaging/RenderTables.h"

namespace imaging {
namespace {

// The centres of a finite extent's edge texels along one axis, as [low, high]; the whole line for
// an endless extent.
void edgeTexelCentres(double min, double size, bool infinite, double& low, double& high) {
  if (infinite) {
    low = -std::numeric_limits<double>::infinity();
    high = std::numeric_limits<double>::infinity();
    return;
  }
  const double inset = std::min(0.5, size / 2);
  low = min + inset;
  high = min + size - inset;
}

}  // namespace

ShadedMaterialFilter::ShadedMaterialFilter() : Filter(std::string(kName)) {
  declareInput(std::string(kInputImageKey), InputKind::Image);
  declareInput(std::string(kInputShadingImageKey), InputKind::Image);
  declareInput(std::string(kInputScaleKey), InputKind::Number, kDefaultScale);
}

ImagePtr ShadedMaterialFilter::outputImage() {
  auto height = imageInput(kInputImageKey);
  auto shading = imageInput(kInputShadingImageKey);
  if (!height || !shading) return nullptr;
  return std::make_shared<ShadedMaterialImage>(std::move(height), std::move(shading),
                                               numberInput(kInputScaleKey).value_or(kDefaultScale));
}

// The shading image is looked up about its centre, half its size per unit of normal; an endless
// shading image (one colour, in practice) is looked up about the origin, one unit per unit.
ShadedMaterialImage::ShadedMaterialImage(ImagePtr height, ImagePtr shading, double scale)
    : Image(height->extent()),
      height_(std::move(height)),
      shading_(std::move(shading)),
      scale_(static_cast<float>(scale)) {
  const graphics::Rect& s = shading_->extent();
  if (s.isInfinite() || s.isEmpty()) {
    centreX_ = centreY_ = 0.0;
    halfWidth_ = halfHeight_ = 1.0;
    minX_ = minY_ = -1.0;
    maxX_ = maxY_ = 1.0;
  } else {
    centreX_ = s.midX();
    centreY_ = s.midY();
    halfWidth_ = s.width() / 2;
    halfHeight_ = s.height() / 2;
    // Texel centres at the edges, so that a grazing normal still finds the rim's colour.
    edgeTexelCentres(s.minX(), s.width(), false, minX_, maxX_);
    edgeTexelCentres(s.minY(), s.height(), false, minY_, maxY_);
  }
  // The height differences stay within the height image's edge texel centres too: beyond its edge
  // it is transparent, so a point near the edge would otherwise see a cliff there that the paint
  // does not have (and two regions composed side by side would disagree along their seam).
  const graphics::Rect& h = height_->extent();
  edgeTexelCentres(h.minX(), h.width(), h.isInfinite(), heightMinX_, heightMaxX_);
  edgeTexelCentres(h.minY(), h.height(), h.isInfinite(), heightMinY_, heightMaxY_);
}

void ShadedMaterialImage::prepare(RenderTables& tables) const {
  height_->prepare(tables);
  shading_->prepareLookups(tables);
}

// The height of a value is its luminance (Rec. 709 weights) times its alpha, so transparent
// parts lie at height 0.
inline float heightOf(const RGBA& v) { return (0.2126f * v.r + 0.7152f * v.g + 0.0722f * v.b) * v.a; }

// heightOf(fromUnorm8(t, false)) of n RGBA8 texels: the decoding and the weighted sum in the same
// steps, four texels at a time with each channel in its own vector.
void heightsOfBytes(const std::uint8_t* t, std::size_t n, float* out) {
  std::size_t k = 0;
#if defined(__SSE2__)
  for (; k + 4 <= n; k += 4) {
    const __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 4 * k));
    const __m128 r = gpu::unorm8Channel(texels, 0), g = gpu::unorm8Channel(texels, 8);
    const __m128 b = gpu::unorm8Channel(texels, 16), a = gpu::unorm8Channel(texels, 24);
    const __m128 luminance = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.2126f), r), _mm_mul_ps(_mm_set1_ps(0.7152f), g)),
                                        _mm_mul_ps(_mm_set1_ps(0.0722f), b));
    _mm_storeu_ps(out + k, _mm_mul_ps(luminance, a));
  }
#endif
  for (; k < n; ++k) out[k] = heightOf(fromUnorm8(t + 4 * k, false));
}

bool ShadedMaterialImage::movedPoints(const Batch& batch, double dx, double dy, graphics::Point* moved) const {
  bool clampedAcross = false;  // a run along a row stays one only where no point was moved back
  const std::size_t count = batch.count;
  const graphics::Point* points = batch.points;
  if (batch.unitRow && count > 0 && points[0].x + dx >= heightMinX_ &&
      points[count - 1].x + dx <= heightMaxX_) {
    // A row's x only grows along it, so with both ends inside no point is clamped across, and
    // its y is the same throughout.
    const double y = std::clamp(points[0].y + dy, heightMinY_, heightMaxY_);
    for (std::size_t k = 0; k < count; ++k) moved[k] = {points[k].x + dx, y};
  } else {
    for (std::size_t k = 0; k < count; ++k) {
      const double x = points[k].x + dx;
      moved[k] = {std::clamp(x, heightMinX_, heightMaxX_), std::clamp(points[k].y + dy, heightMinY_, heightMaxY_)};
      clampedAcross = clampedAcross || moved[k].x != x;
    }
  }
  return batch.unitRow && !clampedAcross;
}

void ShadedMaterialImage::heightsAt(const Batch& moved, float* heights) const {
  BatchBuffer<RGBA> values;
  height_->sample(moved, values);
  for (std::size_t k = 0; k < moved.count; ++k) heights[k] = heightOf(values[k]);
}

void ShadedMaterialImage::accumulateHeights(const Batch& batch, double dx, double dy, float sign,
                                            float* sum) const {
  BatchBuffer<graphics::Point> moved;
  float heights[kBatch];
  const bool unitRow = movedPoints(batch, dx, dy, moved);
  heightsAt({moved, batch.count, unitRow, batch.tables}, heights);
  // Signs of 1 and -1 on sums from 0 leave exactly h(p + d) - h(p - d), as rowDifferences forms it.
  for (std::size_t k = 0; k < batch.count; ++k) sum[k] += sign * heights[k];
}

namespace {

// The heights a thread read for the points one above a batch of a render: the batch of the next
// row down, whose points one below are the same points (a picture at half its data's
// resolution samples rows two apart), reads them again instead of sampling them once more. A
// render's tables number it, so heights of another render, or of another node, never match.
struct HeightsAbove {
  std::uint64_t render = 0;
  const Image* node = nullptr;
  bool unitRow = false;
  std::size_t count = 0;
  graphics::Point points[Image::kBatch];
  float heights[Image::kBatch];

  bool holds(std::uint64_t r, const Image* n, const Batch& moved) const {
    return render == r && node == n && unitRow == moved.unitRow && count == moved.count &&
           std::equal(moved.points, moved.points + moved.count, points,
                      [](const graphics::Point& a, const graphics::Point& b) { return a.x == b.x && a.y == b.y; });
  }
};

// The last entries of one kind a thread made, the oldest given up for a new one. A row of a composed
// region is one to four batches, for each of a render's two shaded nodes (the wet and the dry relief).
template <class Entry, std::size_t N>
struct RecentEntries {
  Entry entries[N];
  std::size_t next = 0;

  template <class Matches>
  Entry* find(Matches matches) {
    for (Entry& e : entries) {
      if (matches(e)) return &e;
    }
    return nullptr;
  }
  Entry& replaced() { return entries[next++ % N]; }
};

thread_local RecentEntries<HeightsAbove, 8> heightsAbove;

}  // namespace

void ShadedMaterialImage::differencesAcrossRows(const Batch& batch, float* gy) const {
  const std::size_t count = batch.count;
  BatchBuffer<graphics::Point> up, down;
  float above[kBatch], below[kBatch];
  const Batch movedUp{up, count, movedPoints(batch, 0.0, 1.0, up), batch.tables};
  const Batch movedDown{down, count, movedPoints(batch, 0.0, -1.0, down), batch.tables};
  const std::uint64_t render = batch.tables ? batch.tables->serial() : 0;
  const auto readBefore = [&](const HeightsAbove& b) { return b.holds(render, this, movedDown); };
  if (const HeightsAbove* read = render != 0 ? heightsAbove.find(readBefore) : nullptr) {
    std::copy(read->heights, read->heights + count, below);
  } else {
    heightsAt(movedDown, below);
  }
  heightsAt(movedUp, above);
  if (render != 0) {
    HeightsAbove& last = heightsAbove.replaced();
    last.render = render;
    last.node = this;
    last.unitRow = movedUp.unitRow;
    last.count = count;
    std::copy(up.items, up.items + count, last.points);
    std::copy(above, above + count, last.heights);
  }
  // The sums accumulateHeights forms: 0 + h(p + (0, 1)), then that - h(p - (0, 1)).
  for (std::size_t k = 0; k < count; ++k) {
    gy[k] = 0.0f;
    gy[k] += 1.0f * above[k];
    gy[k] += -1.0f * below[k];
  }
}

namespace {

// The heights of the last three rows a thread decoded for a run of texels (from one left of a
// batch to one right of it): the run one row up needs two of them again.
struct RunRows {
  std::uint64_t render = 0;
  const Image* node = nullptr;
  std::int64_t first = 0;
  std::size_t count = 0;
  std::int64_t rows[3] = {-1, -1, -1};
  float values[3][Image::kBatch + 2];

  // A render's tables number it, so rows of another render never match; a run outside a render
  // (serial 0) is decoded afresh.
  bool holds(std::uint64_t r, const Image* n, std::int64_t f, std::size_t c) const {
    return r != 0 && render == r && node == n && first == f && count == c;
  }
  void reset(std::uint64_t r, const Image* n, std::int64_t f, std::size_t c) {
    render = r, node = n, first = f, count = c;
    rows[0] = rows[1] = rows[2] = -1;
  }

  // The heights of rows `wanted` (below, at and above a run, as many as they are), each from its
  // bytes where it is not kept yet, in the place of a kept row that is not wanted.
  void heights(const std::int64_t (&wanted)[3], const std::uint8_t* const (&bytes)[3], std::size_t n,
               const float* (&out)[3]) {
    const auto kept = [&](std::int64_t row) { return std::find(rows, rows + 3, row) - rows; };
    const auto isWanted = [&](std::int64_t row) { return std::find(wanted, wanted + 3, row) != wanted + 3; };
    for (int w = 0; w < 3; ++w) {
      if (kept(wanted[w]) < 3) continue;
      const std::ptrdiff_t slot = std::find_if_not(rows, rows + 3, isWanted) - rows;
      rows[slot] = wanted[w];
      heightsOfBytes(bytes[w], n, values[slot]);
    }
    for (int w = 0; w < 3; ++w) out[w] = values[kept(wanted[w])];
  }
};

thread_local RecentEntries<RunRows, 16> runRows;

}  // namespace

bool ShadedMaterialImage::rowDifferences(const Batch& batch, float* gx, float* gy) const {
  const std::size_t count = batch.count;
  const graphics::Point* points = batch.points;
  // A run of texel centres (as the height image's own texture reads a unit row from a centre on)
  // whose points one left and one right stay inside the edge texel centres.
  if (!batch.unitRow || count == 0 || points[0].x - 1.0 < heightMinX_ || points[count - 1].x + 1.0 > heightMaxX_)
    return false;
  const auto centreIndex = [](double v, std::int64_t& index) {
    const double f = v - 0.5;
    if (!(f >= -1e15 && f <= 1e15) || f != std::floor(f)) return false;
    index = static_cast<std::int64_t>(f);
    return true;
  };
  // The rows the four moved batches read: the run's own row, and the rows above and below, each
  // kept within the edge texel centres as theirs are.
  std::int64_t i = 0, row = 0, up = 0, down = 0;
  if (!centreIndex(points[0].x, i) || !centreIndex(std::clamp(points[0].y, heightMinY_, heightMaxY_), row) ||
      !centreIndex(std::clamp(points[0].y + 1.0, heightMinY_, heightMaxY_), up) ||
      !centreIndex(std::clamp(points[0].y - 1.0, heightMinY_, heightMaxY_), down))
    return false;
  // Each height read once from its texel instead of up to four times through moved points: the
  // run's row from one left of it to one right of it serves both x differences.
  const std::uint8_t* centreBytes = height_->texelRunBytes(i - 1, row, count + 2);
  const std::uint8_t* aboveBytes = height_->texelRunBytes(i - 1, up, count + 2);
  const std::uint8_t* belowBytes = height_->texelRunBytes(i - 1, down, count + 2);
  if (centreBytes && aboveBytes && belowBytes) {
    // An RGBA8 height image: the heights straight from its bytes, each row's decoded once by this
    // thread for the runs of the rows below, at and above it.
    const std::uint64_t render = batch.tables ? batch.tables->serial() : 0;
    RunRows* rows = runRows.find([&](const RunRows& r) { return r.holds(render, this, i, count); });
    if (!rows) {
      rows = &runRows.replaced();
      rows->reset(render, this, i, count);
    }
    const float* heights[3];
    rows->heights({down, row, up}, {belowBytes, centreBytes, aboveBytes}, count + 2, heights);
    const float *b = heights[0], *c = heights[1], *a = heights[2];
    for (std::size_t k = 0; k < count; ++k) {
      gx[k] = c[k + 2] - c[k];
      gy[k] = a[k + 1] - b[k + 1];
    }
    return true;
  }
  BatchBuffer<RGBA, kBatch + 2> values;
  float centre[kBatch + 2], above[kBatch];
  if (!height_->sampleTexelRun(i - 1, row, count + 2, values)) return false;
  for (std::size_t k = 0; k < count + 2; ++k) centre[k] = heightOf(values[k]);
  height_->sampleTexelRun(i, up, count, values);
  for (std::size_t k = 0; k < count; ++k) above[k] = heightOf(values[k]);
  height_->sampleTexelRun(i, down, count, values);
  for (std::size_t k = 0; k < count; ++k) {
    gx[k] = centre[k + 2] - centre[k];
    gy[k] = above[k] - heightOf(values[k]);
  }
  return true;
}

bool ShadedMaterialImage::pairedDifferencesAcross(const Batch& batch, float* gx) const {
  const std::size_t count = batch.count;
  const graphics::Point* points = batch.points;
  // Points two apart along a row: each point's right neighbour is the next point's left one.
  if (count < 2) return false;
  for (std::size_t k = 0; k + 1 < count; ++k) {
    if (points[k + 1].y != points[0].y || points[k].x + 1.0 != points[k + 1].x - 1.0) return false;
  }
  // The neighbours from the first's left to the last's right, kept inside as accumulateHeights keeps
  // them; the same points it moves to, each once.
  BatchBuffer<graphics::Point, kBatch + 1> moved;
  BatchBuffer<RGBA, kBatch + 1> values;
  const double y = std::clamp(points[0].y + 0.0, heightMinY_, heightMaxY_);
  for (std::size_t k = 0; k < count; ++k) moved[k] = {std::clamp(points[k].x - 1.0, heightMinX_, heightMaxX_), y};
  moved[count] = {std::clamp(points[count - 1].x + 1.0, heightMinX_, heightMaxX_), y};
  height_->sample({moved, count + 1, false, batch.tables}, values);
  // The sums accumulateHeights forms: 0 + h(p + 1), then that - h(p - 1).
  for (std::size_t k = 0; k < count; ++k) {
    gx[k] = 0.0f;
    gx[k] += 1.0f * heightOf(values[k + 1]);
    gx[k] += -1.0f * heightOf(values[k]);
  }
  return true;
}

// At each point p of the input's extent, with h the height field above:
//   gx = scale (h(p + (1, 0)) - h(p - (1, 0))) / 2,  gy = scale (h(p + (0, 1)) - h(p - (0, 1))) / 2
//   (central differences, each point kept within the height image's edge texel centres), the
//   surface normal n = (-gx, -gy, 1) / |(-gx, -gy, 1)|,
//   and the value is the shading image's at (centre x + n.x half width, centre y + n.y half
//   height), kept within its edge texels' centres. A flat surface shows the shading image's
//   centre; a slope rising towards -x shows the part right of the centre.
void ShadedMaterialImage::sampleBatch(const Batch& batch, RGBA* out) const {
  const std::size_t count = batch.count;
  float gx[kBatch], gy[kBatch];
  if (!rowDifferences(batch, gx, gy)) {
    if (batch.unitRow || !pairedDifferencesAcross(batch, gx)) {
      std::fill_n(gx, count, 0.0f);
      accumulateHeights(batch, 1.0, 0.0, 1.0f, gx);
      accumulateHeights(batch, -1.0, 0.0, -1.0f, gx);
    }
    differencesAcrossRows(batch, gy);
  }

  BatchBuffer<graphics::Point> lookups;
  std::size_t k = 0;
#if defined(__SSE2__)
  // Four normals at once, each lane the scalar steps below in their order (a square root and
  // divisions are exact in either form).
  const auto clamp = [](__m128d v, double low, double high) {
    const __m128d lo = _mm_set1_pd(low), hi = _mm_set1_pd(high);
    const __m128d below = _mm_cmplt_pd(v, lo), above = _mm_cmplt_pd(hi, v);
    const __m128d kept = _mm_or_pd(_mm_and_pd(above, hi), _mm_andnot_pd(above, v));
    return _mm_or_pd(_mm_and_pd(below, lo), _mm_andnot_pd(below, kept));
  };
  // centre + n half, for two lanes of n at a time.
  const auto place = [&](__m128 n, double centre, double half, double low, double high, __m128d& first,
                         __m128d& second) {
    const __m128d c = _mm_set1_pd(centre), h = _mm_set1_pd(half);
    first = clamp(_mm_add_pd(c, _mm_mul_pd(_mm_cvtps_pd(n), h)), low, high);
    second = clamp(_mm_add_pd(c, _mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(n, n)), h)), low, high);
  };
  const __m128 factor = _mm_set1_ps(-scale_), half = _mm_set1_ps(0.5f);
  for (; k + 4 <= count; k += 4) {
    const __m128 nx = _mm_mul_ps(_mm_mul_ps(factor, _mm_loadu_ps(gx + k)), half);
    const __m128 ny = _mm_mul_ps(_mm_mul_ps(factor, _mm_loadu_ps(gy + k)), half);
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, nx), _mm_mul_ps(ny, ny)), _mm_set1_ps(1.0f)));
    __m128d x01, x23, y01, y23;
    place(_mm_div_ps(nx, length), centreX_, halfWidth_, minX_, maxX_, x01, x23);
    place(_mm_div_ps(ny, length), centreY_, halfHeight_, minY_, maxY_, y01, y23);
    double* to = &lookups[k].x;
    _mm_storeu_pd(to, _mm_unpacklo_pd(x01, y01));
    _mm_storeu_pd(to + 2, _mm_unpackhi_pd(x01, y01));
    _mm_storeu_pd(to + 4, _mm_unpacklo_pd(x23, y23));
    _mm_storeu_pd(to + 6, _mm_unpackhi_pd(x23, y23));
  }
#endif
  for (; k < count; ++k) {
    const float nx = -scale_ * gx[k] * 0.5f, ny = -scale_ * gy[k] * 0.5f;
    const float length = std::sqrt(nx * nx + ny * ny + 1.0f);
    lookups[k] = {std::clamp(centreX_ + nx / length * halfWidth_, minX_, maxX_),
                  std::clamp(centreY_ + ny / length * halfHeight_, minY_, maxY_)};
  }
  shading_->sample({lookups, count, false, batch.tables}, out);
  clearOutside(batch, out);
}

}  // namespace imaging

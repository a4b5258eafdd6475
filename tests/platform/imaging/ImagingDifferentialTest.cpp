// The imaging kit's fast forms against the per-point forms they stand in for, bit for bit, on random
// textures and points: the four-point bilinear form against the scalar one (GridSampling.h), runs
// of texel centres against their points one by one, the shaded material's rows of heights at a run
// of texel centres and its shared heights of points two apart against its four moved batches
// (taken one point at a time) and its four-lane normals against one point at a time, the four-lane
// hard light against the scalar blend, and kernels' batch bodies against their per-point bodies.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "gpu/Gpu.h"
#include "imaging/Context.h"
#include "imaging/GeometryImages.h"
#include "imaging/GridSampling.h"
#include "imaging/HardLightFilter.h"
#include "imaging/Kernel.h"
#include "imaging/NativeKernels.h"
#include "imaging/ShadedMaterialFilter.h"
#include "imaging/TextureImage.h"

namespace {

using imaging::RGBA;

class Cases {
 public:
  explicit Cases(unsigned seed) : random_(seed) {}

  std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }

  // A texture of random bytes (random floats for the float format), some texels clear.
  std::shared_ptr<imaging::TextureImage> texture(std::size_t w, std::size_t h) {
    static const gpu::PixelFormat formats[] = {gpu::PixelFormat::RGBA8Unorm, gpu::PixelFormat::RGBA8Unorm,
                                               gpu::PixelFormat::BGRA8Unorm, gpu::PixelFormat::RGBA32Float};
    auto t = gpu::systemDefaultDevice()->makeTexture(*gpu::TextureDescriptor::texture2D(formats[below(4)], w, h, false));
    const gpu::TexelView v = t->texels();
    for (std::size_t j = 0; j < h; ++j)
      for (std::size_t i = 0; i < w; ++i) {
        const auto channel = [&] { return static_cast<float>(below(256)) / 255.0f; };
        v.write({channel(), channel(), channel(), below(5) == 0 ? 0.0f : channel()}, i, j);
      }
    return std::make_shared<imaging::TextureImage>(std::move(t));
  }

  // Points anywhere about the texture, at texel centres and corners, on its edges, or not a number.
  graphics::Point point(double w, double h) {
    const auto coordinate = [&](double side) {
      switch (below(5)) {
        case 0: return static_cast<double>(below(static_cast<std::size_t>(side) + 2)) - 0.5;
        case 1: return static_cast<double>(below(static_cast<std::size_t>(side) + 3)) - 1.0;
        case 2: return below(20) == 0 ? std::nan("") : side;
        default: return between(-1.5, side + 1.5);
      }
    };
    return {coordinate(w), coordinate(h)};
  }

 private:
  std::mt19937 random_;
};

::testing::AssertionResult sameBits(const std::vector<RGBA>& a, const std::vector<RGBA>& b) {
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (std::memcmp(&a[k], &b[k], sizeof(RGBA)) != 0) {
      return ::testing::AssertionFailure() << "point " << k << ": (" << a[k].r << ", " << a[k].g << ", " << a[k].b
                                           << ", " << a[k].a << ") against (" << b[k].r << ", " << b[k].g << ", "
                                           << b[k].b << ", " << b[k].a << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(ImagingDifferential, FourPointBilinearIsTheScalarOne) {
  Cases cases(46);
  for (int round = 0; round < 300; ++round) {
    const auto image = cases.texture(1 + cases.below(round % 2 ? 12 : 40), 1 + cases.below(9));
    const double w = static_cast<double>(image->width()), h = static_cast<double>(image->height());
    std::vector<graphics::Point> points(1 + cases.below(70));
    for (auto& p : points) p = cases.point(w, h);
    if (cases.below(3) == 0) {
      // A row two texels apart, as a picture at twice the resolution samples (mostly between texel
      // centres, its texels eight in a row for four points).
      const graphics::Point first = cases.point(w, h);
      const double x0 = cases.below(4) ? std::floor(first.x) : first.x, y = cases.below(4) ? std::floor(first.y) : first.y;
      for (std::size_t k = 0; k < points.size(); ++k) points[k] = {x0 + 2.0 * static_cast<double>(k) - 8.0, y};
    }
    std::vector<RGBA> fast(points.size()), scalar(points.size());
    image->sample(points.data(), points.size(), fast.data());
    for (std::size_t k = 0; k < points.size(); ++k) imaging::sampleGrid(*image, points[k].x, points[k].y, scalar[k]);
    ASSERT_TRUE(sameBits(fast, scalar)) << "round " << round;
  }
}

TEST(ImagingDifferential, TexelRunsAreTheirPoints) {
  Cases cases(47);
  for (int round = 0; round < 300; ++round) {
    const auto texture = cases.texture(1 + cases.below(40), 1 + cases.below(6));
    const double w = static_cast<double>(texture->width()), h = static_cast<double>(texture->height());
    imaging::ImagePtr image = texture;
    if (cases.below(2) == 0) image = texture->cropped({cases.between(-1, w), cases.between(-1, h), cases.between(0, w), h});
    const auto i = static_cast<std::int64_t>(cases.below(texture->width() + 6)) - 3;
    const auto j = static_cast<std::int64_t>(cases.below(texture->height() + 4)) - 2;
    std::vector<graphics::Point> points(1 + cases.below(90));
    for (std::size_t k = 0; k < points.size(); ++k) points[k] = {static_cast<double>(i) + static_cast<double>(k) + 0.5, static_cast<double>(j) + 0.5};
    std::vector<RGBA> run(points.size()), row(points.size()), each(points.size());
    ASSERT_TRUE(image->sampleTexelRun(i, j, run.size(), run.data()));
    image->sample(imaging::Batch{points.data(), points.size(), true}, row.data());
    image->sample(points.data(), points.size(), each.data());
    ASSERT_TRUE(sameBits(run, each)) << "round " << round;
    ASSERT_TRUE(sameBits(row, each)) << "round " << round;
  }
}

TEST(ImagingDifferential, ShadedRowsOfHeightsAreTheFourMovedBatches) {
  Cases cases(48);
  for (int round = 0; round < 600; ++round) {
    const auto texture = cases.texture(2 + cases.below(80), 1 + cases.below(8));
    const double w = static_cast<double>(texture->width()), h = static_cast<double>(texture->height());
    imaging::ImagePtr height = texture;
    // A crop at whole texels (the layer's edge) or anywhere.
    if (cases.below(2) == 0) {
      const bool whole = cases.below(2) == 0;
      const double x = whole ? static_cast<double>(cases.below(3)) : cases.between(0, 2);
      height = texture->cropped({x, 0, whole ? std::floor(cases.between(1, w)) : cases.between(1, w), h});
    }
    const imaging::ShadedMaterialImage shaded(height, cases.texture(1 + cases.below(9), 1 + cases.below(9)),
                                              cases.between(-20, 20));
    const double x0 = static_cast<double>(cases.below(texture->width() + 2)) - 0.5;
    const double y = static_cast<double>(cases.below(texture->height() + 2)) - 0.5;
    std::vector<graphics::Point> points(1 + cases.below(70));
    // Points one apart (runs of texel centres), or two apart between the centres, as a picture at
    // half the resolution samples them (now and then one out of step).
    const bool pairs = round % 2 == 1;
    for (std::size_t k = 0; k < points.size(); ++k)
      points[k] = {pairs ? x0 - 0.5 + 2.0 * static_cast<double>(k) : x0 + static_cast<double>(k), pairs ? y - 0.5 : y};
    if (pairs && cases.below(5) == 0) points[cases.below(points.size())].x += 0.25;
    std::vector<RGBA> row(points.size()), each(points.size()), single(points.size());
    shaded.sample(imaging::Batch{points.data(), points.size(), !pairs}, row.data());  // a run only one apart
    shaded.sample(points.data(), points.size(), each.data());
    for (std::size_t k = 0; k < points.size(); ++k) single[k] = shaded.sample(points[k]);
    ASSERT_TRUE(sameBits(row, each)) << "round " << round;
    ASSERT_TRUE(sameBits(single, each)) << "round " << round;
  }
}

// Values of every kind a blend or a kernel meets: in and out of 0 to 1, at 0, 0.5 and 1 exactly.
std::shared_ptr<imaging::TextureImage> valueTexture(Cases& cases, std::size_t w) {
  auto t = gpu::systemDefaultDevice()->makeTexture(
      *gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA32Float, w, 1, false));
  const auto value = [&]() -> float {
    static const float special[] = {0.0f, 0.5f, 1.0f, 0.75f, 0.05f};
    return cases.below(3) == 0 ? special[cases.below(5)] : static_cast<float>(cases.between(-0.2, 1.2));
  };
  for (std::size_t i = 0; i < w; ++i) t->texels().write({value(), value(), value(), value()}, i, 0);
  return std::make_shared<imaging::TextureImage>(std::move(t));
}

TEST(ImagingDifferential, FourLaneHardLightAndBatchBodiesAreTheScalarOnes) {
  Cases cases(49);
  for (int round = 0; round < 200; ++round) {
    const std::size_t w = 1 + cases.below(70);
    const auto source = valueTexture(cases, w), backdrop = valueTexture(cases, w);
    std::vector<graphics::Point> points(w);
    for (std::size_t k = 0; k < w; ++k) points[k] = {static_cast<double>(k) + 0.5, 0.5};
    std::vector<RGBA> fast(w), scalar(w);
    imaging::HardLightImage(source, backdrop).sample(points.data(), w, fast.data());
    for (std::size_t k = 0; k < w; ++k) {
      const auto i = static_cast<std::int64_t>(k);
      scalar[k] = imaging::hardLight(source->texel(i, 0), backdrop->texel(i, 0));
    }
    ASSERT_TRUE(sameBits(fast, scalar)) << "hard light, round " << round;

    // Every other round an overlay opaque at most points, so that the merge reads what lies under
    // it over a part of the batch only, or nowhere; every fourth, yellows and blues over each other,
    // which the merge mixes by its own rules.
    if (round % 2 == 1) {
      const gpu::TexelView v = source->texture()->texels();
      for (std::size_t i = 0; i < w; ++i) {
        if (cases.below(8) != 0) v.write({v.read(i, 0).x, v.read(i, 0).y, v.read(i, 0).z, 1.0f}, i, 0);
      }
    } else if (round % 4 == 2) {
      const gpu::float4 yellow{0.9f, 0.95f, 0.1f, 0}, blue{0.2f, 0.22f, 0.8f, 0};
      for (const auto& t : {source, backdrop}) {
        for (std::size_t i = 0; i < w; ++i) {
          gpu::float4 c = cases.below(2) == 0 ? yellow : blue;
          c.w = static_cast<float>(cases.between(0.05, 0.95));
          t->texture()->texels().write(c, i, 0);
        }
      }
    }
    const graphics::Rect extent(cases.between(0, 3), 0, cases.between(0, static_cast<double>(w)), 1);
    const std::vector<imaging::ImagePtr> arguments{source, backdrop};
    const std::tuple<imaging::KernelBody, imaging::KernelBatchBody, imaging::KernelDecidedByFirst> bodies[] = {
        {imaging::alphaSetKernel, imaging::alphaSetBatch, nullptr},
        {imaging::mergeKernel, imaging::mergeBatch, imaging::mergeDecidedByOverlay}};
    for (const auto& [body, batch, decided] : bodies) {
      const imaging::Batch marked{points.data(), w, cases.below(2) == 0};
      imaging::KernelImage(extent, body, arguments, batch, decided).sample(marked, fast.data());
      imaging::KernelImage(extent, body, arguments).sample(points.data(), w, scalar.data());
      ASSERT_TRUE(sameBits(fast, scalar)) << "kernel, round " << round;
    }
  }
}

}  // namespace

// A render makes the shading picture's texels ready premultiplied (kept while its bytes stay the
// same) and reads heights a row before read again; its values are those of sampling the image point
// by point without them, also after the picture's bytes change between renders.
TEST(ImagingDifferential, RendersWithTheirTablesGiveThePointByPointValues) {
  Cases cases(50);
  for (int round = 0; round < 150; ++round) {
    // Every other picture at half its height image's resolution, as a layer at scale 2 is composed
    // (its rows two apart, so that a row reads the heights the row before read one above it).
    const bool half = round % 2 == 1;
    const std::size_t w = 2 + cases.below(40), h = half ? 8 + cases.below(60) : 1 + cases.below(12);
    const auto height = cases.texture(w, h);
    const auto shading = cases.texture(1 + cases.below(9), 1 + cases.below(9));
    imaging::ImagePtr shaded = std::make_shared<imaging::ShadedMaterialImage>(height, shading, cases.between(-20, 20));
    if (half) shaded = shaded->transformed(graphics::AffineTransform::makeScale(0.5, 0.5));
    const auto target = gpu::systemDefaultDevice()->makeTexture(
        *gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA32Float, w, h, false));
    for (int render = 0; render < 3; ++render) {
      if (render > 0 && cases.below(2) == 0) {
        // New bytes for the picture, or the same bytes written again.
        const gpu::TexelView v = shading->texture()->texels();
        const std::size_t i = cases.below(static_cast<std::size_t>(shading->width()));
        const std::size_t j = cases.below(static_cast<std::size_t>(shading->height()));
        v.write(cases.below(2) ? v.read(i, j) : gpu::float4{0.2f, 0.9f, 0.4f, 0.6f}, i, j);
      }
      imaging::renderNow(*shaded, *target, graphics::Rect(0, 0, static_cast<double>(w), static_cast<double>(h)));
      std::vector<RGBA> rendered(w * h), each(w * h);
      std::vector<graphics::Point> points(w * h);
      for (std::size_t j = 0; j < h; ++j)
        for (std::size_t i = 0; i < w; ++i) {
          points[j * w + i] = {static_cast<double>(i) + 0.5, static_cast<double>(j) + 0.5};
          const gpu::float4 v = target->texels().read(i, j);
          rendered[j * w + i] = {v.x, v.y, v.z, v.w};
        }
      shaded->sample(points.data(), points.size(), each.data());
      ASSERT_TRUE(sameBits(rendered, each)) << "round " << round << ", render " << render;
    }
  }
}

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "graphics/ImageContext.h"
#include "ui/GPUView.h"

namespace {

using graphics::Color;
using graphics::Rect;
using Pixel = std::array<std::uint8_t, 4>;

const Pixel kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kYellow{255, 255, 0, 255}, kWhite{255, 255, 255, 255};

// Presents one picture in `view`: `rows[r]` (RGBA) fills texture row r, the top of the picture.
void presentRows(ui::GPUView& view, const std::vector<Pixel>& rows) {
  auto drawable = view.currentDrawable();
  ASSERT_NE(drawable, nullptr);
  const auto texture = drawable->texture();
  std::vector<std::uint8_t> bgra;
  for (std::size_t r = 0; r < texture->height(); ++r) {
    for (std::size_t x = 0; x < texture->width(); ++x) {
      const Pixel& p = rows[r];
      bgra.insert(bgra.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  texture->writeRegion(gpu::Region::make2D(0, 0, texture->width(), texture->height()), 0, bgra,
                       texture->width() * 4);
  auto buffer = view.device()->makeCommandQueue()->makeCommandBuffer();
  buffer->present(drawable);
  buffer->commit();
}

// Draws `view`'s tree into a new image context of its size and returns the pixels by row.
std::vector<std::vector<Pixel>> snapshot(const ui::View& view) {
  const auto size = view.bounds().size;
  graphics::beginImageContext(size, false, 1.0);
  EXPECT_TRUE(view.drawHierarchy(view.bounds()));
  const auto image = graphics::imageFromCurrentImageContext();
  graphics::endImageContext();
  std::vector<std::vector<Pixel>> rows(image->pixelHeight());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t x = 0; x < image->pixelWidth(); ++x) rows[r].push_back(image->bitmap()->pixel(x, r));
  }
  return rows;
}

TEST(HierarchyDrawing, BackgroundsThenGPUPicturesInSubviewOrderUprightAndHiddenViewsLeftOut) {
  auto device = gpu::systemDefaultDevice();
  ui::View canvas(Rect(0, 0, 4, 4));
  canvas.setBackgroundColor(Color::fromRGBA(1, 0, 0, 1));

  auto layer = std::make_shared<ui::GPUView>(Rect(0, 0, 4, 2), device);
  layer->setOpaque(false);
  presentRows(*layer, {kBlue, kYellow});
  canvas.addSubview(layer);

  auto front = std::make_shared<ui::View>(Rect(0, 1, 2, 2));
  front->setBackgroundColor(Color::fromRGBA(0, 1, 0, 1));
  canvas.addSubview(front);

  auto hidden = std::make_shared<ui::View>(Rect(0, 0, 4, 4));
  hidden->setBackgroundColor(Color::white());
  hidden->setHidden(true);
  canvas.addSubview(hidden);

  const auto rows = snapshot(canvas);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<Pixel>{kBlue, kBlue, kBlue, kBlue}));
  EXPECT_EQ(rows[1], (std::vector<Pixel>{kGreen, kGreen, kYellow, kYellow}));
  EXPECT_EQ(rows[2], (std::vector<Pixel>{kGreen, kGreen, kRed, kRed}));
  EXPECT_EQ(rows[3], (std::vector<Pixel>{kRed, kRed, kRed, kRed}));

  // Restacked: the layer's picture now lies over the green view.
  canvas.bringSubviewToFront(*layer);
  EXPECT_EQ(snapshot(canvas)[1], (std::vector<Pixel>{kYellow, kYellow, kYellow, kYellow}));
}

TEST(HierarchyDrawing, AlphaFadesAViewAndItsSubviewsAndTheBorderLiesOnTop) {
  ui::View canvas(Rect(0, 0, 3, 3));
  canvas.setBackgroundColor(Color::fromRGBA(0, 0, 0, 1));
  canvas.setBorderColor(Color::white());
  canvas.setBorderWidth(1.0);

  auto faded = std::make_shared<ui::View>(Rect(0, 0, 3, 3));
  faded->setAlpha(0.5);
  auto inner = std::make_shared<ui::View>(Rect(1, 1, 1, 1));
  inner->setBackgroundColor(Color::fromRGBA(0, 0, 1, 1));
  faded->addSubview(inner);
  canvas.addSubview(faded);

  const auto rows = snapshot(canvas);
  EXPECT_EQ(rows[0], (std::vector<Pixel>{kWhite, kWhite, kWhite}));
  EXPECT_EQ(rows[1][0], kWhite);
  EXPECT_EQ(rows[1][2], kWhite);
  const Pixel centre = rows[1][1];  // half blue over black
  EXPECT_EQ(centre[0], 0);
  EXPECT_NEAR(centre[2], 128, 1);
  EXPECT_EQ(centre[3], 255);
}

TEST(HierarchyDrawing, AGPUPictureHoldsStraightColoursLaidOverWhatLiesUnderByTheirAlpha) {
  auto device = gpu::systemDefaultDevice();
  ui::View canvas(Rect(0, 0, 2, 1));
  canvas.setBackgroundColor(Color::white());
  auto layer = std::make_shared<ui::GPUView>(Rect(0, 0, 2, 1), device);
  layer->setOpaque(false);
  // A light paint at a fifth of full cover: its colour stands above its alpha.
  presentRows(*layer, {Pixel{240, 200, 100, 51}});
  canvas.addSubview(layer);

  const Pixel p = snapshot(canvas)[0][0];
  EXPECT_NEAR(p[0], (240 * 51 + 255 * 204) / 255, 1);
  EXPECT_NEAR(p[1], (200 * 51 + 255 * 204) / 255, 1);
  EXPECT_NEAR(p[2], (100 * 51 + 255 * 204) / 255, 1);
  EXPECT_EQ(p[3], 255);

  // A faded view fades its picture's alpha, not its colour.
  layer->setAlpha(0.5);
  const Pixel faded = snapshot(canvas)[0][0];
  EXPECT_NEAR(faded[2], (100 * 26 + 255 * 229) / 255, 1);
}

TEST(HierarchyDrawing, NeedsACurrentImageContext) {
  ui::View view(Rect(0, 0, 2, 2));
  EXPECT_FALSE(view.drawHierarchy(view.bounds()));
}

}  // namespace

#pragma once
// A small canvas with real layers, for the composition and region-snapshot tests until the canvas
// and layer subsystem exists: each layer has real grid, wet, dry and painting textures made (and
// counted) through the application manager on first read, and a real GPU view.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "Surface.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "ui/GPUView.h"

namespace testsupport {

class FakeLayer : public tessivarium::ArtworkTextures {
 public:
  // Data textures of dataWidth x dataHeight cells, a painting texture of width x height pixels.
  FakeLayer(tessivarium::DrawingPaint& paint, std::int64_t index, std::size_t dataWidth, std::size_t dataHeight,
            std::size_t width, std::size_t height)
      : ArtworkTextures(paint, index),
        dataDescriptor_(gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, dataWidth, dataHeight, false)),
        paintingDescriptor_(gpu::TextureDescriptor::texture2D(gpu::PixelFormat::RGBA8Unorm, width, height, false)),
        view_(std::make_shared<ui::GPUView>(graphics::Rect(0, 0, static_cast<double>(width), static_cast<double>(height)),
                                            tessivarium::AppManager().device())) {
    view_->setPaused(true);
  }

  const std::shared_ptr<ui::GPUView>& metalView() const override { return view_; }
  const std::shared_ptr<gpu::TextureDescriptor>& textureDataDescriptor() override { return dataDescriptor_; }
  const std::shared_ptr<gpu::Texture>& gridTexture() override { return made(grid_, *dataDescriptor_); }
  const std::shared_ptr<gpu::Texture>& wetTexture() override { return made(wet_, *dataDescriptor_); }
  const std::shared_ptr<gpu::Texture>& dryTexture() override { return made(dry_, *dataDescriptor_); }
  const std::shared_ptr<gpu::Texture>& paintingTexture() override { return made(painting_, *paintingDescriptor_); }

 private:
  static const std::shared_ptr<gpu::Texture>& made(std::shared_ptr<gpu::Texture>& slot,
                                                   const gpu::TextureDescriptor& descriptor) {
    if (!slot) slot = tessivarium::AppManager().makeTexture(descriptor);
    return slot;
  }

  std::shared_ptr<gpu::TextureDescriptor> dataDescriptor_, paintingDescriptor_;
  std::shared_ptr<ui::GPUView> view_;
  std::shared_ptr<gpu::Texture> grid_, wet_, dry_, painting_;
};

class FakeLayerCanvas : public tessivarium::DrawingPaint {
 public:
  // A canvas of width x height pixels at `scale` cells per pixel with `layerCount` layers; the
  // last layer is current.
  FakeLayerCanvas(std::int64_t width, std::int64_t height, double scale = 1.0, std::size_t layerCount = 1,
                  std::uint64_t paintId = tessivarium::MainPaintId)
      : DrawingPaint(paintId, std::make_shared<tessivarium::Artwork>(
                                  "layers", width, height,
                                  tessivarium::Surface::FindSurface(tessivarium::SurfaceId::Flat),
                                  tessivarium::PaintOrientation::landscape, scale)) {
    for (std::size_t i = 0; i < layerCount; ++i) addLayer();
    layerIndex = layerCount == 0 ? 0 : layerCount - 1;
  }

  std::shared_ptr<FakeLayer> addLayer() {
    const double s = artwork()->scale();
    const auto w = static_cast<std::size_t>(artwork()->width()), h = static_cast<std::size_t>(artwork()->height());
    auto layer = std::make_shared<FakeLayer>(*this, static_cast<std::int64_t>(layers_.size()),
                                             static_cast<std::size_t>(static_cast<double>(w) * s),
                                             static_cast<std::size_t>(static_cast<double>(h) * s), w, h);
    layers_.push_back(layer);
    return layer;
  }
  FakeLayer& layer(std::size_t i) const { return static_cast<FakeLayer&>(*layers_.at(i)); }

  const std::vector<std::shared_ptr<tessivarium::ArtworkTextures>>& layers() const override { return layers_; }
  std::shared_ptr<tessivarium::ArtworkTextures> currentContent() override {
    layerIndex = std::min(layerIndex, layers_.size() - 1);
    return layers_.at(layerIndex);
  }
  void setShadingImage(imaging::ImagePtr image) override { storeShadingImage(std::move(image)); }

  std::size_t layerIndex = 0;

 private:
  std::vector<std::shared_ptr<tessivarium::ArtworkTextures>> layers_;
};

}  // namespace testsupport

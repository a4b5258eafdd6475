#pragma once
// A canvas with two real layers, a ground and a background colour, made the current paint, and the
// helpers the texture-pass tests share.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "TestCanvas.h"
#include "gpu/Gpu.h"
#include "graphics/Color.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"

namespace passtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes floatBytes(std::initializer_list<float> values) {
  Bytes out(values.size() * 4);
  std::memcpy(out.data(), values.begin(), out.size());
  return out;
}

inline Bytes offsetBytes(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
  const std::uint32_t record[4] = {x, y, z, 0};
  Bytes out(16);
  std::memcpy(out.data(), record, 16);
  return out;
}

class TexturePassTest : public ::testing::Test {
 protected:
  TexturePassTest() {
    canvas->setBackgroundColor(graphics::Color::fromRGBA(0.25, 0.5, 0.75, 1.0));
    canvas->setGroundTexture(texture(4, 4));
    tessivarium::AppManager().setCurrentPaint(canvas);
  }

  std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h, std::size_t d = 1) {
    gpu::TextureDescriptor descriptor;
    descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
    descriptor.width = w, descriptor.height = h, descriptor.depth = d;
    return tessivarium::AppManager().makeTexture(descriptor);
  }
  std::shared_ptr<gpu::CommandBuffer> buffer() {
    return tessivarium::AppManager().commandQueue()->makeCommandBuffer();
  }
  tessivarium::ToolSurface& surface() { return *canvas->drawingTool()->toolSurface(); }
  tessivarium::SurfaceWorkingTextures& working() { return tessivarium::AppManager().surfaceTextures(); }

  // The dispatches one encode of `pass` puts into a fresh buffer.
  template <typename Pass>
  std::vector<gpu::DispatchRecord> dispatchesOf(Pass& pass, tessivarium::DrawingPaint& paint) {
    gpu::commandTrace().start();
    auto b = buffer();
    pass.encode(paint, *b);
    auto d = gpu::commandTrace().dispatches();
    gpu::commandTrace().stop();
    return d;
  }
  template <typename Pass>
  std::vector<gpu::DispatchRecord> dispatchesOf(Pass& pass) {
    return dispatchesOf(pass, *canvas);
  }

  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(16, 16, 1.0, 2);
};

}  // namespace passtest

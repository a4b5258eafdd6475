// The towel, the sander, turpentine and the fluffy mop on a started 300 x 200 canvas with undo,
// measured from their real scenes: their settings, one stroke step's chain with its bindings and
// its fresh head record, the samples and the preview they get from the stylus, and a whole stroke
// of each that does what the tool is for and is undone byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <numbers>
#include <set>

#include "BytesAt.h"
#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "scene/Node.h"
#include "tools/AbstractDAEToolViewer.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/sander/SanderTool.h"
#include "tools/towels/TowelTool.h"
#include "tools/turpentine/TurpentineTool.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Texel = std::array<std::uint8_t, 4>;
constexpr float kQuarter = std::numbers::pi_v<float> / 2;

struct Kind {
  const char* scene;
  std::function<std::shared_ptr<AbstractDrawingTool>()> make;
  std::vector<std::string> chain;  // one stroke step's kernels on a masked canvas
};

const Kind kKinds[] = {
    {"towel", [] { return std::make_shared<TowelTool>(); },
     {"pic_flip_texture_reset2D", "DAEToolModel_towel_paint", "DAEToolModel_overlay_map", "Towel_blur_image",
      "Towel_blur_image", "DAEToolModel_mask"}},
    {"Sander", [] { return std::make_shared<SanderTool>(); },
     {"pic_flip_texture_reset2D", "Sander_paint", "Sander_blur_image", "DAEToolModel_mask"}},
    {"Turpentine", [] { return std::make_shared<TurpentineTool>(); },
     {"pic_flip_texture_reset2D", "Turpentine_paint", "DAEToolModel_overlay_map", "Turpentine_blur_image",
      "Turpentine_blur_image", "DAEToolModel_mask"}},
    {"FluffyMop", [] { return std::make_shared<FluffyMopTool>(); },
     {"pic_flip_texture_reset2D", "FluffyMop_paint", "DAEToolModel_overlay_map", "FluffyMop_blur_image",
      "FluffyMop_blur_image", "DAEToolModel_mask"}},
};

bool isTowel(const AbstractDrawingTool& tool) { return tool.toolType() == ToolType::towel; }

// The layer's bytes as StrokeCanvas::layerBytes() gives them: grid, wet, then dry.
enum Texture : std::size_t { Grid, Wet, Dry };
std::uint8_t byteAt(const Bytes& layer, Texture t, std::size_t x, std::size_t y, std::size_t c) {
  return layer[(t * 200 + y) * 300 * 4 + x * 4 + c];
}
long amountOf(const Bytes& layer, Texture t) {
  long n = 0;
  for (std::size_t k = t * 300 * 200 * 4 + 3; k < (t + 1) * 300 * 200 * 4; k += 4) n += layer[k];
  return n;
}

class WorkingTools : public ::testing::Test {
 protected:
  std::shared_ptr<AbstractDrawingTool> current(std::shared_ptr<AbstractDrawingTool> tool) {
    strokes.use(tool);
    return tool;
  }

  // The dispatches of one frame's encode of `count` samples from (x, 90), 6 points apart.
  std::vector<gpu::DispatchRecord> frame(AbstractDrawingTool& tool, double x, int count = 5) {
    TouchInputs samples;
    for (int i = 0; i < count; ++i) samples.push_back(std::make_shared<TouchInput>(graphics::Point(x + 6 * i, 90), 0.75f, 1.2f, 0.3f));
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    tool.setTouchInputs(samples);
    tool.encode(*strokes.canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();
    return gpu::commandTrace().dispatches();
  }

  // Sets every cell of the current layer: cell(x, y, grid, wet, dry).
  void paintLayer(const std::function<void(std::size_t x, std::size_t y, Texel& grid, Texel& wet, Texel& dry)>& cell) {
    Bytes b[3] = {Bytes(300 * 200 * 4), Bytes(300 * 200 * 4), Bytes(300 * 200 * 4)};
    for (std::size_t k = 0; k < 300 * 200; ++k) {
      Texel t[3] = {};
      cell(k % 300, k / 300, t[Grid], t[Wet], t[Dry]);
      for (std::size_t i = 0; i < 3; ++i) std::copy(t[i].begin(), t[i].end(), b[i].begin() + 4 * k);
    }
    auto& layer = strokes.layer();
    TextureUtil::loadRawData(layer.gridTexture(), b[Grid], 300, 200, 1);
    TextureUtil::loadRawData(layer.wetTexture(), b[Wet], 300, 200, 1);
    TextureUtil::loadRawData(layer.dryTexture(), b[Dry], 300, 200, 1);
  }

  testsupport::ConsoleCapture console;
  testsupport::StrokeCanvas strokes;
};

TEST_F(WorkingTools, EachHasItsSettingsAndSceneAndBuildsItsPipelinesFirst) {
  for (const Kind& k : kKinds) {
    const auto tool = current(k.make());
    const bool towel = isTowel(*tool);
    EXPECT_EQ(tool->canClean(), towel) << k.scene;
    EXPECT_EQ(tool->resizableOnPressure(), !towel) << k.scene;
    EXPECT_FALSE(tool->canReset() || tool->canFillColor() || tool->canSavePattern() || tool->hasColorPattern()) << k.scene;
    EXPECT_FALSE(tool->controller()) << k.scene;
    const auto& viewer = dynamic_cast<AbstractDAEToolViewer&>(*tool->toolViewer());
    EXPECT_EQ(viewer.fileName(), k.scene);
    EXPECT_EQ(viewer.border(), towel ? SCNVector3(16, 16, 64) : SCNVector3(0, 0, 0)) << k.scene;
    EXPECT_FLOAT_EQ(viewer.scale(), towel ? 0.7f : 0.07f) << k.scene;  // x 0.7 at artwork scale 1
    EXPECT_TRUE(viewer.toolModel()) << k.scene << ": measured from its scene";

    gpu::commandTrace().start();
    tool->initialize();
    const auto builds = gpu::commandTrace().pipelineBuilds();
    std::vector<std::string> own = {k.chain[k.chain.size() - 2], k.chain[1]};  // the blur, then the paint
    if (towel) own.push_back("DAEToolModel_towel_map_paint");
    ASSERT_GE(builds.size(), own.size()) << k.scene;
    for (std::size_t i = 0; i < own.size(); ++i) EXPECT_EQ(builds[i].functionName, own[i]) << k.scene;
  }
}

// Two steps of one stroke on a masked canvas: the chain's kernels in order (the sander's without
// the overlay, its blur once, the towel's map pass never), the bindings each tool adds to its
// bases', and a fresh record of the tool at every step for the paint pass and the shared mask.
TEST_F(WorkingTools, EachStepRunsTheToolsChainWithItsBindingsAndAFreshHeadRecord) {
  strokes.canvas->setMaskTexture(AppManager().makeTexture(300, 200));
  auto& working = AppManager().surfaceTextures();
  for (const Kind& k : kKinds) {
    const auto tool = current(k.make());
    const bool sander = tool->toolType() == ToolType::sander;
    // Every pass any of the four could run, so a pass that does not belong to a tool's chain shows.
    std::set<std::string> watched(k.chain.begin(), k.chain.end());
    watched.insert({"DAEToolModel_overlay_map", "DAEToolModel_blur_image", "DAEToolModel_towel_map_paint"});
    std::vector<std::int32_t> counts;
    std::shared_ptr<gpu::Buffer> previous;
    for (double x : {100.0, 130.0}) {
      std::vector<gpu::DispatchRecord> chain;
      std::vector<std::string> names;
      for (auto& d : frame(*tool, x)) {
        if (watched.count(d.kernelName)) names.push_back(d.kernelName), chain.push_back(std::move(d));
      }
      ASSERT_EQ(names, k.chain) << k.scene;
      EXPECT_EQ(chain[0].textures.at(TEXTURE_RESET), sander ? working.renderingTexture() : working.gridTexture1());
      const auto& paint = chain[1];
      const auto& blur = chain[chain.size() - 2];
      const auto& record = paint.buffers.at(BUFFER_DAE_DESCRIPTOR);
      EXPECT_EQ(chain.back().buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, record.buffer) << k.scene;
      EXPECT_NE(record.buffer, previous) << k.scene;
      ASSERT_EQ(record.bytes.size(), 180u);
      EXPECT_EQ(testsupport::at<std::uint32_t>(record.bytes.data(), 152), rawValue(tool->toolType()));
      counts.push_back(testsupport::at<std::int32_t>(record.bytes.data(), 172));
      previous = record.buffer;

      EXPECT_EQ(paint.textures.count(TEXTURE_GRID_ORIGINAL_WRITE) ? paint.textures.at(TEXTURE_GRID_ORIGINAL_WRITE) : nullptr,
                isTowel(*tool) ? working.gridTexture0() : nullptr) << k.scene;
      const auto map = sander ? working.renderingTexture() : working.gridTexture1();
      EXPECT_EQ(blur.textures.at(TEXTURE_MAP_READ), map) << k.scene;
      if (sander) {
        EXPECT_EQ(paint.textures.at(TEXTURE_MAP_WRITE), map);
        EXPECT_EQ(paint.textures.at(TEXTURE_MAP_READ), map);
        EXPECT_EQ(blur.textures.at(TEXTURE_DRY_READ), working.dryTexture0());
        EXPECT_EQ(blur.textures.at(TEXTURE_DRY_WRITE), working.dryTexture0());
        const Bytes& thickness = blur.buffers.at(BUFFER_THICKNESS).bytes;
        ASSERT_EQ(thickness.size(), 4u);
        EXPECT_EQ(testsupport::at<float>(thickness.data(), 0), 7.0f);
      }
    }
    EXPECT_NE(counts[0], counts[1]) << k.scene << ": the second step's record counts its samples";
  }
}

// The altitudes the kernels get (the towel lies flat), and the preview's pose and size.
TEST_F(WorkingTools, OnlyTheTowelLiesFlatAndIgnoresThePress) {
  const struct {
    float force, altitude, azimuth;
    float size;  // of the preview, sized by the press
  } touches[] = {{0.2f, kQuarter, 0, 0.5f}, {3.0f, 0, kQuarter, 3.0f}, {1.0f, 0.9f, 0.4f, 1.0f}};
  for (const Kind& k : kKinds) {
    const auto tool = current(k.make());
    const bool towel = isTowel(*tool);
    TouchInputs batch;
    for (const auto& t : touches) batch.push_back(std::make_shared<TouchInput>(graphics::Point(100 + batch.size(), 90), 1.0f, t.altitude, 0.2f));
    auto& surface = *tool->toolSurface();
    surface.reset(batch);
    ASSERT_EQ(surface.touchInputData().count(), 3) << k.scene;
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(testsupport::at<float>(surface.altitudeBuffer()->contents(), 4 * i), towel ? 0 : touches[i].altitude);
    }
    auto& viewer = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer());
    for (const auto& t : touches) {
      scene::Node node;
      viewer.updateOnTouch(node, TouchInput(graphics::Point(50, 50), t.force, t.altitude, t.azimuth));
      EXPECT_EQ(node.eulerAngles(), towel ? scene::Vector3(kQuarter, 0, kQuarter - t.azimuth)
                                          : scene::Vector3(0, kQuarter - t.altitude, -t.azimuth)) << k.scene;
      const float size = towel ? viewer.scale() : t.size;
      EXPECT_EQ(node.scale(), scene::Vector3(size, size, size)) << k.scene << " force " << t.force;
    }
  }
}

// The cells whose byte `c` of texture `t` changed: each moved `down` (or up) and lies near the path.
long changedCells(const Bytes& was, const Bytes& is, Texture t, std::size_t c, bool down) {
  long n = 0;
  for (std::size_t y = 0; y < 200; ++y) {
    for (std::size_t x = 0; x < 300; ++x) {
      const int a = byteAt(was, t, x, y, c), b = byteAt(is, t, x, y, c);
      if (a == b) continue;
      ++n;
      EXPECT_EQ(b < a, down) << x << ", " << y;
      EXPECT_TRUE(x >= 80 && x < 180 && y >= 70 && y < 130) << "changed off the path at " << x << ", " << y;
    }
  }
  return n;
}

// How much neighbouring cells around the path differ, in wet thickness and colour.
long contrast(const Bytes& l) {
  long sum = 0;
  for (std::size_t y = 85; y < 115; ++y)
    for (std::size_t x = 110; x < 150; ++x)
      for (std::size_t c = 0; c < 4; ++c) {
        sum += std::abs(byteAt(l, Wet, x, y, c) - byteAt(l, Wet, x + 1, y, c)) +
               std::abs(byteAt(l, Wet, x, y, c) - byteAt(l, Wet, x, y + 1, c));
      }
  return sum;
}

TEST_F(WorkingTools, AStrokeOfEachDoesItsWorkAlongThePathAndUndoGivesTheLayerBack) {
  const struct {
    std::function<void(std::size_t, std::size_t, Texel&, Texel&, Texel&)> paint;
    std::function<void(const Bytes& was, const Bytes& is, long headPaint)> check;
  } cases[] = {
      // The towel wipes a film of wet paint off into its head (which soaks many bytes into a cell).
      {[](std::size_t x, std::size_t, Texel& g, Texel& w, Texel&) {
         if (x >= 40 && x < 260) g = {252, 0, 0, TOOL_FLUID}, w = {200, 40, 40, 6};
       },
       [](const Bytes& was, const Bytes& is, long held) {
         EXPECT_GT(changedCells(was, is, Wet, 3, true), 40 * 10);
         EXPECT_LT(amountOf(is, Wet), amountOf(was, Wet) - 1000);
         EXPECT_GT(held, 0);
       }},
      // The sander grinds dry paint of varying thickness down, never up.
      {[](std::size_t x, std::size_t y, Texel&, Texel&, Texel& d) {
         d = {120, 80, 60, static_cast<std::uint8_t>(40 + (x * 7 + y * 13) % 30)};
       },
       [](const Bytes& was, const Bytes& is, long) {
         EXPECT_GT(changedCells(was, is, Dry, 3, true), 40 * 10);
         EXPECT_EQ(amountOf(is, Wet) + amountOf(was, Wet), 0) << "no wet paint made";
       }},
      // Turpentine wets half-dried paint again, adding none.
      {[](std::size_t x, std::size_t, Texel& g, Texel& w, Texel&) {
         g = {100, 0, 0, TOOL_FLUID}, w = {40, 90, 160, static_cast<std::uint8_t>(x % 8 < 4 ? 10 : 30)};
       },
       [](const Bytes& was, const Bytes& is, long) {
         EXPECT_GT(changedCells(was, is, Grid, 0, false), 40 * 10);
         EXPECT_EQ(amountOf(is, Wet), amountOf(was, Wet));
       }},
      // The mop softens a checkerboard of thin red and thick blue paint, keeping all of it.
      {[](std::size_t x, std::size_t y, Texel& g, Texel& w, Texel&) {
         g = {252, 0, 0, TOOL_FLUID}, w = (x / 2 + y / 2) % 2 ? Texel{220, 30, 30, 12} : Texel{30, 30, 220, 36};
       },
       [](const Bytes& was, const Bytes& is, long) {
         EXPECT_NEAR(amountOf(is, Wet), amountOf(was, Wet), 0.005 * amountOf(was, Wet));
         EXPECT_LT(contrast(is), contrast(was) * 3 / 4);
       }},
  };
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    SCOPED_TRACE(kKinds[i].scene);
    const auto tool = current(kKinds[i].make());
    paintLayer(cases[i].paint);
    const Bytes before = strokes.layerBytes();
    strokes.drag({110, 100}, {150, 100}, 9);
    cases[i].check(before, strokes.layerBytes(), testsupport::StrokeCanvas::headPaint(*tool));
    ASSERT_TRUE(strokes.undo());
    EXPECT_EQ(strokes.layerBytes(), before);
  }
}

}  // namespace
}  // namespace tessivarium

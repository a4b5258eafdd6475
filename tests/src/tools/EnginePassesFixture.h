#pragma once
// A thick-paint tool for the engine's tests, with a head whose descriptor record the test can
// read back (HeadModel, a RecordedHead) and a stroke surface that takes `perWindow` samples a step
// and journals its window steps (EngineSurface). The tool is current on a 300 x 200 main canvas.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BytesAt.h"
#include "RecordedHead.h"
#include "TestCanvas.h"
#include "gpu/Gpu.h"
#include "tools/AbstractDAEDrawingTool.h"
#include "tools/AbstractDAEToolViewer.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPassInputs.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace enginetest {

using namespace tessivarium;
using Journal = std::vector<std::string>;

// The head every engine test measures: 8 x 8 x 4 cells, its record read back by the tests.
class HeadModel : public testsupport::RecordedHead {
 public:
  explicit HeadModel(DefaultToolViewer& viewer) : RecordedHead(viewer, 8, 8, 4) {}
};

class EngineSurface : public ToolSurface {
 public:
  EngineSurface(AbstractDrawingTool& tool, Journal& journal) : ToolSurface(tool), journal_(journal) {}

  void loads() override {}
  void updateChange() override {}
  void touchEnd() override {}
  std::shared_ptr<ToolModel> getModel() override { return model; }
  void reset(const TouchInputs& inputs) override {
    journal_.push_back("reset " + std::to_string(inputs.size()));
    touchInputData().reset();
    TouchInputs carried;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (i < perWindow) {
        touchInputData().append(1, 2, 5, *inputs[i]);
      } else {
        carried.push_back(inputs[i]);
      }
    }
    setTouchInputs(std::move(carried));
  }
  void encodeInput(gpu::ComputeCommandEncoder& encoder) override;
  bool isForwardDrawing(float rotation) override {
    askedRotation = rotation;
    return forward;
  }
  void encodeStart(DrawingPaint&, gpu::CommandBuffer&) override { journal_.push_back("start"); }
  void encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer) override {
    journal_.push_back("loop " + std::to_string(touchInputData().count()));
    if (step) step->encode(paint, buffer);
  }

  std::shared_ptr<ToolModel> model;
  std::shared_ptr<ToolEncoder> step;  // run by every loop
  std::size_t perWindow = 3;
  bool forward = true;
  float askedRotation = -1;

 private:
  Journal& journal_;
};

class EngineTool : public AbstractDAEDrawingTool {
 public:
  EngineTool(ToolType type, Journal& journal) : AbstractDAEDrawingTool(type), journal_(journal) {}
  std::shared_ptr<ToolSurface> createToolSurface() override {
    return std::make_shared<EngineSurface>(*this, journal_);
  }
  std::shared_ptr<ToolViewer> createToolViewer() override {
    return std::make_shared<AbstractDAEToolViewer>(*this, "EngineHead");
  }
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override { return initializers; }

  EngineSurface& surface() { return static_cast<EngineSurface&>(*toolSurface()); }
  DefaultToolViewer& viewer() { return static_cast<DefaultToolViewer&>(*toolViewer()); }

  std::vector<std::shared_ptr<ToolEncoder>> initializers;

 private:
  Journal& journal_;
};


// Every engine suite runs at the debug mode the system starts with (Height) and at None.
class EngineTest : public ::testing::TestWithParam<KnifeDebugMode> {
 protected:
  EngineTest() {
    DEBUG_DAE_KNIFE = GetParam();
    AppManager().setCanvas(canvas);
  }

  // A tool of `type` made current on the canvas, with a head (measured unless `plain`).
  std::shared_ptr<EngineTool> makeTool(ToolType type, bool plain = false) {
    auto made = std::make_shared<EngineTool>(type, journal);
    AppManager().setCurrentPaint(canvas);
    AppManager().setCurrentTool(made);
    std::shared_ptr<ToolModel> model = plain ? std::make_shared<ToolModel>(made->viewer(), 8, 8, 4)
                                             : std::make_shared<HeadModel>(made->viewer());
    made->viewer().setToolModel(model);
    made->surface().model = model;
    return made;
  }
  std::shared_ptr<gpu::CommandBuffer> buffer() { return AppManager().commandQueue()->makeCommandBuffer(); }
  SurfaceWorkingTextures& working() { return AppManager().surfaceTextures(); }

  // The dispatches of encoding `pass` once.
  std::vector<gpu::DispatchRecord> dispatchesOf(ToolEncoder& pass) {
    gpu::commandTrace().start();
    auto b = buffer();
    pass.encode(*canvas, *b);
    auto d = gpu::commandTrace().dispatches();
    gpu::commandTrace().stop();
    return d;
  }

  // A 2-D texture's bytes, row by row.
  static std::vector<std::uint8_t> bytesOf(const gpu::Texture& texture) {
    std::vector<std::uint8_t> out(texture.width() * texture.height() * 4);
    texture.readRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, out, texture.width() * 4);
    return out;
  }
  static float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return testsupport::at<float>(bytes.data(), offset);
  }
  static std::int32_t intAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return testsupport::at<std::int32_t>(bytes.data(), offset);
  }

  Journal journal;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200);
};

#define ENGINE_SUITE_AT_BOTH_MODES(suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(DebugModes, suite,                                              \
                           ::testing::Values(KnifeDebugMode::Height, KnifeDebugMode::None), \
                           [](const auto& info) { return info.param == KnifeDebugMode::None ? "None" : "Height"; })

}  // namespace enginetest

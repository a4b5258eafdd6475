#pragma once
// Painting tools for tests. FakeTool records what the manager and the canvas ask of it and does
// nothing else. StrokeTool is a real AbstractDrawingTool whose viewer and stroke surface only
// record what the tool asks of them (RecordingToolViewer, RecordingToolSurface), so a test sees
// the tool's own steps in order; its encode records the samples it was given.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Artwork.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "tools/ToolViewer.h"

namespace testsupport {

class FakeTool : public tessivarium::AbstractDrawingTool {
 public:
  explicit FakeTool(tessivarium::ToolType type, std::vector<std::string>* journal = nullptr)
      : AbstractDrawingTool(type), journal_(journal) {}

  void handleEnabled(bool force) override {
    note(std::string("enabled ") + (force ? "forced" : "unforced"));
    ++enabledCount;
    setHandledEnabled(true);
  }
  void handleDisabled() override {
    note("disabled");
    ++disabledCount;
    AbstractDrawingTool::handleDisabled();
  }
  void dettachViewer() override {
    note("dettachViewer");
    ++detachCount;
  }
  void loads() override {
    note("loads");
    ++loadCount;
    if (onLoads) onLoads();
  }

  int enabledCount = 0;
  int disabledCount = 0;
  int detachCount = 0;
  int loadCount = 0;
  std::function<void()> onLoads;  // may throw, to fail the load

 private:
  void note(const std::string& what) {
    if (journal_) journal_->push_back(std::string(tessivarium::describe(toolType())) + " " + what);
  }
  std::vector<std::string>* journal_;
};

using Journal = std::vector<std::string>;

class RecordingToolViewer : public tessivarium::ToolViewer {
 public:
  explicit RecordingToolViewer(Journal& journal) : journal_(journal) {}

  const std::shared_ptr<tessivarium::ToolModel>& toolModel() const override { return toolModel_; }
  void setToolModel(std::shared_ptr<tessivarium::ToolModel> model) override { toolModel_ = std::move(model); }
  gpu::Size size() const override { return {73, 73, 0}; }
  void attachView() override { note("viewer attachView"); }
  void dettachView() override { note("viewer dettachView"); }
  void updateOnToolChange() override { note("viewer updateOnToolChange"); }
  void clean() override { note("viewer clean"); }
  void reset() override { note("viewer reset"); }
  void savePattern() override { note("viewer savePattern"); }
  float rotation() const override { return rotation_; }
  void setRotation(float rotation) override {
    rotation_ = rotation;
    note("viewer rotation " + foundation::describe(rotation));
  }
  void loads() override {
    note("viewer loads");
    if (onLoads) onLoads();
  }
  void pickPattern(const tessivarium::TouchInput&, float rotation) override {
    note("viewer pickPattern " + foundation::describe(rotation));
  }
  void touchesBegan(const ui::TouchSet&, const ui::Event*) override { note("viewer touchesBegan"); }
  void touchesMoved(const ui::TouchSet&, const ui::Event*) override { note("viewer touchesMoved"); }
  void touchesEnded(const ui::TouchSet&, const ui::Event*) override { note("viewer touchesEnded"); }

  std::function<void()> onLoads;  // may throw, to fail the load

 private:
  void note(std::string what) { journal_.push_back(std::move(what)); }

  Journal& journal_;
  std::shared_ptr<tessivarium::ToolModel> toolModel_;
  float rotation_ = 0;
};

// The stroke window's steps, recorded; encodeSave runs `onSave` (a test may copy there).
class RecordingToolSurface : public tessivarium::ToolSurface {
 public:
  RecordingToolSurface(tessivarium::AbstractDrawingTool& tool, Journal& journal) : ToolSurface(tool), journal_(journal) {}

  void loads() override { journal_.push_back("surface loads"); }
  void updateChange() override { journal_.push_back("surface updateChange"); }
  void touchEnd() override {
    journal_.push_back("surface touchEnd");
    setOrigin(std::nullopt);
  }
  void encodeSave(tessivarium::DrawingPaint& paint, gpu::CommandBuffer& buffer) override {
    journal_.push_back("surface encodeSave");
    if (onSave) onSave(paint, buffer);
  }

  // The model of the tool's viewer, as the stroke window finds it.
  std::shared_ptr<tessivarium::ToolModel> getModel() override { return tool().toolViewer()->toolModel(); }

  std::function<void(tessivarium::DrawingPaint&, gpu::CommandBuffer&)> onSave;

 private:
  Journal& journal_;
};

class StrokeTool : public tessivarium::AbstractDrawingTool {
 public:
  explicit StrokeTool(Journal& journal, tessivarium::ToolType type = tessivarium::ToolType::knife1)
      : AbstractDrawingTool(type), journal_(journal) {}

  std::shared_ptr<RecordingToolViewer> viewer() {
    return std::static_pointer_cast<RecordingToolViewer>(toolViewer());
  }
  std::shared_ptr<RecordingToolSurface> surface() {
    return std::static_pointer_cast<RecordingToolSurface>(toolSurface());
  }

  std::shared_ptr<tessivarium::ToolViewer> createToolViewer() override {
    return std::make_shared<RecordingToolViewer>(journal_);
  }
  std::shared_ptr<tessivarium::ToolSurface> createToolSurface() override {
    return std::make_shared<RecordingToolSurface>(*this, journal_);
  }
  std::shared_ptr<tessivarium::ToolController> createController() override {
    ++controllerRequests;
    return nullptr;
  }
  void switchControler() override { journal_.push_back("switchControler"); }
  // Records the samples handed to it; `onEncode` may add GPU work or move the surface's window.
  void encode(tessivarium::DrawingPaint& paint, gpu::CommandBuffer& buffer) override {
    journal_.push_back("encode " + std::to_string(touchInputs().size()));
    encoded.push_back(touchInputs());
    if (onEncode) onEncode(paint, buffer);
  }

  std::vector<tessivarium::TouchInputs> encoded;
  std::function<void(tessivarium::DrawingPaint&, gpu::CommandBuffer&)> onEncode;
  int controllerRequests = 0;

 private:
  Journal& journal_;
};

// A stroke surface that loads working regions as the stroke window does: it records the origin its
// caller set, then copies the layer's region at that origin (at most MAC_WIDTH cells a side) into
// the working textures numbered 0; `onLoad` sees each layer as it is loaded.
class LoadingToolSurface : public RecordingToolSurface {
 public:
  using RecordingToolSurface::RecordingToolSurface;

  void encodeLoads(tessivarium::ArtworkTextures& layer, gpu::CommandBuffer& buffer) override {
    loads.push_back(origin());
    if (onLoad) onLoad(layer);
    auto& working = tessivarium::AppManager().surfaceTextures();
    const gpu::Origin at = origin().value_or(gpu::Origin{});
    const auto side = [](std::size_t cells) { return std::min<std::size_t>(cells, tessivarium::MAC_WIDTH); };
    const gpu::Size size{side(layer.gridTexture()->width()), side(layer.gridTexture()->height()), 1};
    auto blit = buffer.makeBlitCommandEncoder();
    blit->copy(layer.gridTexture(), 0, 0, at, size, working.gridTexture0(), 0, 0, gpu::Origin{});
    blit->copy(layer.wetTexture(), 0, 0, at, size, working.wetTexture0(), 0, 0, gpu::Origin{});
    blit->copy(layer.dryTexture(), 0, 0, at, size, working.dryTexture0(), 0, 0, gpu::Origin{});
    blit->endEncoding();
  }

  std::vector<std::optional<gpu::Origin>> loads;
  std::function<void(tessivarium::ArtworkTextures&)> onLoad;
};

// A StrokeTool that also notes, in `calls`, each call the canvas and the layers' frames make of
// it (then does what the tool base does), and loads regions through a LoadingToolSurface.
class FrameTool : public StrokeTool {
 public:
  explicit FrameTool(tessivarium::ToolType type = tessivarium::ToolType::knife1) : StrokeTool(journal, type) {}

  std::shared_ptr<LoadingToolSurface> loadingSurface() {
    return std::static_pointer_cast<LoadingToolSurface>(toolSurface());
  }
  std::shared_ptr<tessivarium::ToolSurface> createToolSurface() override {
    return std::make_shared<LoadingToolSurface>(*this, journal);
  }

  void handleEnabled(bool force) override {
    calls.push_back(force ? "handleEnabled forced" : "handleEnabled");
    AbstractDrawingTool::handleEnabled(force);
  }
  void updateChange() override {
    calls.push_back("updateChange");
    AbstractDrawingTool::updateChange();
  }
  void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override {
    calls.push_back("touchesBegan");
    AbstractDrawingTool::touchesBegan(touches, event);
  }
  void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) override {
    calls.push_back("touchesMoved");
    AbstractDrawingTool::touchesMoved(touches, event);
  }
  void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) override {
    calls.push_back("touchesEnded");
    AbstractDrawingTool::touchesEnded(touches, event);
  }
  // Notes the number of pending samples and whether a frame callback came along.
  void interactiveDraw(tessivarium::DrawingPaint& paint, std::function<void()> completed) override {
    calls.push_back("interactiveDraw " + std::to_string(touchInputs().size()) + (completed ? " with handler" : ""));
    AbstractDrawingTool::interactiveDraw(paint, std::move(completed));
  }
  void handleEnd(tessivarium::DrawingPaint& paint) override {
    calls.push_back("handleEnd");
    AbstractDrawingTool::handleEnd(paint);
  }

  Journal journal;  // the viewer's and the surface's steps
  Journal calls;
};

}  // namespace testsupport

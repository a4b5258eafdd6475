// Every tool the application manager gives, through every path a host drives it: loaded, made
// current, filled with a colour (or refusing it), dragged in three frames across two working
// windows through the canvas's touches, the stroke ended, undone and redone; with and without a
// mask, on the main canvas and on a palette, with the debug chain off and on. The close of the
// canvases then leaves counted only the textures the manager and the tool still hold. And every
// tool's head kept up (saved, reset, cleaned, cleaned at a stroke's end) at the starting debug
// value; and every tool's stroke the same however its samples fall into frames and however densely
// they come. One case is one test, so that CTest runs them side by side.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <ostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ConsoleCapture.h"
#include "RecordedErrors.h"
#include "StrokeTouches.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "components/RawData.h"
#include "gpu/CommandTrace.h"
#include "gpu/Texture.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "imaging/Image.h"
#include "tools/AbstractDAEDrawingTool.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEDialController.h"
#include "tools/DebugSwitches.h"
#include "tools/SoloDAEToolController.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolFamilies.h"
#include "tools/ToolModel.h"
#include "tools/ToolViewer.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/TouchSet.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ToolEntry {
  const char* name;
  std::shared_ptr<AbstractDrawingTool> (*get)();
};

// Every tool field of the manager: the registry's 26 and the three it leaves out.
const std::vector<ToolEntry>& allTools() {
  static const std::vector<ToolEntry> tools = {
#define TESS_MATRIX_TOOL(Class, name, Name) \
  {#Name, [] { return std::shared_ptr<AbstractDrawingTool>(AppManager().name()); }},
      TESS_MANAGER_TOOL_FIELDS(TESS_MATRIX_TOOL)
#undef TESS_MATRIX_TOOL
  };
  return tools;
}

// Wide enough that a stroke along it leaves its first 256-cell window.
constexpr std::size_t kWidth = 400, kHeight = 200;
// The mask keeps paint off the columns [kMaskedFrom, kMaskedTo), across the stroke's path.
constexpr std::size_t kMaskedFrom = 180, kMaskedTo = 220;

void runFrames() {
  while (ui::FrameSource::main().displayFrame() > 0) {
  }
}

std::shared_ptr<graphics::Image> maskImage() {
  Bytes rgba(kWidth * kHeight * 4, 255);
  for (std::size_t y = 0; y < kHeight; ++y)
    for (std::size_t x = kMaskedFrom; x < kMaskedTo; ++x) rgba[(y * kWidth + x) * 4 + 3] = 0;
  return std::make_shared<graphics::Image>(
      graphics::Bitmap::make(kWidth, kHeight, std::move(rgba), graphics::AlphaMode::Straight));
}

// A band along the stroke's path of half-wet paint in ridges over dry paint, so that every tool
// finds something to move, stir, wet, dry, wipe or sand: the high ridges orange, the low ones blue.
void layPaint(ArtworkTextures& layer) {
  Bytes grid = TextureUtil::toRawData(*layer.gridTexture()), wet = TextureUtil::toRawData(*layer.wetTexture()),
        dry = TextureUtil::toRawData(*layer.dryTexture());
  for (std::size_t y = 80; y < 120; ++y)
    for (std::size_t x = 20; x < 380; ++x) {
      const std::size_t at = (y * kWidth + x) * 4;
      const bool high = (x / 6 + y / 6) % 2;
      wet[at] = high ? 200 : 40, wet[at + 1] = high ? 60 : 90, wet[at + 2] = high ? 30 : 200, wet[at + 3] = high ? 60 : 20;
      dry[at] = 40, dry[at + 1] = 90, dry[at + 2] = 160, dry[at + 3] = 30;
      grid[at] = 128, grid[at + 3] = TOOL_FLUID;
    }
  TextureUtil::loadRawData(layer.gridTexture(), grid, kWidth, kHeight, 1);
  TextureUtil::loadRawData(layer.wetTexture(), wet, kWidth, kHeight, 1);
  TextureUtil::loadRawData(layer.dryTexture(), dry, kWidth, kHeight, 1);
}

// The layer's grid, wet and dry bytes, one texture after the other.
Bytes layerBytes(ArtworkTextures& layer) {
  Bytes all;
  for (const auto& texture : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
    const Bytes bytes = TextureUtil::toRawData(*texture);
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  return all;
}

// Cells under the mask that differ between two layerBytes(), byte B of the grid left out (the
// kernels' own marks).
std::size_t maskedChanges(const Bytes& before, const Bytes& after) {
  std::size_t changed = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    const std::size_t x = i / 4 % kWidth;
    const bool gridMark = i < kWidth * kHeight * 4 && i % 4 == 2;
    changed += x >= kMaskedFrom && x < kMaskedTo && !gridMark && after[i] != before[i];
  }
  return changed;
}

// Eighteen samples from x = 40 to 360 along y = 100, six to a display frame: down, moved, up; then
// the frames that end the stroke.
void drag(DrawingPaint& canvas) {
  const auto finger = testsupport::stylusTouch(40, 100);
  for (int frame = 0; frame < 3; ++frame) {
    std::vector<std::shared_ptr<ui::Touch>> batch;
    for (int i = 0; i < 6; ++i) batch.push_back(testsupport::stylusTouch(40 + 320 * (6 * frame + i) / 17.0, 100));
    ui::Event event;
    event.setCoalescedTouches(finger, batch);
    const auto phase = frame == 0 ? &DrawingPaint::touchesBegan
                       : frame == 2 ? &DrawingPaint::touchesEnded
                                    : &DrawingPaint::touchesMoved;
    (canvas.*phase)(ui::TouchSet{finger}, &event);
    ui::FrameSource::main().displayFrame();
  }
  runFrames();
}

std::int64_t bytesOf(const std::shared_ptr<gpu::Texture>& texture) {
  return texture ? static_cast<std::int64_t>(texture->width() * texture->height() * texture->depth() * 4) : 0;
}

// What stays counted once the canvases are gone: the working textures and the tool's head, each
// made here when it was not yet (so the count grows by what is added to the sum).
std::int64_t keptBytes(AbstractDrawingTool& tool) {
  std::int64_t kept = 0;
  auto& working = AppManager().surfaceTextures();
#define TESS_MATRIX_WORKING(name, Name) kept += bytesOf(working.name());
  TESS_WORKING_TEXTURES(TESS_MATRIX_WORKING)
#undef TESS_MATRIX_WORKING
  if (const auto& model = tool.toolViewer()->toolModel()) {
    for (const auto* texture : {&model->colorTexture0(), &model->colorTexture1(), &model->savedColorTexture(),
                                &model->previewHeightTexture(), &model->previewColorTexture()}) {
      kept += bytesOf(*texture);
    }
  }
  return kept;
}

// The main canvas, set and current, as a host makes it first.
std::shared_ptr<DrawingPaint> currentMainCanvas() {
  const auto main = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(kWidth, kHeight));
  AppManager().setCanvas(main);
  AppManager().setCurrentPaint(main);
  return main;
}

bool actsOnTheWholeLayer(ToolType type) { return type == ToolType::dryer || type == ToolType::wetter; }

struct MatrixCase {
  std::size_t tool;
  bool masked;
  bool palette;
  KnifeDebugMode debug;
};

// How a case reads in a test's name and in CTest's list.
std::string caseName(const MatrixCase& c) {
  return std::string(allTools()[c.tool].name) + (c.masked ? "_Masked" : "") + (c.palette ? "_Palette" : "_Main") +
         (c.debug == KnifeDebugMode::None ? "_None" : "_Height");
}
void PrintTo(const MatrixCase& c, std::ostream* out) { *out << caseName(c); }

class ToolMatrix : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(ToolMatrix, LoadFillStrokeUndoRedoAndClose) {
  const MatrixCase c = GetParam();
  testsupport::ConsoleCapture console;
  DEBUG_DAE_KNIFE = c.debug;
  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  const auto shading = imaging::Image::fromTexture(AppManager().makeTexture(4, 4));
  const std::int64_t heap = AppManager().heapSize();

  // As a host starts: the main canvas set and current, then the tool loaded and chosen.
  const auto main = currentMainCanvas();
  const auto canvas = c.palette ? AppManager().createPalette(kWidth, kHeight) : main;
  if (c.masked) canvas->setMaskImage(maskImage());
  const auto tool = allTools()[c.tool].get();
  tool->loads();
  AppManager().setCurrentTool(tool);
  main->setShadingImage(shading);
  if (canvas != main) canvas->setShadingImage(shading);
  runFrames();

  tool->fillColor(graphics::Color::fromRGBA(0.2, 0.5, 0.7, 1.0));
  runFrames();
  const bool refuses = !tool->canFillColor() && dynamic_cast<AbstractDAEDrawingTool*>(tool.get());
  EXPECT_EQ(errors->errors, refuses ? std::vector{ErrorMessage::CannotFillColor} : std::vector<ErrorMessage>{});

  auto& layer = *canvas->currentContent();
  layPaint(layer);
  const Bytes before = layerBytes(layer);
  drag(*canvas);
  const Bytes after = layerBytes(layer);
  ASSERT_NE(after, before) << "the stroke changed nothing";
  if (c.masked && !actsOnTheWholeLayer(tool->toolType())) {
    EXPECT_EQ(maskedChanges(before, after), 0u) << "paint kept off the mask";
  }

  const auto& history = canvas->commandManager()->operationPool().operations();
  if (c.palette) {
    EXPECT_TRUE(history.empty()) << "a palette keeps no history";
  } else {
    ASSERT_EQ(history.size(), 1u);
    const auto step = std::dynamic_pointer_cast<DrawingArtworkDrawingOperation>(history[0]);
    ASSERT_TRUE(step && step->operations());
    EXPECT_GE(step->operations()->size(), 2u) << "the stroke crossed two working windows";
    ASSERT_TRUE(canvas->commandManager()->undo());
    EXPECT_TRUE(layerBytes(layer) == before) << "undo gives the layer back";
    ASSERT_TRUE(canvas->commandManager()->redo());
    EXPECT_TRUE(layerBytes(layer) == after) << "redo paints the stroke again";
  }

  AppManager().cleanResources();
  const std::int64_t kept = keptBytes(*tool);
  EXPECT_EQ(AppManager().heapSize() - heap, kept);
}

// Eight cases a tool: every combination of the mask (none or one), the canvas (main or palette)
// and the debug chain (None or Height).
std::vector<MatrixCase> everyCase() {
  std::vector<MatrixCase> out;
  for (std::size_t t = 0; t < allTools().size(); ++t) {
    for (const bool masked : {false, true}) {
      for (const bool palette : {false, true}) {
        for (const KnifeDebugMode debug : {KnifeDebugMode::None, KnifeDebugMode::Height}) out.push_back({t, masked, palette, debug});
      }
    }
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolMatrix, ::testing::ValuesIn(everyCase()),
                         [](const ::testing::TestParamInfo<MatrixCase>& info) { return caseName(info.param); });

// Every tool's head upkeep on a started main canvas at the starting debug value: savePattern, reset
// and clean each act on the head only as far as the tool allows and only where it has a head, and
// clean shows the head's heights where there is one to show; cleaning through setAutoClean and at
// the end of a stroke with autoClean on ends the same way. None of it may stop the program.
class ToolHead : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ToolHead, SaveResetCleanAndAutoCleanKeepTheHeadAsTheToolAllows) {
  testsupport::ConsoleCapture console;
  const auto canvas = currentMainCanvas();
  const auto tool = allTools()[GetParam()].get();
  tool->loads();
  AppManager().setCurrentTool(tool);
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
  runFrames();
  ASSERT_EQ(DEBUG_DAE_KNIFE, KnifeDebugMode::Height);
  const auto model = tool->toolViewer()->toolModel();

  gpu::commandTrace().start();
  tool->clean();
  const auto kernels = gpu::commandTrace().kernelNames();
  EXPECT_EQ(std::count(kernels.begin(), kernels.end(), "DAEToolModel_paint_height"), model ? 1 : 0)
      << "the heights are shown where there is a head";
  if (!model) {
    const Bytes layer = layerBytes(*canvas->currentContent());
    tool->savePattern();
    tool->reset();
    tool->setAutoClean(true);
    EXPECT_TRUE(layerBytes(*canvas->currentContent()) == layer) << "a tool without a head leaves the layer alone";
    drag(*canvas);
    return;
  }

  const auto head = [&] { return TextureUtil::toRawData(*model->colorTexture0()); };
  const Bytes emptied = head();
  // Fills the head with `value` and gives its bytes.
  const auto load = [&](std::uint8_t value) {
    const RawData pattern(model->width(), model->height(), model->depth(), Bytes(emptied.size(), value));
    model->setToolPattern(pattern);
    return pattern.grid();
  };
  const Bytes saving = load(41);
  tool->savePattern();
  const Bytes saved = TextureUtil::toRawData(*model->savedColorTexture());
  EXPECT_EQ(saved == saving, tool->canSavePattern());
  const Bytes loaded = load(42);
  tool->reset();
  EXPECT_EQ(head(), tool->canReset() ? saved : loaded);
  const Bytes cleaning = load(43);
  tool->clean();
  EXPECT_EQ(head(), tool->canClean() ? emptied : cleaning);
  const Bytes autoCleaning = load(44);
  tool->setAutoClean(true);
  EXPECT_EQ(head(), tool->canClean() ? emptied : autoCleaning) << "setAutoClean(true) cleans";

  load(45);
  layPaint(*canvas->currentContent());
  drag(*canvas);
  if (tool->canClean()) {
    EXPECT_EQ(head(), emptied) << "the stroke's end cleans";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolHead, ::testing::Range<std::size_t>(0, allTools().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) { return allTools()[info.param].name; });

// What a framing stroke is drawn over: a bare layer, layPaint's ridges, or thick lines of fully
// wet paint across the path, as a tube lays them, through which a knife cuts and banks.
enum class Bed { Bare, Ridged, ThickLines };

// Lines of fully wet paint 90 bytes thick across the stroke's path, 6 cells wide and 14 apart.
void layThickLines(ArtworkTextures& layer) {
  Bytes grid = TextureUtil::toRawData(*layer.gridTexture()), wet = TextureUtil::toRawData(*layer.wetTexture());
  for (std::size_t y = 70; y < 130; ++y)
    for (std::size_t x = 30; x < 370; ++x) {
      if ((x - 30) % 14 >= 6) continue;
      const std::size_t at = (y * kWidth + x) * 4;
      wet[at] = 30, wet[at + 1] = 60, wet[at + 2] = 200, wet[at + 3] = 90;
      grid[at] = 252, grid[at + 3] = TOOL_FLUID;
    }
  TextureUtil::loadRawData(layer.gridTexture(), grid, kWidth, kHeight, 1);
  TextureUtil::loadRawData(layer.wetTexture(), wet, kWidth, kHeight, 1);
}

// A tool of the manager and what it strokes over.
struct ToolOnBed {
  std::size_t tool;
  Bed bed;
};

// A stroke's path along y = 100 from x = 40: samples `spacing` points apart over `length` points
// (a tap, one sample, over none).
struct Path {
  double spacing = 2, length = 320;
  std::size_t samples() const { return static_cast<std::size_t>(std::lround(length / spacing)) + 1; }
};

// How a framing stroke ends: the stylus lifts with its last samples, or in a frame of its own that
// brings none once the frames before have drawn them all, there after a rebuild of the layer's
// picture has written the stroke's window back.
enum class Ending { WithTheLastSamples, Apart, ApartAfterARebuild };

// The layer before and after a stroke along `path` (by default 161 samples 2 cells apart),
// `perFrame` to a display frame, 1/240 s apart; the last sample lifts the stylus in a frame of its
// own when all would otherwise touch down in one (a lone sample, a tap, touches down and lifts in
// two).
std::pair<Bytes, Bytes> strokeInFrames(std::size_t tool, Bed bed, std::size_t perFrame, Path path = {},
                                       Ending ending = Ending::WithTheLastSamples) {
  testsupport::ConsoleCapture console;
  const auto canvas = currentMainCanvas();
  const auto drawing = allTools()[tool].get();
  drawing->loads();
  AppManager().setCurrentTool(drawing);
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
  runFrames();
  // A head keeps what it took up from one stroke to the next (the towel, the mop, the roller's
  // drum, which the painter cannot clean): emptied, each stroke starts with the same head.
  if (drawing->canClean()) {
    drawing->clean();
  } else if (const auto& model = drawing->toolViewer()->toolModel()) {
    model->clean();
  }
  runFrames();
  drawing->fillColor(graphics::Color::fromRGBA(0.2, 0.5, 0.7, 1.0));
  runFrames();
  auto& layer = *canvas->currentContent();
  if (bed == Bed::Ridged) layPaint(layer);
  if (bed == Bed::ThickLines) layThickLines(layer);
  const Bytes before = layerBytes(layer);
  const std::size_t samples = path.samples();
  std::vector<std::vector<std::size_t>> frames;
  for (std::size_t i = 0; i < samples; i += perFrame) {
    frames.emplace_back();
    for (std::size_t j = i; j < std::min(samples, i + perFrame); ++j) frames.back().push_back(j);
  }
  if (frames.size() == 1 && ending == Ending::WithTheLastSamples) {
    frames.push_back({frames.front().back()});
    if (samples > 1) frames.front().pop_back();
  }
  const auto touchAt = [&path](std::size_t j, ui::TouchPhase phase) {
    ui::TouchState state;
    state.type = ui::TouchType::Stylus, state.phase = phase;
    state.location = {40.0 + path.spacing * static_cast<double>(j), 100};
    state.force = 1.0, state.maximumPossibleForce = 4.0, state.altitudeAngle = 0.9, state.azimuthAngle = 0.4;
    state.timestamp = static_cast<double>(j) / 240;
    return state;
  };
  std::shared_ptr<ui::Touch> pen;
  const auto send = [&](auto phase, const std::vector<std::shared_ptr<ui::Touch>>& batch) {
    ui::Event event;
    event.setCoalescedTouches(pen, batch);
    (canvas.get()->*phase)(ui::TouchSet{pen}, &event);
    ui::FrameSource::main().displayFrame();
  };
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const bool first = f == 0, last = ending == Ending::WithTheLastSamples && f + 1 == frames.size();
    std::vector<std::shared_ptr<ui::Touch>> batch;
    for (const std::size_t j : frames[f]) {
      const ui::TouchState state = touchAt(j, first && j == frames[f].front() ? ui::TouchPhase::Began
                                              : last && j == frames[f].back() ? ui::TouchPhase::Ended
                                                                              : ui::TouchPhase::Moved);
      batch.push_back(ui::Touch::make(state));
      if (!pen) {
        pen = ui::Touch::make(state);
      } else {
        pen->update(state);
      }
    }
    send(first ? &DrawingPaint::touchesBegan : last ? &DrawingPaint::touchesEnded : &DrawingPaint::touchesMoved, batch);
  }
  if (ending != Ending::WithTheLastSamples) {
    if (ending == Ending::ApartAfterARebuild) layer.recreatedDraw(false);
    pen->update(touchAt(samples - 1, ui::TouchPhase::Ended));
    send(&DrawingPaint::touchesEnded, {});
  }
  runFrames();
  return {before, layerBytes(layer)};
}

// A layerBytes() cell's wet and dry thickness bytes.
std::array<int, 2> thicknessAt(const Bytes& layer, std::size_t cell) {
  const std::size_t cells = kWidth * kHeight;
  return {layer[(cells + cell) * 4 + 3], layer[(2 * cells + cell) * 4 + 3]};
}

// The cells of a layerBytes() whose grid texel is held back from the blur.
std::size_t heldCells(const Bytes& layer) {
  std::size_t held = 0;
  for (std::size_t i = 0; i < kWidth * kHeight; ++i) held += layer[i * 4 + 2] == 3;
  return held;
}

// A layerBytes() without the grid's byte B, the kernels' marks.
Bytes withoutMarks(Bytes layer) {
  for (std::size_t i = 0; i < kWidth * kHeight; ++i) layer[i * 4 + 2] = 0;
  return layer;
}

std::int64_t paintOf(const Bytes& layer) {
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < kWidth * kHeight; ++i) sum += thicknessAt(layer, i)[0] + thicknessAt(layer, i)[1];
  return sum;
}

// Whether a stroke changed cell i of a layer: any of its bytes but the grid's mark.
bool changed(const Bytes& before, const Bytes& after, std::size_t i) {
  for (std::size_t b = 0; b < 12; ++b) {
    const std::size_t at = (b / 4 * kWidth * kHeight + i) * 4 + b % 4;
    if (b != 2 && before[at] != after[at]) return true;
  }
  return false;
}

// The share of the cells either stroke changed whose wet or dry thickness differs by more than 8
// between the two.
double shareApart(const Bytes& before, const Bytes& one, const Bytes& other) {
  std::size_t touched = 0, apart = 0;
  for (std::size_t i = 0; i < kWidth * kHeight; ++i) {
    if (!changed(before, one, i) && !changed(before, other, i)) continue;
    ++touched;
    const auto a = thicknessAt(one, i), o = thicknessAt(other, i);
    apart += std::abs(a[0] - o[0]) > 8 || std::abs(a[1] - o[1]) > 8;
  }
  return touched == 0 ? 0 : static_cast<double>(apart) / static_cast<double>(touched);
}

// The same stroke, whatever number of its samples each display frame brings: every tool, in wet
// paint and on a bare layer, dragged at 1 and 4 samples a frame against 1000, lays the same paint
// (within 2%) and leaves the cells it changed alike (no more than 5% of them differ by more than 8
// thickness bytes, wet or dry), so a frame join leaves no mark; the knives whose frames agree
// there too, through thick lines, where what a blade banks beside it must stay held while the
// blade may still come back to it. And a stroke, a tap too, ends with no cell of the layer held
// back from the blur (the grid's byte B at kHeldMark, 3): the stroke's end levels its trail.
class ToolFraming : public ::testing::TestWithParam<ToolOnBed> {};

TEST_P(ToolFraming, TheSameStrokeAtAnyNumberOfSamplesAFrame) {
  const ToolOnBed c = GetParam();
  const auto [before, whole] = strokeInFrames(c.tool, c.bed, 1000);
  EXPECT_EQ(heldCells(whole), 0u) << "1000 samples a frame";
  const std::int64_t paint = paintOf(whole);
  for (const std::size_t perFrame : {1u, 4u}) {
    const Bytes layer = strokeInFrames(c.tool, c.bed, perFrame).second;
    EXPECT_LE(std::abs(paintOf(layer) - paint), paint / 50) << perFrame << " samples a frame: the paint laid";
    EXPECT_LE(shareApart(before, whole, layer), 0.05) << perFrame << " samples a frame: the cells changed";
    EXPECT_EQ(heldCells(layer), 0u) << perFrame << " samples a frame";
  }
  const auto [untapped, tapped] = strokeInFrames(c.tool, c.bed, 1, {2, 0});
  if (c.bed != Bed::Bare) {
    EXPECT_NE(tapped, untapped) << "a tap";
  }
  EXPECT_EQ(heldCells(tapped), 0u) << "a tap";
  // Ended by a frame of its own, after a rebuild of the layer's picture wrote the window back or not.
  const Bytes kept = strokeInFrames(c.tool, c.bed, 4, {}, Ending::Apart).second;
  const Bytes rebuilt = strokeInFrames(c.tool, c.bed, 4, {}, Ending::ApartAfterARebuild).second;
  EXPECT_EQ(withoutMarks(rebuilt), withoutMarks(kept)) << "the window written back before the end";
  EXPECT_EQ(heldCells(rebuilt), 0u) << "the window written back before the end";
}

const char* bedName(Bed bed) { return bed == Bed::Bare ? "_Bare" : bed == Bed::Ridged ? "_Wet" : "_ThickLines"; }

std::string toolOnBedName(const ::testing::TestParamInfo<ToolOnBed>& info) {
  return std::string(allTools()[info.param.tool].name) + bedName(info.param.bed);
}

// Every tool on the ridged and the bare layer; with `thickLines`, knives 1, 2 and 4 through thick
// lines too.
std::vector<ToolOnBed> everyToolOnBed(bool thickLines) {
  std::vector<ToolOnBed> out;
  for (std::size_t t = 0; t < allTools().size(); ++t) {
    for (const Bed bed : {Bed::Ridged, Bed::Bare}) out.push_back({t, bed});
    const std::string name = allTools()[t].name;
    if (thickLines && (name == "Knife1" || name == "Knife2" || name == "Knife4")) out.push_back({t, Bed::ThickLines});
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolFraming, ::testing::ValuesIn(everyToolOnBed(true)), toolOnBedName);

// What a stroke does to the layer: per cell, the thickness bytes that came or went (wet and dry)
// and the bytes of wet paint whose colour changed (as thick as it stayed, times the largest change
// of a channel over 255), so that laying, lifting, grinding and stirring all count; and the cells it
// changed.
struct StrokeWork {
  std::int64_t paint = 0;
  std::size_t cells = 0;
};

StrokeWork workOf(const Bytes& before, const Bytes& after) {
  const std::size_t cells = kWidth * kHeight;
  StrokeWork work;
  for (std::size_t i = 0; i < cells; ++i) {
    if (!changed(before, after, i)) continue;
    ++work.cells;
    const auto was = thicknessAt(before, i), is = thicknessAt(after, i);
    int colour = 0;
    for (std::size_t c = 0; c < 3; ++c)
      colour = std::max(colour, std::abs(before[(cells + i) * 4 + c] - after[(cells + i) * 4 + c]));
    work.paint += std::abs(was[0] - is[0]) + std::abs(was[1] - is[1]) + std::min(was[0], is[0]) * colour / 255;
  }
  return work;
}

// The same path however densely it is sampled (a slow stroke brings a sample every point or less,
// a quick one every ten or more): every tool, in wet paint and on a bare layer, dragged along 300
// points with samples 1, 3 and 10 points apart (four to a frame) does the work it does with
// samples half a point apart, within a tenth, and changes as many cells, within a tenth.
class ToolDensity : public ::testing::TestWithParam<ToolOnBed> {};

TEST_P(ToolDensity, TheSamePathAtAnySpacing) {
  const ToolOnBed c = GetParam();
  const auto [before, dense] = strokeInFrames(c.tool, c.bed, 4, {0.5, 300});
  const StrokeWork reference = workOf(before, dense);
  for (const double spacing : {1.0, 3.0, 10.0}) {
    const StrokeWork work = workOf(before, strokeInFrames(c.tool, c.bed, 4, {spacing, 300}).second);
    EXPECT_LE(std::abs(work.paint - reference.paint), reference.paint / 10)
        << spacing << " points apart: " << work.paint << " bytes of work against " << reference.paint;
    EXPECT_LE(std::abs(static_cast<std::int64_t>(work.cells) - static_cast<std::int64_t>(reference.cells)),
              static_cast<std::int64_t>(reference.cells) / 10)
        << spacing << " points apart: " << work.cells << " cells changed against " << reference.cells;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolDensity, ::testing::ValuesIn(everyToolOnBed(false)), toolOnBedName);

// The dial's range for a tool that takes the shared dial; none for a tool that leaves it alone.
std::optional<std::pair<float, float>> dialRange(ToolType type) {
  constexpr float pi = std::numbers::pi_v<float>;
  switch (type) {
    case ToolType::knife1: case ToolType::knife2: case ToolType::knife3:
    case ToolType::knife4: case ToolType::knife5: case ToolType::knife6:
      return std::pair{-pi / 2, pi / 2};
    case ToolType::smallRoundBrush: case ToolType::roundBrush: case ToolType::bigRoundBrush:
    case ToolType::smallFanBrush: case ToolType::fanBrush: case ToolType::bigFanBrush:
    case ToolType::smallFilbertBrush: case ToolType::filbertBrush: case ToolType::bigFilbertBrush:
    case ToolType::smallFlatBrush: case ToolType::flatBrush: case ToolType::bigFlatBrush:
      return std::pair{0.0f, 2 * pi};
    default:
      return std::nullopt;
  }
}

// Every tool made current in turn, in the manager's order and back: the dial takes the range of
// each tool that has it and keeps the last one's through the tools that have none. The matrix
// covers every registry tool.
TEST(ToolMatrixSequence, TheDialRangeFollowsTheToolsThatTakeIt) {
  testsupport::ConsoleCapture console;
  const auto canvas = std::make_shared<DrawingPaint>(MainPaintId, testsupport::flatArtwork(kWidth, kHeight));
  AppManager().setCanvas(canvas);
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
  runFrames();

  std::vector<std::shared_ptr<AbstractDrawingTool>> sequence;
  for (const auto& entry : allTools()) sequence.push_back(entry.get());
  const std::vector backwards(sequence.rbegin(), sequence.rend());
  sequence.insert(sequence.end(), backwards.begin(), backwards.end());
  const auto& dial = *SOLO_DAE_TOOL_CONTROLLER();
  std::pair<float, float> expected{dial.minAngle(), dial.maxAngle()};
  for (const auto& tool : sequence) {
    AppManager().setCurrentTool(tool);
    if (const auto range = dialRange(tool->toolType())) expected = *range;
    EXPECT_EQ(std::pair(dial.minAngle(), dial.maxAngle()), expected) << describe(tool->toolType());
  }

  ASSERT_EQ(AppManager().tools().size(), 26u);
  for (const auto& registered : AppManager().tools()) {
    EXPECT_NE(std::find(sequence.begin(), sequence.end(), registered), sequence.end()) << describe(registered->toolType());
  }
}

}  // namespace
}  // namespace tessivarium

#include "Painter.h"

#include <unistd.h>

#include <algorithm>
#include <any>
#include <cmath>
#include <iomanip>
#include <new>
#include <sstream>
#include <vector>

#include "Application.h"
#include "Artwork.h"
#include "HostErrors.h"
#include "LayerCheck.h"
#include "Surface.h"
#include "ToolNames.h"
#include "commands/CommandManager.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/Texture.h"
#include "graphics/Color.h"
#include "graphics/Image.h"
#include "imaging/Image.h"
#include "kernels/Kernels.h"
#include "kernels/PaintModel.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "tools/RegionWorkingSets.h"
#include "tools/colorPicker/ColorPickerManager.h"
#include "tools/colorPicker/PatternPickerManager.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace painthost {

using tessivarium::AppManager;
using tessivarium::DrawingPaint;

// The engine's user-facing errors, kept until the painter looks at them after each step.
class EngineErrors final : public tessivarium::DelegateErrorHandler {
 public:
  void receivedError(tessivarium::ErrorMessage error) override { errors.push_back(error); }
  std::vector<tessivarium::ErrorMessage> errors;
};

namespace {

// The stylus's largest force; script forces are fractions of it.
constexpr double kMaximumForce = 4.0;
// A stylus samples at 240 Hz.
constexpr double kSampleInterval = 1.0 / 240;
// Frames a canvas may take to finish drawing after a step before it counts as stuck.
constexpr int kSettleFrames = 64;
constexpr double kMegabyte = 1024 * 1024;

// zstd's level-3 stream compressing a save point's records: some 3.5 MB, its 2 MB window and its
// tables.
constexpr double kCompressorBytes = 8 * kMegabyte;

// What a save point holds beside the textures, at the most: one layer's records (grid, wet and
// dry, 4 bytes a cell each) while they are compressed, the relief (a 2-byte height and a grey byte
// a cell), the picture (4 bytes a point, as the canvas composes it and again as it is written) and
// the compressor. A loaded storage file takes no more: its records go as the layers take them.
double savePointBytes(const CanvasSettings& settings) {
  const double points = static_cast<double>(settings.width) * static_cast<double>(settings.height);
  const double cells = points * settings.scale * settings.scale;
  return 3 * 4 * cells + 3 * cells + 2 * 4 * points + kCompressorBytes;
}

// The engine counts the textures it makes against a limit and lets its undo history give way at
// it, but makes every layer asked for: past the machine's memory the program is killed before
// any error can be reported. What a save point takes beside the textures is set aside first;
// half of the rest goes to textures, the other half to everything else the program holds.
std::int64_t textureLimitMegabytes(std::uint64_t machineMemory, const CanvasSettings& settings) {
  const double left = std::max(0.0, static_cast<double>(machineMemory) - savePointBytes(settings));
  return static_cast<std::int64_t>(left / 2 / kMegabyte);
}

std::string megabytes(double bytes) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << bytes / kMegabyte << " MB";
  return text.str();
}

// How much of the texture memory limit the canvas's textures take.
std::string textureRoom() {
  const auto& manager = AppManager();
  return "the canvas's textures take " + megabytes(static_cast<double>(manager.heapSize())) + " of the " +
         megabytes(static_cast<double>(manager.limitedHeap()) * kMegabyte) +
         " they may take on this machine (half of what a save point leaves of its memory)";
}

ui::TouchState stateOf(const Sample& sample, ui::TouchPhase phase, double time) {
  ui::TouchState state;
  state.type = ui::TouchType::Stylus;
  state.phase = phase;
  state.location = {sample.x, sample.y};
  state.force = sample.force * kMaximumForce;
  state.maximumPossibleForce = kMaximumForce;
  state.altitudeAngle = sample.altitude;
  state.azimuthAngle = sample.azimuth;
  state.timestamp = time;
  return state;
}

// The lighting of the shaded relief: a lit hemisphere seen from above, light from the upper left.
// Its centre (a flat surface) is mid grey, which the hard-light blend leaves as it is, so only the
// paint's relief lightens or darkens the picture.
imaging::ImagePtr shadingImage() {
  constexpr std::size_t kSide = 64;
  std::vector<std::uint8_t> bytes(kSide * kSide * 4);
  for (std::size_t y = 0; y < kSide; ++y) {
    for (std::size_t x = 0; x < kSide; ++x) {
      double nx = (static_cast<double>(x) + 0.5) / (kSide / 2.0) - 1, ny = (static_cast<double>(y) + 0.5) / (kSide / 2.0) - 1;
      const double r = std::hypot(nx, ny);
      if (r > 1) nx /= r, ny /= r;
      const double grey = std::clamp(0.5 - 0.45 * (nx + ny) / std::sqrt(2.0), 0.0, 1.0);
      const auto g = static_cast<std::uint8_t>(std::lround(grey * 255));
      std::uint8_t* texel = &bytes[(y * kSide + x) * 4];
      texel[0] = texel[1] = texel[2] = g;
      texel[3] = 255;
    }
  }
  auto texture = AppManager().makeTexture(kSide, kSide);
  if (!texture) throw EngineFailure("start-up: no texture for the shading image");
  texture->writeRegion(gpu::Region::make2D(0, 0, kSide, kSide), 0, bytes, kSide * 4);
  return imaging::Image::fromTexture(texture);
}

std::shared_ptr<tessivarium::Surface> surfaceNamed(const std::string& name) {
  for (const auto& surface : tessivarium::AllSurfaces()) {
    if (surface->name() == name) return surface;
  }
  throw BadInput("unknown surface \"" + name + "\"");
}

}  // namespace

// A fatal stop of the engine ends the step with its message instead of ending the program, so that
// the painter can report it and keep the outputs of earlier save points.
class FatalStopsThrow {
 public:
  FatalStopsThrow()
      : previous_(foundation::setFatalHandler([](std::string_view message) {
          throw EngineFailure("the engine stopped: " + std::string(message));
        })) {}
  ~FatalStopsThrow() { foundation::setFatalHandler(previous_); }

 private:
  foundation::FatalHandler previous_;
};

std::uint64_t physicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) throw EngineFailure("start-up: the machine's memory size cannot be read");
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

Painter::Painter(const CanvasSettings& settings, std::uint64_t machineMemory)
    : fatalStops_(std::make_unique<FatalStopsThrow>()), settings_(settings), errors_(std::make_shared<EngineErrors>()) {
  try {
    // The tool-model engine starts with its debug height view on, which draws the tool head's
    // height preview into the layer's picture; pictures made for people show the paint alone.
    tessivarium::DEBUG_DAE_KNIFE = tessivarium::KnifeDebugMode::None;
    kernels::registerAll();
    tessivarium::Application().setDelegateHandler(errors_);
    auto& manager = AppManager();
    manager.setLimitedHeap(textureLimitMegabytes(machineMemory, settings));
    const auto orientation = settings.width >= settings.height ? tessivarium::PaintOrientation::landscape
                                                       : tessivarium::PaintOrientation::portail;
    const auto surface = surfaceNamed(settings.surface);
    auto artwork = std::make_shared<tessivarium::Artwork>("tessivarium-paint", settings.width, settings.height, surface,
                                                          orientation, settings.scale);
    canvas_ = std::make_shared<DrawingPaint>(tessivarium::MainPaintId, artwork);
    const auto& c = settings.background;
    canvas_->setBackgroundColor(graphics::Color::fromRGBA(c[0], c[1], c[2], c[3]));
    // A canvas shows its surface's ground, where no paint hides it, only when told to. The flat
    // surface has no ground to show, and a shown surface is also what a colour pick or a pattern
    // pick of bare canvas takes the background colour from, which on "Flat" they have never done.
    if (surface->id() != tessivarium::SurfaceId::Flat) canvas_->setShowSurface(true);
    manager.setCanvas(canvas_);
    manager.setCurrentPaint(canvas_);
    manager.loads();
    canvas_->setShadingImage(shadingImage());
    settle();
    checkErrors("start-up");
  } catch (const tessivarium::Error& e) {
    throw EngineFailure(std::string("start-up: the engine reported ") + e.what());
  } catch (const EngineFailure& e) {
    throw EngineFailure(std::string("start-up: ") + e.what());
  } catch (const std::bad_alloc&) {
    throw EngineFailure("start-up: out of memory");
  }
}

Painter::~Painter() {
  // Gives the canvas back to the manager's clean-up; the globals stay for the program's end. A
  // clean-up that stops after a failed step has nothing left to report to.
  if (canvas_) {
    try {
      AppManager().cleanResources();
    } catch (...) {
    }
  }
  tessivarium::Application().setDelegateHandler(nullptr);
}

void Painter::load(StorageReader& file) {
  const auto layers = static_cast<std::int64_t>(file.layers());
  // The canvas's first layer stays until the file's are all made.
  const std::int64_t bytes = layers * layerBytes();
  if (!canvas_->commandManager()->makeRoomFor(bytes)) {
    throw BadInput(file.name() + ": its " + std::to_string(layers) + (layers == 1 ? " layer needs " : " layers need ") +
                   megabytes(static_cast<double>(bytes)) + " of texture memory; " + textureRoom() + ", so it is not loaded");
  }
  try {
    const CellSize cells = cellSize();
    restore(file.read(cells.width, cells.height));
  } catch (const std::bad_alloc&) {
    throw EngineFailure(file.name() + ": out of memory loading it");
  }
}

void Painter::restore(StoredPainting&& painting) {
  try {
    canvas_->setStorageData(std::move(painting.records));
  } catch (const tessivarium::Error& e) {
    throw BadInput(std::string("the canvas refused the stored layers: ") + e.what());
  }
  painting.records.clear();
  for (std::size_t i = 0; i < painting.hidden.size() && i < canvas_->layers().size(); ++i) {
    if (painting.hidden[i]) canvas_->doLayerHidden(canvas_->layers()[i], true);
  }
  canvas_->setLayerIndex(painting.currentLayer);
  canvas_->updateLayers();
  settle();
  for (const auto& layer : canvas_->layers()) stale_.insert(layer.get());
  noteCurrentLayer();
  checkErrors("loading");
}

void Painter::play(const Step& step, const std::function<void(std::int64_t)>& samplesDone) {
  try {
    apply(step, samplesDone);
    settle();
    noteStaleLayers(step);
  } catch (const tessivarium::Error& e) {
    throw EngineFailure(step.where + " (" + step.kind + "): the engine reported " + e.what());
  } catch (const EngineFailure& e) {
    throw EngineFailure(step.where + " (" + step.kind + "): " + e.what());
  } catch (const std::bad_alloc&) {
    throw EngineFailure(step.where + " (" + step.kind + "): out of memory");
  }
  checkErrors(step.where + " (" + step.kind + ")");
}

void Painter::apply(const Step& step, const std::function<void(std::int64_t)>& samplesDone) {
  DrawingPaint& c = *canvas_;
  std::visit(
      [&](const auto& action) {
        using A = std::decay_t<decltype(action)>;
        if constexpr (std::is_same_v<A, ChooseTool>) {
          chooseTool(action);
        } else if constexpr (std::is_same_v<A, CleanTool>) {
          AppManager().currentTool()->clean();
        } else if constexpr (std::is_same_v<A, FillColor>) {
          const auto& rgba = action.color;
          std::optional<float> wetness;
          if (action.wetness) wetness = static_cast<float>(*action.wetness);
          AppManager().currentTool()->fillColor(graphics::Color::fromRGBA(rgba[0], rgba[1], rgba[2], rgba[3]), 1.0f, wetness);
        } else if constexpr (std::is_same_v<A, Strokes>) {
          for (const auto& samples : action.strokes) stroke(samples, action.samplesPerFrame, samplesDone);
        } else if constexpr (std::is_same_v<A, Undo>) {
          // The history is bounded by texture memory, so running out of it is no fault of the script.
          if (!c.commandManager()->undo()) foundation::consoleLine(step.where + ": nothing to undo");
        } else if constexpr (std::is_same_v<A, Redo>) {
          if (!c.commandManager()->redo()) foundation::consoleLine(step.where + ": nothing to redo");
        } else if constexpr (std::is_same_v<A, CreateLayer>) {
          requireRoomForALayer();
          c.layerCreate();
        } else if constexpr (std::is_same_v<A, DeleteLayer>) {
          if (!c.layerDelete(layerAt(action.layer))) throw EngineFailure("the canvas's only layer cannot be deleted" + historyGivenUp());
        } else if constexpr (std::is_same_v<A, SelectLayer>) {
          layerAt(action.layer);
          c.setLayerIndex(action.layer);
          c.updateLayers();
        } else if constexpr (std::is_same_v<A, MoveLayer>) {
          // Down the canvas's list of views is towards the front.
          if (action.towardsFront) {
            c.layerMoveDown(layerAt(action.layer));
          } else {
            c.layerMoveUp(layerAt(action.layer));
          }
        } else if constexpr (std::is_same_v<A, MergeLayers>) {
          std::vector<std::shared_ptr<tessivarium::Layer>> layers;
          for (const auto index : action.layers) layers.push_back(layerAt(index));
          requireRoomForALayer();  // the merged paint goes into a new layer
          c.layerMerge(layers);
        } else if constexpr (std::is_same_v<A, HideLayer>) {
          c.layerHidden(layerAt(action.layer), action.hidden);
        } else if constexpr (std::is_same_v<A, DryLayer>) {
          layerAt(action.layer)->dry();
        } else if constexpr (std::is_same_v<A, WetLayer>) {
          layerAt(action.layer)->wet(action.wetness, action.thickness);
        } else if constexpr (std::is_same_v<A, ImportImage>) {
          const auto file = graphics::Image::fromFile(action.file);
          if (!file) throw EngineFailure(action.file.string() + ": the picture can no longer be read");
          // The layer places a picture in its cells, a cell a pixel of the picture's size: at s
          // cells a point, the picture is given s cells a pixel and its corner is placed in cells,
          // so that it covers the canvas points it would cover at scale 1.
          const double s = settings_.scale;
          const auto image = std::make_shared<graphics::Image>(file->bitmap(), 1.0 / s);
          std::optional<float> thickness;
          if (action.thickness) thickness = static_cast<float>(*action.thickness);
          layerAt(std::nullopt)->importImage(image, {action.x * s, action.y * s}, thickness, action.wet);
        } else if constexpr (std::is_same_v<A, PickColor>) {
          pick(std::make_shared<tessivarium::ColorPickerManager>(), action.x, action.y);
        } else if constexpr (std::is_same_v<A, PickPattern>) {
          pick(std::make_shared<tessivarium::PatternPickerManager>(), action.x, action.y);
        } else if constexpr (std::is_same_v<A, Save>) {
          // Save points are the program's: the painter only hands out the records and the picture.
        }
      },
      step.action);
}

void Painter::chooseTool(const ChooseTool& choice) {
  const std::string& name = choice.tool;
  auto tool = toolNamed(name);
  auto& manager = AppManager();
  const auto& registry = manager.tools();
  // The manager's start-up loads its registry; the three tools outside it are loaded on first use.
  const bool registered = std::find(registry.begin(), registry.end(), tool) != registry.end();
  const bool first = chosenTools_.insert(name).second;
  if (!registered && first) tool->loads();
  // Paint goes on wet wherever a tool can lay it wet: the tube's own default, dry, lays paint that
  // no knife, brush or towel can move any more.
  if (first && tool->canWetDrawing()) tool->setWetDrawing(true);
  manager.setCurrentTool(tool);
  toolName_ = name;
  if (choice.wet) tool->setWetDrawing(*choice.wet);
  // Cleaning first: with autoReset on, a clean saves the emptied head as the pattern.
  if (choice.autoClean) tool->setAutoClean(*choice.autoClean);
  if (choice.autoReset) tool->setAutoReset(*choice.autoReset);
  // As a turn of the dial hands the tool its angle, which needs the tool current on the canvas.
  if (choice.rotation) tool->changedValue(std::any(static_cast<float>(*choice.rotation)));
}

template <typename Manager>
void Painter::pick(const std::shared_ptr<Manager>& manager, double x, double y) {
  bool picked = false;
  manager->setDone([&picked] { picked = true; });
  // The current tool takes the picking gesture too: disabled, it does not paint with it. The picker
  // enables it again when it hands it the result.
  const auto tool = AppManager().currentTool();
  tool->setEnabled(false);
  manager->pick({canvas_});
  // Down, one move (the pressure the picker keeps is the moves'), up, each in a frame of its own.
  const Sample at{x, y};
  gesture({at, at, at}, 1, {}, false);
  manager->end();
  if (!tool->enabled()) tool->setEnabled(true);
  settle();
  checkErrors("the pick");
  if (!picked) throw EngineFailure("the pick at (" + foundation::describe(x) + ", " + foundation::describe(y) + ") took nothing");
}

void Painter::stroke(const std::vector<Sample>& samples, std::int64_t perFrame,
                     const std::function<void(std::int64_t)>& samplesDone) {
  gesture(samples, perFrame, samplesDone, true);
}

void Painter::gesture(const std::vector<Sample>& samples, std::int64_t perFrame,
                      const std::function<void(std::int64_t)>& samplesDone, bool timed) {
  DrawingPaint& c = *canvas_;
  // The batches of one display frame each; the last sample lifts the stylus in a frame of its own
  // when the samples would otherwise all touch down in one.
  std::vector<std::vector<Sample>> batches;
  for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(perFrame)) {
    batches.emplace_back(samples.begin() + static_cast<std::ptrdiff_t>(i),
                         samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), i + static_cast<std::size_t>(perFrame))));
  }
  if (batches.size() == 1) {
    batches.push_back({batches.front().back()});
    batches.front().pop_back();
  }
  std::shared_ptr<ui::Touch> pen;
  for (std::size_t b = 0; b < batches.size(); ++b) {
    const bool first = b == 0, last = b + 1 == batches.size();
    std::vector<std::shared_ptr<ui::Touch>> coalesced;
    for (std::size_t i = 0; i < batches[b].size(); ++i) {
      const auto phase = first && i == 0 ? ui::TouchPhase::Began
                         : last && i + 1 == batches[b].size() ? ui::TouchPhase::Ended
                                                              : ui::TouchPhase::Moved;
      const auto state = stateOf(batches[b][i], phase, clock_);
      clock_ += kSampleInterval;
      coalesced.push_back(ui::Touch::make(state, &c));
      if (!pen) {
        pen = ui::Touch::make(state, &c);
      } else {
        pen->update(state, &c);
      }
    }
    ui::Event event;
    event.setCoalescedTouches(pen, std::move(coalesced));
    const ui::TouchSet touches{pen};
    if (first) {
      c.touchesBegan(touches, &event);
    } else if (last) {
      c.touchesEnded(touches, &event);
    } else {
      c.touchesMoved(touches, &event);
    }
    const auto start = std::chrono::steady_clock::now();
    ui::FrameSource::main().displayFrame();
    if (timed) {
      FrameTimes& times = frameTimes_[toolName_];
      times.frames += 1;
      times.total += std::chrono::steady_clock::now() - start;
    }
    if (samplesDone) samplesDone(static_cast<std::int64_t>(batches[b].size()));
  }
}

std::shared_ptr<tessivarium::Layer> Painter::layerAt(const LayerRef& layer) const {
  if (!layer) return canvas_->currentLayer();
  if (*layer < 0 || *layer >= static_cast<std::int64_t>(canvas_->layers().size())) {
    throw EngineFailure("layer " + std::to_string(*layer) + " does not exist (the canvas has " +
                        std::to_string(canvas_->layers().size()) + historyGivenUp() + ")");
  }
  return canvas_->layers()[static_cast<std::size_t>(*layer)];
}

std::string Painter::historyGivenUp() const {
  const auto steps = canvas_->commandManager()->stepsGivenUp();
  if (steps == 0) return "";
  return "; texture memory made the undo history give up its " + std::to_string(steps) + " oldest step" +
         (steps == 1 ? "" : "s") + ", which no undo takes back";
}

void Painter::settle() {
  for (int i = 0; i < kSettleFrames; ++i) {
    if (ui::FrameSource::main().displayFrame() == 0) return;
  }
  throw EngineFailure("the canvas still draws after " + std::to_string(kSettleFrames) + " frames");
}

void Painter::noteStaleLayers(const Step& step) {
  const auto& layers = canvas_->layers();
  // A layer's shading folds in the paint of the shown layers behind it, so a change to one layer's
  // paint or visibility also dates the pictures of the layers in front of it.
  auto fromLayer = [&](const std::shared_ptr<tessivarium::Layer>& changed) {
    bool inFront = false;
    for (const auto& layer : layers) {
      inFront = inFront || layer == changed;
      if (inFront) stale_.insert(layer.get());
    }
  };
  auto all = [&] {
    for (const auto& layer : layers) stale_.insert(layer.get());
  };
  std::visit(
      [&](const auto& action) {
        using A = std::decay_t<decltype(action)>;
        if constexpr (std::is_same_v<A, Strokes> || std::is_same_v<A, ImportImage> || std::is_same_v<A, PickColor> ||
                      std::is_same_v<A, PickPattern>) {
          // The current tool paints with a picking gesture too, unless the picker disables it.
          fromLayer(canvas_->currentLayer());
        } else if constexpr (std::is_same_v<A, HideLayer> || std::is_same_v<A, DryLayer> || std::is_same_v<A, WetLayer>) {
          fromLayer(layerAt(action.layer));
        } else if constexpr (std::is_same_v<A, DeleteLayer> || std::is_same_v<A, MoveLayer> ||
                             std::is_same_v<A, MergeLayers> || std::is_same_v<A, Undo> || std::is_same_v<A, Redo>) {
          all();  // the stack changed, or a step of the history on any layer
        }
        // Tool changes, colour fills, selections and save points change no paint; a new layer is
        // empty and in front of the others.
      },
      step.action);
  noteCurrentLayer();
}

void Painter::noteCurrentLayer() {
  // The current layer redraws after every change while its view is shown.
  const auto current = canvas_->currentContent();
  if (!current) return;
  if (current->metalView()->isHidden()) {
    stale_.insert(current.get());
  } else {
    stale_.erase(current.get());
  }
}

void Painter::select(std::int64_t index) {
  if (canvas_->layerIndex() == index) return;
  canvas_->setLayerIndex(index);
  canvas_->updateLayers();
  settle();
}

std::int64_t Painter::layerBytes() const {
  auto& layer = *canvas_->layers().front();
  const auto dataBytes = tessivarium::ApplicationManager::countedBytes(*layer.textureDataDescriptor());
  return 3 * dataBytes + tessivarium::ApplicationManager::countedBytes(*layer.textureGlobalDescriptor());
}

StartingLayers Painter::startingLayers() const {
  StartingLayers layers;
  layers.hidden.clear();
  for (const auto& layer : canvas_->layers()) layers.hidden.push_back(layer->isHidden());
  layers.current = canvas_->layerIndex();
  return layers;
}

HistoryMemory Painter::historyMemory() const {
  auto& manager = AppManager();
  const auto& data = *canvas_->layers().front()->textureDataDescriptor();
  HistoryMemory memory;
  // The rebuilds' spare working sets give way before anything else.
  memory.room = manager.limitedHeap() * static_cast<std::int64_t>(kMegabyte) -
                (manager.heapSize() - manager.regionWorkingSets().countedBytes());
  memory.layer = layerBytes();
  memory.layerSnapshot = 3 * static_cast<std::int64_t>(data.width * data.height) * 4;
  return memory;
}

void Painter::requireRoomForALayer() {
  const auto bytes = layerBytes();
  if (canvas_->commandManager()->makeRoomFor(bytes)) return;
  throw EngineFailure("a new layer needs " + megabytes(static_cast<double>(bytes)) + " of texture memory; " + textureRoom() +
                      ", so no layer is made");
}

void Painter::checkErrors(const std::string& where) {
  if (errors_->errors.empty()) return;
  std::string names;
  for (const auto error : errors_->errors) names += (names.empty() ? "" : ", ") + std::string(tessivarium::describe(error));
  errors_->errors.clear();
  throw EngineFailure(where + ": the engine reported " + names);
}

StoredCanvas Painter::storedCanvas() const {
  return {settings_.width, settings_.height, settings_.scale, canvas_->layerIndex()};
}

std::size_t Painter::layerCount() const { return canvas_->layers().size(); }

CellSize Painter::cellSize() const {
  const auto& descriptor = *canvas_->layers().front()->textureDataDescriptor();
  return {static_cast<std::int64_t>(descriptor.width), static_cast<std::int64_t>(descriptor.height)};
}

void Painter::eachRecord(const std::function<void(bool hidden, const tessivarium::ArtworkRawData& record)>& take) {
  for (const auto& layer : canvas_->layers()) {
    take(layer->isHidden(), tessivarium::ArtworkRawData(*layer->gridTexture(), *layer->wetTexture(), *layer->dryTexture()));
  }
}

std::vector<std::uint8_t> Painter::groundRelief() {
  if (!canvas_->showSurface()) return {};
  const auto& descriptor = *canvas_->layers().front()->textureDataDescriptor();
  const std::size_t width = descriptor.width, height = descriptor.height;
  const auto& ground = canvas_->groundTexture();
  const kernels::GroundRelief relief(ground ? ground->texels() : gpu::TexelView{});
  std::vector<std::uint8_t> cells(width * height);
  for (std::size_t y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < width; ++x) cells[y * width + x] = static_cast<std::uint8_t>(relief.at(x, y));
  }
  return cells;
}

std::shared_ptr<graphics::Image> Painter::picture() {
  DrawingPaint& c = *canvas_;
  // A tool may show a picture of its own in place of the canvas's: the dryer and the wetter hide
  // the layers behind the current one and show it darkened where its paint is wet. Disabled, a tool
  // gives the canvas its composition back; it is enabled again once the picture is taken, and the
  // next touch-down has it take the canvas up again, as after any change of tool.
  const auto tool = AppManager().currentTool();
  tool->setEnabled(false);
  settle();
  // A layer's view shows the picture it composed when it was last the current layer, and the views
  // in front of the current layer are hidden: each stale layer is made current in turn, back to
  // front, so that every view shows its paint as it is now, and the canvas is drawn with the
  // front-most current. Then the selection goes back.
  const auto selected = c.layerIndex();
  const auto& layers = c.layers();
  std::set<const tessivarium::Layer*> hiddenStale;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (stale_.count(layers[i].get()) == 0) continue;
    if (layers[i]->isHidden()) {
      hiddenStale.insert(layers[i].get());  // not shown, so not in the picture
    } else {
      select(static_cast<std::int64_t>(i));
    }
  }
  select(static_cast<std::int64_t>(layers.size()) - 1);
  auto image = c.exportImage(1.0);
  select(selected);
  tool->setEnabled(true);
  stale_ = std::move(hiddenStale);
  checkErrors("save");
  if (!image) throw EngineFailure("the canvas gave no picture");
  return image;
}

}  // namespace painthost

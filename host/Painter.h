#pragma once
// The engine as a tablet host drives it: start-up in the engine's order (settings, application
// manager, the main canvas handed to it, loads(), the shading image), then each script step through
// the canvas's public entries: stylus touches with their coalesced samples and one display frame
// per batch for strokes, the current tool for tool changes and colour fills, the canvas's history
// for undo and redo, its layer entries for layer steps and its storage records for save points.
//
// One painter at a time: the engine's globals are the painter's while it lives. Main thread only.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "Script.h"
#include "StorageFile.h"
#include "ToolNames.h"

namespace graphics {
class Image;
}

namespace tessivarium {
class DrawingPaint;
class Layer;
}  // namespace tessivarium

namespace painthost {

class EngineErrors;
class FatalStopsThrow;
struct HistoryMemory;
struct StartingLayers;

// The stroke frames one tool drew and the time they took.
struct FrameTimes {
  std::int64_t frames = 0;
  std::chrono::duration<double> total{0};
};

// The machine's physical memory, in bytes.
std::uint64_t physicalMemory();

// The size of a layer's grid, wet and dry textures, in cells: the canvas's size times its scale.
struct CellSize {
  std::int64_t width = 0, height = 0;
};

class Painter {
 public:
  // Starts the engine with a canvas of `settings`, its texture memory limited to half of what a
  // save point's own memory leaves of `machineMemory` bytes. Throws EngineFailure when the engine
  // cannot start.
  explicit Painter(const CanvasSettings& settings, std::uint64_t machineMemory = physicalMemory());
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // Replaces the canvas's layers by the file's, with their hidden flags and selection; the file
  // must have been stored from a canvas of this size and scale. Its layers are held to the texture
  // memory a new layer is held to before any record is read, and each record is let go once its
  // layer holds it. Throws BadInput when the file's layers do not fit or the file or the canvas
  // refuses them, EngineFailure naming the file when memory runs out.
  void load(StorageReader& file);

  // Plays one step; `samplesDone` is told after each display frame of a stroke how many samples it
  // drew. Throws EngineFailure naming the step when the engine stops or reports an error.
  void play(const Step& step, const std::function<void(std::int64_t)>& samplesDone = {});

  // The canvas's layers as they are now, and the texture memory left to the layers and the undo
  // history, for the check of the script's layer steps.
  StartingLayers startingLayers() const;
  HistoryMemory historyMemory() const;

  // What a storage file keeps of the canvas besides its layers.
  StoredCanvas storedCanvas() const;
  std::size_t layerCount() const;
  CellSize cellSize() const;
  // Hands the storage record of every layer to `take`, in layer order, with its hidden flag: each
  // read from the layer's textures as the canvas's getStorageData() reads them, and let go before
  // the next is read.
  void eachRecord(const std::function<void(bool hidden, const tessivarium::ArtworkRawData& record)>& take);
  // The picture of every shown layer as composed on the canvas, at one pixel per point, whatever
  // tool is current.
  std::shared_ptr<graphics::Image> picture();
  // The relief of the canvas's ground where its surface shows, in thickness bytes a cell as the
  // picture's shading counts it (rows from the top); empty where no ground shows.
  std::vector<std::uint8_t> groundRelief();

  tessivarium::DrawingPaint& canvas() { return *canvas_; }
  // The name of the current tool ("filbertBrush": the engine's default tool).
  const std::string& toolName() const { return toolName_; }
  const std::map<std::string, FrameTimes>& frameTimes() const { return frameTimes_; }

 private:
  void apply(const Step& step, const std::function<void(std::int64_t)>& samplesDone);
  void stroke(const std::vector<Sample>& samples, std::int64_t perFrame, const std::function<void(std::int64_t)>& samplesDone);
  // Touch-down, moves and touch-up of `samples`, `perFrame` to a display frame; `timed` counts the
  // frames as the current tool's stroke frames.
  void gesture(const std::vector<Sample>& samples, std::int64_t perFrame, const std::function<void(std::int64_t)>& samplesDone,
               bool timed);
  // One picking gesture at (x, y) with the picker manager's pickers installed on the canvas.
  template <typename Manager>
  void pick(const std::shared_ptr<Manager>& manager, double x, double y);
  void chooseTool(const ChooseTool& choice);
  std::shared_ptr<tessivarium::Layer> layerAt(const LayerRef& layer) const;
  // Display frames until no view draws any more.
  void settle();
  // Notes which layers' views may no longer show their paint after `step`.
  void noteStaleLayers(const Step& step);
  // The current layer is up to date unless its view is hidden.
  void noteCurrentLayer();
  // Makes the layer at `index` current, which rebuilds its picture.
  void select(std::int64_t index);
  // Replaces the canvas's layers by the painting's, each record let go as its layer takes it.
  void restore(StoredPainting&& painting);
  // The texture memory one more layer takes: its grid, wet and dry paint and its picture.
  std::int64_t layerBytes() const;
  // Makes room for one more layer, as the undo history gives way to it; throws EngineFailure when
  // the layer would pass the texture memory limit even so.
  void requireRoomForALayer();
  // What a layer step that finds no layer at its position is told of the undo history.
  std::string historyGivenUp() const;
  // Throws EngineFailure when the engine reported an error since the last check.
  void checkErrors(const std::string& where);

  // First, so that the engine's fatal stops throw while everything else is made and given back.
  std::unique_ptr<FatalStopsThrow> fatalStops_;
  CanvasSettings settings_;
  std::shared_ptr<EngineErrors> errors_;
  std::shared_ptr<tessivarium::DrawingPaint> canvas_;
  std::string toolName_ = kStartingTool;
  std::set<std::string> chosenTools_;
  std::map<std::string, FrameTimes> frameTimes_;
  // Layers whose views show a picture older than their paint (or than the paint below them, which
  // their shading folds in): a layer's picture is rebuilt only while it is the current layer.
  std::set<const tessivarium::Layer*> stale_;
  double clock_ = 0;  // the stylus's timestamps, in seconds
};

}  // namespace painthost

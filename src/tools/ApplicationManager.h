#pragma once
// The engine's root object: the GPU device and the services every subsystem takes from it
// (command queue, image context, the blur that copies pictures to drawables), the accounting of
// texture memory, the canvas and palettes, the tool registry and the current tool. One instance,
// the global AppManager(), created on first use. Main thread only, but for that first use.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "graphics/Color.h"
#include "tools/ApplicationManagerDelegate.h"
#include "tools/DrawingTool.h"
#include "tools/ToolType.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/brushes/RoundBrushTool.h"
#include "tools/brushes/WideBrushTools.h"
#include "tools/dryer/DryerTool.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/knives/KnifeTools.h"
#include "tools/roller/RollerTool.h"
#include "tools/sander/SanderTool.h"
#include "tools/sprayer/SprayerTool.h"
#include "tools/towels/TowelTool.h"
#include "tools/tubes/TubeTool.h"
#include "tools/turpentine/TurpentineTool.h"
#include "tools/wetter/WetterTool.h"

namespace gpu {
class Device;
class CommandQueue;
class GaussianBlur;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace imaging {
class Context;
}

namespace tessivarium {

class DrawingPaint;
class SurfaceWorkingTextures;

// Every tool field of the manager: class, getter, setter suffix.
#define TESS_MANAGER_TOOL_FIELDS(X) \
  X(TubeTool, tube, Tube) \
  X(SprayerTool, sprayer, Sprayer) \
  X(DryerTool, dryer, Dryer) \
  X(WetterTool, wetter, Wetter) \
  X(Knife1Tool, knife1, Knife1) \
  X(Knife2Tool, knife2, Knife2) \
  X(Knife3Tool, knife3, Knife3) \
  X(Knife4Tool, knife4, Knife4) \
  X(Knife5Tool, knife5, Knife5) \
  X(Knife6Tool, knife6, Knife6) \
  X(RoundBrushTool, roundBrush, RoundBrush) \
  X(FilbertBrushTool, filbertBrush, FilbertBrush) \
  X(BigFilbertBrushTool, bigFilbertBrush, BigFilbertBrush) \
  X(BigFlatBrushTool, bigFlatBrush, BigFlatBrush) \
  X(FlatBrushTool, flatBrush, FlatBrush) \
  X(SmallFilbertBrushTool, smallFilbertBrush, SmallFilbertBrush) \
  X(SmallFlatBrushTool, smallFlatBrush, SmallFlatBrush) \
  X(FanBrushTool, fanBrush, FanBrush) \
  X(BigFanBrushTool, bigFanBrush, BigFanBrush) \
  X(SmallFanBrushTool, smallFanBrush, SmallFanBrush) \
  X(SmallWideBrushTool, smallWideBrush, SmallWideBrush) \
  X(WideBrushTool, wideBrush, WideBrush) \
  X(BigWideBrushTool, bigWideBrush, BigWideBrush) \
  X(ExtraWideBrushTool, extraWideBrush, ExtraWideBrush) \
  X(FluffyMopTool, fluffyMop, FluffyMop) \
  X(TurpentineTool, turpentine, Turpentine) \
  X(TowelTool, towel, Towel) \
  X(RollerTool, roller, Roller) \
  X(SanderTool, sander, Sander)

// The paint identifier of the main canvas; palettes get identifiers above it.
inline constexpr std::uint64_t MainPaintId = 0;

// The default tool, a filbert brush, made on first use and kept for the program's life.
const std::shared_ptr<FilbertBrushTool>& DefaultTool();

// White with zero alpha: the colour of solvent, for the host.
const graphics::Color& SOLVENT_COLOR();

class ApplicationManager {
 public:
  // Start-up: everything made here exists before the manager does, so none of it may use
  // AppManager() (a use is a fatal stop, see AppManager()).
  ApplicationManager();
  ~ApplicationManager();
  ApplicationManager(const ApplicationManager&) = delete;
  ApplicationManager& operator=(const ApplicationManager&) = delete;

  // --- GPU services and texture memory ---------------------------------------------------------
  const std::shared_ptr<gpu::Device>& device() const { return device_; }
  const std::shared_ptr<gpu::CommandQueue>& commandQueue();
  void setCommandQueue(std::shared_ptr<gpu::CommandQueue> queue) { commandQueue_ = std::move(queue); }
  const std::shared_ptr<imaging::Context>& ciContext();
  void setCiContext(std::shared_ptr<imaging::Context> context) { ciContext_ = std::move(context); }
  const std::shared_ptr<gpu::GaussianBlur>& blur();
  void setBlur(std::shared_ptr<gpu::GaussianBlur> blur) { blur_ = std::move(blur); }

  // Limit in megabytes and counted bytes of texture memory.
  std::int64_t limitedHeap() const { return limitedHeap_; }
  void setLimitedHeap(std::int64_t megabytes) { limitedHeap_ = megabytes; }
  std::int64_t heapSize() const { return heapSize_; }
  void setHeapSize(std::int64_t bytes) { heapSize_ = bytes; }

  // Makes a texture and counts width x height x depth x 4 bytes of it, whatever its format. A
  // device that makes none (also for want of the machine's memory), or one of another width, is
  // reported as NoMoreHeap (and the call still returns what the device gave). The limit is not
  // enforced here.
  std::shared_ptr<gpu::Texture> makeTexture(const gpu::TextureDescriptor& descriptor);
  // A 2-D texture of DefaultPixelFormat.
  std::shared_ptr<gpu::Texture> makeTexture(std::int64_t width, std::int64_t height);
  // Takes the texture's bytes off the count (unclamped); the texture itself is untouched.
  void releaseTexture(const gpu::Texture& texture);
  // Whether the counted bytes have reached the limit.
  bool isReachMaxHeap() const;
  // The scale of the 3-D tool models for `paint`; needs a main canvas.
  double screenRatio(const DrawingPaint& paint) const;

  SurfaceWorkingTextures& surfaceTextures() { return *surfaceTextures_; }
  void setSurfaceTextures(std::shared_ptr<SurfaceWorkingTextures> textures);

  // --- Canvases ---------------------------------------------------------------------------------
  const std::shared_ptr<DrawingPaint>& canvas() const { return canvas_; }
  void setCanvas(std::shared_ptr<DrawingPaint> canvas) { canvas_ = std::move(canvas); }
  const std::vector<std::shared_ptr<DrawingPaint>>& palettes() const { return palettes_; }
  void setPalettes(std::vector<std::shared_ptr<DrawingPaint>> palettes) { palettes_ = std::move(palettes); }
  const std::shared_ptr<DrawingPaint>& currentPaint() const { return currentPaint_; }
  // The current canvas for `operation`, which needs one: a fatal stop "<operation>: no current
  // canvas" without it.
  DrawingPaint& requiredCurrentPaint(std::string_view operation) const;
  // Announced to the delegate before and after, on every assignment.
  void setCurrentPaint(std::shared_ptr<DrawingPaint> paint);

  const std::shared_ptr<ApplicationManagerDelegate>& managerDelegate() const { return managerDelegate_; }
  void setManagerDelegate(std::shared_ptr<ApplicationManagerDelegate> d) { managerDelegate_ = std::move(d); }

  // A 400 x 350 palette on the flat surface; a palette of the given size named "Palette". A size no
  // canvas may have throws Error(TextureFormatIncompatible) and adds no palette (see DrawingPaint).
  std::shared_ptr<DrawingPaint> createPalette();
  std::shared_ptr<DrawingPaint> createPalette(std::int64_t width, std::int64_t height);
  bool isPalette(const DrawingPaint& paint) const;

  // --- Tools ------------------------------------------------------------------------------------
  // The registry, built on its first read from the tool fields (26 tools, tube first).
  const std::vector<std::shared_ptr<DrawingTool>>& tools();
  void setTools(std::vector<std::shared_ptr<DrawingTool>> tools);
  // The first registry tool of `type`; a type without one is a fatal "Not supported".
  std::shared_ptr<DrawingTool> findDrawingTool(const DrawingPaint* paint, ToolType type);

  const std::shared_ptr<DrawingTool>& defaultTool() const { return defaultTool_; }
  const std::shared_ptr<DrawingTool>& currentTool() const { return currentTool_; }
  // Disables the old tool, enables the new one on the current canvas, and tells the delegate.
  // The manager holds the current tool, so a tool the host assigns cannot dangle.
  void setCurrentTool(std::shared_ptr<DrawingTool> tool);

  // Loads the working textures, every registry tool, the canvas and the palettes, in this order;
  // the first error (an Error) stops it and is passed on.
  void loads();
  // Releases the palettes and the canvas and detaches every registry tool's viewer.
  void cleanResources();

  // The tool fields: each made on first read (filbertBrush is DefaultTool itself) and owned here.
#define TESS_TOOL_ACCESSORS(Class, name, Name) \
  const std::shared_ptr<Class>& name();        \
  void set##Name(std::shared_ptr<Class> tool) { name##_.tool = std::move(tool); }
  TESS_MANAGER_TOOL_FIELDS(TESS_TOOL_ACCESSORS)
#undef TESS_TOOL_ACCESSORS

  // The types of the tools the fields have made so far, in the order they were made (for tests
  // and diagnostics: which tools exist is otherwise invisible).
  const std::vector<ToolType>& madeTools() const { return madeTools_; }

 private:
  template <typename T>
  struct ToolSlot {
    std::shared_ptr<T> tool;
  };
  template <typename T>
  const std::shared_ptr<T>& madeOnFirstUse(ToolSlot<T>& slot);
  std::shared_ptr<DrawingPaint> makePalette(std::string name, std::int64_t width, std::int64_t height);

  std::int64_t limitedHeap_;
  std::int64_t heapSize_ = 0;
  std::shared_ptr<gpu::Device> device_;
  std::vector<std::shared_ptr<DrawingTool>> tools_;
  bool toolsBuilt_ = false;
  std::shared_ptr<ApplicationManagerDelegate> managerDelegate_;
  std::shared_ptr<imaging::Context> ciContext_;
  std::shared_ptr<SurfaceWorkingTextures> surfaceTextures_;
  std::shared_ptr<DrawingPaint> canvas_;
  std::vector<std::shared_ptr<DrawingPaint>> palettes_;
  std::shared_ptr<DrawingPaint> currentPaint_;
  std::shared_ptr<gpu::CommandQueue> commandQueue_;
  std::shared_ptr<gpu::GaussianBlur> blur_;
  std::shared_ptr<DrawingTool> defaultTool_;
  std::shared_ptr<DrawingTool> currentTool_;
  std::vector<ToolType> madeTools_;

#define TESS_TOOL_SLOT(Class, name, Name) ToolSlot<Class> name##_;
  TESS_MANAGER_TOOL_FIELDS(TESS_TOOL_SLOT)
#undef TESS_TOOL_SLOT
};

// The one application manager, created on first use (once, even when first used from two threads
// at the same time: the later one waits). Using it while it starts, from the thread that starts
// it (from anything its constructor makes), is a fatal stop: such a use would see a manager that
// does not exist yet.
ApplicationManager& AppManager();

// The manager while one lives, without creating one; it expires when the manager goes.
std::weak_ptr<ApplicationManager> LivingAppManager();

// Drops the manager and the default tool so the next use starts afresh (tests only).
void resetAppManagerForTesting();

}  // namespace tessivarium

#pragma once
// The engine's root object: the GPU device and the services every subsystem takes from it
// (command queue, image context, the blur that copies pictures to drawables), the accounting of
// texture memory, the canvas and palettes, the tool registry and the current tool. One instance,
// the global AppManager(), created on first use. Main thread only, but for that first use.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ApplicationManagerDelegate.h"
#include "tools/ToolType.h"

namespace gpu {
class Device;
class CommandQueue;
class GaussianBlur;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace graphics {
class Color;
}

namespace imaging {
class Context;
}

namespace tessivarium {

class DrawingPaint;
class DrawingTool;
class RegionWorkingSets;
class SurfaceWorkingTextures;

// The tools of the manager's fields; their families' headers are included where a tool's members
// are used (tools/ToolFamilies.h has them all).
class BigFanBrushTool;
class BigFilbertBrushTool;
class BigFlatBrushTool;
class BigWideBrushTool;
class DryerTool;
class ExtraWideBrushTool;
class FanBrushTool;
class FilbertBrushTool;
class FlatBrushTool;
class FluffyMopTool;
class Knife1Tool;
class Knife2Tool;
class Knife3Tool;
class Knife4Tool;
class Knife5Tool;
class Knife6Tool;
class RollerTool;
class RoundBrushTool;
class SanderTool;
class SmallFanBrushTool;
class SmallFilbertBrushTool;
class SmallFlatBrushTool;
class SmallWideBrushTool;
class SprayerTool;
class TowelTool;
class TubeTool;
class TurpentineTool;
class WetterTool;
class WideBrushTool;

// Every tool field of the manager (class, getter, setter suffix), for the code that walks them all
// (the accessors' definitions, the host's table of tool names, the tool matrix test), with
// tools/ToolFamilies.h. The accessors are declared one by one in the class.
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
  // Whether `bytes` more would still be within the limit.
  bool hasRoomFor(std::int64_t bytes) const;
  // What makeTexture counts for a texture of `descriptor`.
  static std::int64_t countedBytes(const gpu::TextureDescriptor& descriptor);
  // What makeTexture counted for `texture`, and releaseTexture takes off.
  static std::int64_t countedBytes(const gpu::Texture& texture);
  // The scale of the 3-D tool models for `paint`, measured against its width; needs a main canvas.
  // The tool viewers take it against the canvas's shape too (AbstractDAEThickToolViewer).
  double screenRatio(const DrawingPaint& paint) const;

  SurfaceWorkingTextures& surfaceTextures() { return *surfaceTextures_; }
  const std::shared_ptr<SurfaceWorkingTextures>& sharedSurfaceTextures() const { return surfaceTextures_; }
  void setSurfaceTextures(std::shared_ptr<SurfaceWorkingTextures> textures);
  // The sets a whole-layer rebuild composes regions in at once (the first is surfaceTextures).
  RegionWorkingSets& regionWorkingSets() { return *regionWorkingSets_; }

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
  const std::shared_ptr<TubeTool>& tube();
  void setTube(std::shared_ptr<TubeTool> tool);
  const std::shared_ptr<SprayerTool>& sprayer();
  void setSprayer(std::shared_ptr<SprayerTool> tool);
  const std::shared_ptr<DryerTool>& dryer();
  void setDryer(std::shared_ptr<DryerTool> tool);
  const std::shared_ptr<WetterTool>& wetter();
  void setWetter(std::shared_ptr<WetterTool> tool);
  const std::shared_ptr<Knife1Tool>& knife1();
  void setKnife1(std::shared_ptr<Knife1Tool> tool);
  const std::shared_ptr<Knife2Tool>& knife2();
  void setKnife2(std::shared_ptr<Knife2Tool> tool);
  const std::shared_ptr<Knife3Tool>& knife3();
  void setKnife3(std::shared_ptr<Knife3Tool> tool);
  const std::shared_ptr<Knife4Tool>& knife4();
  void setKnife4(std::shared_ptr<Knife4Tool> tool);
  const std::shared_ptr<Knife5Tool>& knife5();
  void setKnife5(std::shared_ptr<Knife5Tool> tool);
  const std::shared_ptr<Knife6Tool>& knife6();
  void setKnife6(std::shared_ptr<Knife6Tool> tool);
  const std::shared_ptr<RoundBrushTool>& roundBrush();
  void setRoundBrush(std::shared_ptr<RoundBrushTool> tool);
  const std::shared_ptr<FilbertBrushTool>& filbertBrush();
  void setFilbertBrush(std::shared_ptr<FilbertBrushTool> tool);
  const std::shared_ptr<BigFilbertBrushTool>& bigFilbertBrush();
  void setBigFilbertBrush(std::shared_ptr<BigFilbertBrushTool> tool);
  const std::shared_ptr<BigFlatBrushTool>& bigFlatBrush();
  void setBigFlatBrush(std::shared_ptr<BigFlatBrushTool> tool);
  const std::shared_ptr<FlatBrushTool>& flatBrush();
  void setFlatBrush(std::shared_ptr<FlatBrushTool> tool);
  const std::shared_ptr<SmallFilbertBrushTool>& smallFilbertBrush();
  void setSmallFilbertBrush(std::shared_ptr<SmallFilbertBrushTool> tool);
  const std::shared_ptr<SmallFlatBrushTool>& smallFlatBrush();
  void setSmallFlatBrush(std::shared_ptr<SmallFlatBrushTool> tool);
  const std::shared_ptr<FanBrushTool>& fanBrush();
  void setFanBrush(std::shared_ptr<FanBrushTool> tool);
  const std::shared_ptr<BigFanBrushTool>& bigFanBrush();
  void setBigFanBrush(std::shared_ptr<BigFanBrushTool> tool);
  const std::shared_ptr<SmallFanBrushTool>& smallFanBrush();
  void setSmallFanBrush(std::shared_ptr<SmallFanBrushTool> tool);
  const std::shared_ptr<SmallWideBrushTool>& smallWideBrush();
  void setSmallWideBrush(std::shared_ptr<SmallWideBrushTool> tool);
  const std::shared_ptr<WideBrushTool>& wideBrush();
  void setWideBrush(std::shared_ptr<WideBrushTool> tool);
  const std::shared_ptr<BigWideBrushTool>& bigWideBrush();
  void setBigWideBrush(std::shared_ptr<BigWideBrushTool> tool);
  const std::shared_ptr<ExtraWideBrushTool>& extraWideBrush();
  void setExtraWideBrush(std::shared_ptr<ExtraWideBrushTool> tool);
  const std::shared_ptr<FluffyMopTool>& fluffyMop();
  void setFluffyMop(std::shared_ptr<FluffyMopTool> tool);
  const std::shared_ptr<TurpentineTool>& turpentine();
  void setTurpentine(std::shared_ptr<TurpentineTool> tool);
  const std::shared_ptr<TowelTool>& towel();
  void setTowel(std::shared_ptr<TowelTool> tool);
  const std::shared_ptr<RollerTool>& roller();
  void setRoller(std::shared_ptr<RollerTool> tool);
  const std::shared_ptr<SanderTool>& sander();
  void setSander(std::shared_ptr<SanderTool> tool);

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
  std::unique_ptr<RegionWorkingSets> regionWorkingSets_;
  std::shared_ptr<DrawingPaint> canvas_;
  std::vector<std::shared_ptr<DrawingPaint>> palettes_;
  std::shared_ptr<DrawingPaint> currentPaint_;
  std::shared_ptr<gpu::CommandQueue> commandQueue_;
  std::shared_ptr<gpu::GaussianBlur> blur_;
  std::shared_ptr<DrawingTool> defaultTool_;
  std::shared_ptr<DrawingTool> currentTool_;
  std::vector<ToolType> madeTools_;

  ToolSlot<TubeTool> tube_;
  ToolSlot<SprayerTool> sprayer_;
  ToolSlot<DryerTool> dryer_;
  ToolSlot<WetterTool> wetter_;
  ToolSlot<Knife1Tool> knife1_;
  ToolSlot<Knife2Tool> knife2_;
  ToolSlot<Knife3Tool> knife3_;
  ToolSlot<Knife4Tool> knife4_;
  ToolSlot<Knife5Tool> knife5_;
  ToolSlot<Knife6Tool> knife6_;
  ToolSlot<RoundBrushTool> roundBrush_;
  ToolSlot<FilbertBrushTool> filbertBrush_;
  ToolSlot<BigFilbertBrushTool> bigFilbertBrush_;
  ToolSlot<BigFlatBrushTool> bigFlatBrush_;
  ToolSlot<FlatBrushTool> flatBrush_;
  ToolSlot<SmallFilbertBrushTool> smallFilbertBrush_;
  ToolSlot<SmallFlatBrushTool> smallFlatBrush_;
  ToolSlot<FanBrushTool> fanBrush_;
  ToolSlot<BigFanBrushTool> bigFanBrush_;
  ToolSlot<SmallFanBrushTool> smallFanBrush_;
  ToolSlot<SmallWideBrushTool> smallWideBrush_;
  ToolSlot<WideBrushTool> wideBrush_;
  ToolSlot<BigWideBrushTool> bigWideBrush_;
  ToolSlot<ExtraWideBrushTool> extraWideBrush_;
  ToolSlot<FluffyMopTool> fluffyMop_;
  ToolSlot<TurpentineTool> turpentine_;
  ToolSlot<TowelTool> towel_;
  ToolSlot<RollerTool> roller_;
  ToolSlot<SanderTool> sander_;
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

#pragma once
// A tool's stroke state on the GPU side. Every painting tool owns one (tool families subclass it
// to fill its pass lists or to rewrite the samples). Per drawing step it takes a batch of touch
// samples, inserts samples so that no step between neighbours exceeds the tool's spacing, chooses
// the working window (a MAC_WIDTH x MAC_WIDTH square of the current layer, in canvas cells, at
// `offset`), converts the samples that fit the window into window-local cells and uploads them
// into new GPU buffers; samples that do not fit wait in `touchInputs` for the next step.
//
// The encode cycle (ToolSurfaceEncodeCycle.cpp) copies the window from the layer into the shared
// working textures (encodeLoads), runs the pass lists, refreshes the shown picture of the window
// and, when the window moves or the stroke ends, copies the working textures back into the layer
// and records the rectangle in the stroke's undo step (encodeSave); a stroke ends with a closing
// step that levels the trail its last step held back (encodeEnd). The binders put the surface's
// buffers and the working textures on a pass's compute encoder at the slots the kernels read.
//
// Construction is two-step, so that a subclass's hooks run for the first batch: build with
// ToolSurface::make<Surface>(tool), which constructs and then takes the (empty) first batch.
//
// Buffers are never written after they are made: every step makes new ones, so a command buffer
// still on the GPU keeps its own data. Main thread only; no locks.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "Artwork.h"
#include "gpu/Types.h"
#include "gpu/Vectors.h"
#include "graphics/Geometry.h"
#include "tools/TouchInput.h"

namespace gpu {
class Buffer;
class CommandBuffer;
class ComputeCommandEncoder;
}  // namespace gpu

namespace tessivarium {

class AbstractDrawingTool;
class ArtworkTextures;
class DrawingPaint;
class ToolEncoder;
class ToolModel;

// The window's side as a floating value (256.0).
inline constexpr double MAC_WIDTH_F = static_cast<double>(MAC_WIDTH);
// The largest extent (exclusive) of a run of samples that may open a new window: a window leaves
// MAC_BORDER on both sides of it (108.8).
inline constexpr double MAC_REGION_WDITH = MAC_WIDTH_F - 2 * MAC_BORDER;
// How far off the canvas, in cells, a sample stays where it is: one farther off is moved onto
// this margin before spacing (each axis clamped). No head reaches a window's side beyond its
// sample, so the move changes no painted cell, and a far-off touch costs no more than one across
// the canvas.
inline constexpr double SAMPLE_MARGIN = MAC_WIDTH_F;
// The most samples spacing inserts between two neighbours (ten halvings): a longer gap is spaced
// more widely, so that one jump costs a bounded frame.
inline constexpr std::size_t MAX_SAMPLES_PER_GAP = (1u << 10) - 1;
// The window's extent inside the working textures, which always hold it at ORIGIN0.
inline constexpr gpu::Size SIZE_2D{static_cast<std::size_t>(MAC_WIDTH), static_cast<std::size_t>(MAC_WIDTH), 1};

using ToolEncoders = std::vector<std::shared_ptr<ToolEncoder>>;

class ToolSurface {
 public:
  // Step one of the construction: the surface of `tool`, which owns it and outlives it, with
  // offset (0, 0, 0) and its buffer and dt 1.0 and its buffer, made on AppManager's device. No
  // batch is taken yet (useSameRegion is none); use make() unless a test wants just this step.
  explicit ToolSurface(AbstractDrawingTool& tool);
  virtual ~ToolSurface();
  ToolSurface(const ToolSurface&) = delete;
  ToolSurface& operator=(const ToolSurface&) = delete;

  // Both steps: constructs Surface(tool, args...), then takes `touchInputs` as its first batch
  // through the overridable reset(), which needs a current canvas and the main canvas.
  template <class Surface = ToolSurface, class... Args>
  static std::shared_ptr<Surface> make(AbstractDrawingTool& tool, const TouchInputs& touchInputs = {},
                                       Args&&... args) {
    auto surface = std::make_shared<Surface>(tool, std::forward<Args>(args)...);
    surface->reset(touchInputs);
    return surface;
  }

  // --- State ---------------------------------------------------------------------------------
  AbstractDrawingTool& tool() const { return *tool_; }

  // The 1-byte show-ground flag; absent until a step or a pass stores one.
  const std::shared_ptr<gpu::Buffer>& showGroundBuffer() const { return showGroundBuffer_; }
  void setShowGroundBuffer(std::shared_ptr<gpu::Buffer> buffer) { showGroundBuffer_ = std::move(buffer); }
  // The window's corner in canvas cells (z is 0). Every assignment makes a new offset buffer.
  gpu::uint3 offset() const { return offset_; }
  void setOffset(gpu::uint3 offset);
  const std::shared_ptr<gpu::Buffer>& offsetBuffer() const { return offsetBuffer_; }
  // The window-local samples of the current step.
  TouchInputData& touchInputData() { return touchInputData_; }
  const TouchInputData& touchInputData() const { return touchInputData_; }
  // The Int64 sample count of the current step.
  const std::shared_ptr<gpu::Buffer>& countBuffer() const { return countBuffer_; }
  // The samples a step did not take, carried to the next.
  const TouchInputs& touchInputs() const { return touchInputs_; }
  void setTouchInputs(TouchInputs inputs) { touchInputs_ = std::move(inputs); }
  // The last sample uploaded, the start of the next step's path; none at a stroke's start.
  const std::shared_ptr<TouchInput>& lastTouchInput() const { return lastTouchInput_; }
  void setLastTouchInput(std::shared_ptr<TouchInput> input) { lastTouchInput_ = std::move(input); }
  // Where the window was last loaded from the layer; none while no window is loaded.
  const std::optional<gpu::Origin>& origin() const { return origin_; }
  void setOrigin(std::optional<gpu::Origin> origin) { origin_ = origin; }
  // Set by every doReset: true when the step's leading samples fit the window already loaded;
  // none before the first batch.
  std::optional<bool> useSameRegion() const { return useSameRegion_; }
  void setUseSameRegion(std::optional<bool> value) { useSameRegion_ = value; }
  // The sample arrays of the current step (locations as x, y, z Float32 triples); absent for an
  // empty step.
  const std::shared_ptr<gpu::Buffer>& locationBuffer() const { return locationBuffer_; }
  const std::shared_ptr<gpu::Buffer>& forceBuffer() const { return forceBuffer_; }
  const std::shared_ptr<gpu::Buffer>& altitudeBuffer() const { return altitudeBuffer_; }
  const std::shared_ptr<gpu::Buffer>& azimuthsBuffer() const { return azimuthsBuffer_; }

  // Passes run at the start of every step, after the window is in place; the tool's per-step
  // passes; a third list that nothing runs.
  ToolEncoders& initEncoders() { return initEncoders_; }
  ToolEncoders& encoders() { return encoders_; }
  ToolEncoders& endEncoders() { return endEncoders_; }

  // --- Fluid-step constants, kept for passes that need them -----------------------------------
  // Every assignment of dt makes a new 4-byte dtBuffer.
  float dt() const { return dt_; }
  void setDt(float dt);
  const std::shared_ptr<gpu::Buffer>& dtBuffer() const { return dtBuffer_; }
  static constexpr float rho = 1.0f;
  static constexpr float dx = 0.5f;
  static constexpr float vicosity = 0.1f;
  static constexpr std::int64_t jacobs = 2;
  // Each computed once, at its first read, from the values of that moment; a later change of dt
  // does not recompute them. With the defaults: 2.0, 0.25, 20.0 and 1.0.
  float divergenceScale();
  void setDivergenceScale(float value) { divergenceScale_ = value; }
  float jacobPressureScale();
  void setJacobPressureScale(float value) { jacobPressureScale_ = value; }
  float gradientScale();
  void setGradientScale(float value) { gradientScale_ = value; }
  float viscosityScale();
  void setViscosityScale(float value) { viscosityScale_ = value; }

  // --- Sample intake and the window ------------------------------------------------------------
  // Appends `input` to `list`, first inserting midpoints (recursively) so that no step from the
  // list's last sample (or lastTouchInput for an empty list) is longer than `granularity`, up to
  // MAX_SAMPLES_PER_GAP of them.
  virtual void appendList(TouchInputs& list, const std::shared_ptr<TouchInput>& input, double granularity);
  // Starts a step: moves samples beyond SAMPLE_MARGIN onto it, spaces the batch by the tool's type
  // (tube and bigFanBrush unspaced), then doReset. The batch may be the surface's own carried list.
  virtual void reset(const TouchInputs& touchInputs);
  // Chooses the window (the loaded one while the leading samples fit its reuse band, else a new
  // one around the longest leading run under MAC_REGION_WDITH), uploads the samples it takes and
  // carries the rest. Needs a current canvas and the main canvas.
  virtual void doReset(const TouchInputs& touchInputs);
  // Forgets the window at the end of a stroke: origin and lastTouchInput none, offset 0, no pass
  // carrying the path on.
  virtual void touchEnd();
  // Appends a sample to the carried list with a fixed spacing of 5.0; the last sample uploaded
  // stays as it was.
  virtual void appendTouchInput(const std::shared_ptr<TouchInput>& input);
  // Nothing in the base; the tool's loads() calls it.
  virtual void loads();
  // Whether the uploaded stroke runs forward of the tool's edge for `rotation` (the knives' test).
  virtual bool isForwardDrawing(float rotation);
  // A still, firm press: under 1.8 cells of path per sample and a mean force above 0.9.
  virtual bool isPickUpGesture();
  // Rewrites the uploaded samples (altitudes) before the buffers are made; nothing in the base.
  virtual void adjustInput();
  // A new show-ground flag of the current canvas, and offset 0 unless a window is loaded (then the
  // window, and its offset, stay).
  virtual void updateChange();

  // --- The encode cycle (ToolSurfaceEncodeCycle.cpp) ------------------------------------------
  // Puts the window in place for the step (on a window change the old one goes back first, then
  // the new one is loaded) and runs initEncoders.
  virtual void encodeStart(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // Sets origin from offset, clamped into the layer, and copies the layer's window into the
  // working textures numbered 0.
  virtual void encodeLoads(ArtworkTextures& layer, gpu::CommandBuffer& buffer);
  // Runs encoders, then refreshes the shown picture of the window.
  virtual void encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // Copies the working textures numbered 0 back into the current layer at origin and appends the
  // rectangle to the tool's undo step (on a canvas with undo). origin stays set.
  virtual void encodeSave(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // The stroke's end: for a tool whose passes hold a trail as they carry the path on from step to
  // step (they took encodePathStart with Trail::held), a closing step, which takes no sample and brings the stroke's last sample as
  // its path start, so that the passes level what the step before held back about it: a finished
  // stroke leaves no cell held, and its end is levelled alike however its samples fell into steps.
  // A window written back mid-stroke (saveWindow) is loaded again about the last sample for it.
  // Then the window goes back into the layer (encodeSave). Nothing when no sample was painted and
  // no window is loaded.
  void encodeEnd(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // The tool model of the tool's viewer when that is a DefaultToolViewer; else none.
  virtual std::shared_ptr<ToolModel> getModel();
  // For anything else that needs the working textures while a stroke holds them (a layer's
  // picture rebuild): writes the window back into the current canvas's current layer (the
  // stroke's) on a command buffer of its own, commits it and forgets the window, so the stroke's
  // next step loads it again. Nothing without a window.
  void saveWindow();

  // --- Binders: each binds at its slot with buffer offset 0 and does nothing else ------------
  // dtBuffer at BUFFER_DT.
  virtual void encodeDt(gpu::ComputeCommandEncoder& encoder);
  // countBuffer at BUFFER_POSITION_NUMBER, locationBuffer at BUFFER_POSITION.
  virtual void encodeLocation(gpu::ComputeCommandEncoder& encoder);
  // A new 4-byte buffer holding `scale` at BUFFER_SCALE.
  virtual void encodeScale(gpu::ComputeCommandEncoder& encoder, float scale);
  // encodeLocation, then forces at BUFFER_FORCE, altitudes at BUFFER_ALTITUDE, azimuths at
  // BUFFER_AZIMUTH.
  virtual void encodeInput(gpu::ComputeCommandEncoder& encoder);
  // A new 16-byte buffer holding `offset` at BUFFER_OFFSET; the surface's own offset is unchanged.
  virtual void encodeOffset(gpu::ComputeCommandEncoder& encoder, gpu::uint3 offset);
  // offsetBuffer at BUFFER_OFFSET.
  virtual void encodeOffset(gpu::ComputeCommandEncoder& encoder);
  // The canvas's ground at TEXTURE_GROUND; the working grid, wet and dry textures numbered 0 at
  // the read slots and those numbered 1 at the write slots.
  virtual void encodeTextures(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder);
  // A new buffer of the values (4 bytes each) at BUFFER_VALUE.
  virtual void encodeValues(gpu::ComputeCommandEncoder& encoder, std::span<const float> values);
  // The sample the step before painted last, where the current step's path comes on from, at
  // BUFFER_VALUE: x, y in the current window and its force, three Float32. Nothing is bound at a
  // stroke's start or for a step that takes no sample of its batch; the closing step of encodeEnd
  // takes none and binds it. For the passes that lay a stroke's path on from one step to the next:
  // a stroke whose passes take it holding a trail back from the blur (the head tools) ends with
  // that closing step; one that only walks its path on (the sprayer, the fan) has nothing held to
  // level, and a step without samples would only run its chain once more.
  enum class Trail { held, none };
  void encodePathStart(gpu::ComputeCommandEncoder& encoder, Trail trail = Trail::held);

 private:
  // The closing step of encodeEnd: no sample, the last sample as the path start, the loaded
  // window (or one placed about the last sample) kept.
  void takeClosingStep(DrawingPaint& paint);
  // The main canvas's cells per point, which every canvas's cells follow.
  static double cellsPerPoint(const char* who);
  // A new window about `points` (see findWorkingOffset), kept inside the current layer.
  void placeWindow(const std::vector<graphics::Point>& points, float azimuth, DrawingPaint& paint);
  // A sample's place in the window, in cells.
  std::array<float, 2> inWindow(const TouchInput& sample, double scale) const;
  // The path start bound by encodePathStart: `start` in the window; none without one.
  void setPathStart(const TouchInput* start, double scale);
  // Window choice of doReset: the leading samples that fit the loaded window's reuse band.
  std::size_t samplesInWindow(const TouchInputs& batch, double scale) const;
  // The leading samples whose bounding box stays under MAC_REGION_WDITH on both axes.
  static std::size_t samplesInNewWindow(const TouchInputs& batch, double scale);
  // `corner` moved into `layer` as far as needed for the whole window to lie inside it (0 on a
  // layer smaller than the window).
  static gpu::Origin cornerInLayer(gpu::uint3 corner, ArtworkTextures& layer);
  // New count, sample and show-ground buffers from touchInputData.
  void upload(const DrawingPaint& paint);
  // The picture refresh of encodeLoop, by the debug switches.
  void refreshPicture(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  void refreshTotalHeight(DrawingPaint& paint, gpu::CommandBuffer& buffer);

  std::shared_ptr<gpu::Buffer> showGroundBuffer_;
  AbstractDrawingTool* tool_;
  gpu::uint3 offset_;
  std::shared_ptr<gpu::Buffer> offsetBuffer_;
  TouchInputData touchInputData_;
  std::shared_ptr<gpu::Buffer> countBuffer_;
  TouchInputs touchInputs_;
  std::shared_ptr<TouchInput> lastTouchInput_;
  std::optional<gpu::Origin> origin_;
  std::optional<bool> useSameRegion_;
  std::shared_ptr<gpu::Buffer> locationBuffer_;
  std::shared_ptr<gpu::Buffer> forceBuffer_;
  std::shared_ptr<gpu::Buffer> altitudeBuffer_;
  std::shared_ptr<gpu::Buffer> azimuthsBuffer_;
  std::shared_ptr<gpu::Buffer> pathStartBuffer_;  // see encodePathStart
  bool holdsTrail_ = false;  // a pass of the stroke holds a trail (encodePathStart)
  ToolEncoders initEncoders_;
  ToolEncoders encoders_;
  ToolEncoders endEncoders_;
  float dt_ = 1.0f;
  std::shared_ptr<gpu::Buffer> dtBuffer_;
  std::optional<float> divergenceScale_;
  std::optional<float> jacobPressureScale_;
  std::optional<float> gradientScale_;
  std::optional<float> viscosityScale_;
};

}  // namespace tessivarium

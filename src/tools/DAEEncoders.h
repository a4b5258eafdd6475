#pragma once
// The registry of the tool-model engine's shared passes: each is made on its first request with an
// empty prepare step and kept for the program's life, and the same object is handed to every
// caller ever after, so its pipeline is built once too. Four getters choose the pass by tool type
// (the first test that holds decides); the paint, pickup and fill getters stop with
// "Unsupported yet." for a type they have no pass for. Some getters clear per-use state before
// handing a pass out (see each). Main thread only.

#include <memory>

#include "tools/ToolType.h"

namespace tessivarium {

class AbstractDAEColorFillEncoder;
class AbstractDAEPickupEncoder;
class AbstractDAEToolModelBlur;
class AbstractToolEncoderShader;
class BrushDAEColorFillEncoder;
class DAEBrushPaintingEncoder;
class DAEBrushPickupEncoder;
class DAEInitializer;
class DAEKnifePaintingEncoder;
class DAEKnifePickupEncoder;
class DAEMaskerEncoder;
class DAEPaintingHeight;
class DAEPaintingRender;
class DAERollerPaintingEncoder;
class DAERoundBrushPaintingEncoder;
class DAESanderPaintingEncoder;
class DAEToolModelBlur;
class DAEToolModelDryLayer;
class DAEToolModelOverlayMap;
class DAEToolModelWetLayer;
class DAETowelMapPaint;
class DAETowelPaintingEncoder;
class DAEWideBrushPaintingEncoder;
class DAEWideBrushPickupEncoder;
class DryerDAEEncoder;
class DryerDAEInitEncoder;
class FanBrushInitializer;
class FilbertBrushInitializer;
class FlatBrushInitializer;
class FluffyMopModelBlur;
class FluffyMopPaintingEncoder;
class KnifeDAEColorFillEncoder;
class SanderModelBlur;
class TowelModelBlur;
class TurpentineModelBlur;
class TurpentinePaintingEncoder;
class WetterDAEDryInitEncoder;
class WetterDAEEncoder;
class WideBrushDAEColorFillEncoder;

class DAEEncoderProvider {
 public:
  DAEEncoderProvider();
  ~DAEEncoderProvider();
  DAEEncoderProvider(const DAEEncoderProvider&) = delete;
  DAEEncoderProvider& operator=(const DAEEncoderProvider&) = delete;

  std::shared_ptr<DAEMaskerEncoder> getMasker();
  // fluffyMop, turpentine, towel and sander have their own; every other type the common blur.
  std::shared_ptr<AbstractDAEToolModelBlur> getTextureBlur(ToolType toolType);
  // Handed out with its six textures cleared.
  std::shared_ptr<DAEToolModelOverlayMap> getTextureOverlayMap();
  const std::shared_ptr<DAEToolModelDryLayer>& getTextureDryLayer();
  const std::shared_ptr<DAEToolModelWetLayer>& getTextureWetLayer();
  // The head initialisers are handed out with their descriptor buffer cleared, so each tool (each
  // brush size) initialises its head from its own record.
  std::shared_ptr<DAEInitializer> getInitializer();
  std::shared_ptr<FanBrushInitializer> getFanBrushInitializer();
  std::shared_ptr<FlatBrushInitializer> getFlatBrushInitializer();
  std::shared_ptr<FilbertBrushInitializer> getFilbertBrushInitializer();
  std::shared_ptr<DAETowelMapPaint> getTowelMapPaint();
  // Knives, wide brushes, brushes. Handed out with its colour and descriptor buffer cleared.
  std::shared_ptr<AbstractDAEPickupEncoder> getPickupEncoder(ToolType toolType);
  // Knives, wide brushes, brushes, fluffyMop, turpentine, towel, roundBrush, roller, sander. The
  // passes that carry a descriptor buffer are handed out with it cleared.
  std::shared_ptr<AbstractToolEncoderShader> getPaintEncoder(ToolType toolType);
  std::shared_ptr<DryerDAEEncoder> getDryerEncoder();
  std::shared_ptr<WetterDAEEncoder> getWetterEncoder();
  std::shared_ptr<DryerDAEInitEncoder> getDryerInitializer();
  std::shared_ptr<WetterDAEDryInitEncoder> getWetterInitializer();
  // Knives, wide brushes, brushes; handed out with its colour, force and buffer as they stand.
  std::shared_ptr<AbstractDAEColorFillEncoder> getColorFillEncoder(ToolType toolType);
  std::shared_ptr<DAEPaintingHeight> getPaintHeight();
  std::shared_ptr<DAEPaintingRender> getPaintRender();

 private:
  std::shared_ptr<DAEInitializer> initializer_;
  std::shared_ptr<FanBrushInitializer> fanBrushInitializer_;
  std::shared_ptr<FlatBrushInitializer> flatBrushInitializer_;
  std::shared_ptr<FilbertBrushInitializer> filbertBrushInitializer_;
  std::shared_ptr<DAEMaskerEncoder> masker_;
  std::shared_ptr<DAEKnifePaintingEncoder> knifePaint_;
  std::shared_ptr<DAEKnifePickupEncoder> knifePickup_;
  std::shared_ptr<DryerDAEEncoder> dryer_;
  std::shared_ptr<DryerDAEInitEncoder> dryerInit_;
  std::shared_ptr<WetterDAEEncoder> wetterPaint_;
  std::shared_ptr<WetterDAEDryInitEncoder> wetterInit_;
  std::shared_ptr<KnifeDAEColorFillEncoder> knifeDAEColorFillEncoder_;
  std::shared_ptr<DAEBrushPaintingEncoder> brushPaint_;
  std::shared_ptr<DAEWideBrushPaintingEncoder> wideBrushPaint_;
  std::shared_ptr<DAEBrushPickupEncoder> brushPickup_;
  std::shared_ptr<DAEWideBrushPickupEncoder> wideBrushPickup_;
  std::shared_ptr<FluffyMopPaintingEncoder> fluffyMopPaint_;
  std::shared_ptr<TurpentinePaintingEncoder> turpentinePaint_;
  std::shared_ptr<DAERoundBrushPaintingEncoder> roundBrushPaint_;
  std::shared_ptr<BrushDAEColorFillEncoder> brushDAEColorFillEncoder_;
  std::shared_ptr<WideBrushDAEColorFillEncoder> wideBrushDAEColorFillEncoder_;
  std::shared_ptr<DAEPaintingHeight> paintHeight_;
  std::shared_ptr<DAEPaintingRender> paintRender_;
  std::shared_ptr<DAEToolModelBlur> textureBlur_;
  std::shared_ptr<FluffyMopModelBlur> fluffyMopBlur_;
  std::shared_ptr<TurpentineModelBlur> turpentineBlur_;
  std::shared_ptr<DAEToolModelOverlayMap> textureOverlayMap_;
  std::shared_ptr<DAEToolModelDryLayer> textureDryLayer_;
  std::shared_ptr<DAEToolModelWetLayer> textureWetLayer_;
  std::shared_ptr<DAETowelPaintingEncoder> towelPaint_;
  std::shared_ptr<DAETowelMapPaint> towelMapPaint_;
  std::shared_ptr<TowelModelBlur> towelModelBlur_;
  std::shared_ptr<DAERollerPaintingEncoder> rollerPaint_;
  std::shared_ptr<DAESanderPaintingEncoder> sanderPaint_;
  std::shared_ptr<SanderModelBlur> sanderBlur_;
};

// The one registry, created on first use.
DAEEncoderProvider& DAEEncoders();

// Drops the registry and its passes, so the next use starts afresh (tests only).
void resetDAEEncodersForTesting();

class DrawingTool;
class ToolEncoder;

// The stroke composites of a tool-model surface, each a new object for its caller (not shared):
// the painting step made for `tool`, and the debug height view.
std::shared_ptr<ToolEncoder> makeDAEPainting(DrawingTool& tool);
std::shared_ptr<ToolEncoder> makeDAEPaintingShow();

}  // namespace tessivarium

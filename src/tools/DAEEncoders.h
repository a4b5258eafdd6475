#pragma once
// The registry of the tool-model engine's shared passes: each is made on its first request with an
// empty prepare step and its optional fields unset, and the same object is handed to every caller
// ever after. So far it holds the two passes that work on whole layers; the stroke passes join it
// with the tool-model engine. Main thread only.

#include <memory>

namespace tessivarium {

class DAEToolModelDryLayer;
class DAEToolModelWetLayer;

class DAEEncoderProvider {
 public:
  DAEEncoderProvider();
  ~DAEEncoderProvider();
  DAEEncoderProvider(const DAEEncoderProvider&) = delete;
  DAEEncoderProvider& operator=(const DAEEncoderProvider&) = delete;

  const std::shared_ptr<DAEToolModelDryLayer>& getTextureDryLayer();
  const std::shared_ptr<DAEToolModelWetLayer>& getTextureWetLayer();

 private:
  std::shared_ptr<DAEToolModelDryLayer> textureDryLayer_;
  std::shared_ptr<DAEToolModelWetLayer> textureWetLayer_;
};

// The one registry, created on first use.
DAEEncoderProvider& DAEEncoders();

// Drops the registry and its passes, so the next use starts afresh (tests only).
void resetDAEEncodersForTesting();

class DrawingTool;
class ToolEncoder;

// The stroke composites of a tool-model surface, each a new object for its caller (not shared):
// the painting step made for `tool`, and the debug height view. Until the composites are built
// both stop with "not built yet".
std::shared_ptr<ToolEncoder> makeDAEPainting(DrawingTool& tool);
std::shared_ptr<ToolEncoder> makeDAEPaintingShow();

}  // namespace tessivarium

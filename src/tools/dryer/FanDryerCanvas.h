#pragma once
// The canvas the dryer and the wetter work on: the main canvas, whichever canvas is painted, and
// its current layer.

#include <string_view>

namespace tessivarium {

class ArtworkTextures;
class DrawingPaint;

// AppManager's main canvas; a fatal stop "<operation>: no main canvas" without one.
DrawingPaint& fanDryerCanvas(std::string_view operation);
// Its current layer; a fatal stop "<operation>: the main canvas has no layer" without one.
ArtworkTextures& fanDryerLayer(DrawingPaint& canvas, std::string_view operation);

}  // namespace tessivarium

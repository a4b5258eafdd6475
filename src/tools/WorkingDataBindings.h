#pragma once
// Bindings shared by the passes that read the working region's paint data (data to height and data
// to alpha).

namespace gpu {
class ComputeCommandEncoder;
}

namespace tessivarium {

class DrawingPaint;
class ToolSurface;

// The surface's standard set, then the working grid, wet and dry textures numbered 0 at the read
// slots (the write slots keep those numbered 1).
void bindWorkingData(DrawingPaint& paint, ToolSurface& surface, gpu::ComputeCommandEncoder& encoder);

// The use-dry flag at BUFFER_USE_DRY: the dry paint takes part except on a palette.
void bindUseDry(const DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder);

}  // namespace tessivarium

#pragma once
// The kernel functions of the library, one per registered name (see Kernels.cpp).

namespace gpu {
class Dispatch;
}

namespace kernels {

// TextureKernels.cpp
void textureCopy(const gpu::Dispatch& dispatch);
void textureOverlay(const gpu::Dispatch& dispatch);
void textureOverlay2D(const gpu::Dispatch& dispatch);
void textureReset(const gpu::Dispatch& dispatch);
void textureReset2D(const gpu::Dispatch& dispatch);

// PictureKernels.cpp
void dataToHeight(const gpu::Dispatch& dispatch);
void dataToDryHeight(const gpu::Dispatch& dispatch);
void dataToHeightSubLayer(const gpu::Dispatch& dispatch);
void dataToAlpha(const gpu::Dispatch& dispatch);
void dataToDryAlpha(const gpu::Dispatch& dispatch);

// ImportKernels.cpp
void importImageDry(const gpu::Dispatch& dispatch);
void importImageWet(const gpu::Dispatch& dispatch);

// DropKernels.cpp
void addSphere(const gpu::Dispatch& dispatch);
void sprayerPaint(const gpu::Dispatch& dispatch);

// LayerKernels.cpp
void dryLayer(const gpu::Dispatch& dispatch);
void wetLayer(const gpu::Dispatch& dispatch);

// ToolModelHeadKernels.cpp
void toolModelInitialize(const gpu::Dispatch& dispatch);
void toolModelBrushFill(const gpu::Dispatch& dispatch);
void toolModelKnifeFill(const gpu::Dispatch& dispatch);
void toolModelWideBrushFill(const gpu::Dispatch& dispatch);
void toolModelPaintHeight(const gpu::Dispatch& dispatch);

// ToolModelStrokeKernels.cpp
void toolModelBrushPaint(const gpu::Dispatch& dispatch);
void toolModelKnifePaint(const gpu::Dispatch& dispatch);
void toolModelBrushPickup(const gpu::Dispatch& dispatch);
void toolModelKnifePickup(const gpu::Dispatch& dispatch);
void toolModelWideBrushPickup(const gpu::Dispatch& dispatch);

// ToolModelWindowKernels.cpp
void toolModelOverlayMap(const gpu::Dispatch& dispatch);
void toolModelBlurImage(const gpu::Dispatch& dispatch);
void toolModelMask(const gpu::Dispatch& dispatch);

// ToolFamilyKernels.cpp
void brushBristlePaint(const gpu::Dispatch& dispatch);
void brushFan(const gpu::Dispatch& dispatch);
void brushFilbert(const gpu::Dispatch& dispatch);
void brushFlat(const gpu::Dispatch& dispatch);
void wideBrushPaint(const gpu::Dispatch& dispatch);
void towelPaint(const gpu::Dispatch& dispatch);
void towelMapPaint(const gpu::Dispatch& dispatch);
void dryerInit(const gpu::Dispatch& dispatch);
void dryerPaint(const gpu::Dispatch& dispatch);
void wetterInit(const gpu::Dispatch& dispatch);
void wetterPaint(const gpu::Dispatch& dispatch);

}  // namespace kernels

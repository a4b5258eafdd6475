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
void rollerPaint(const gpu::Dispatch& dispatch);
void toolModelBrushPickup(const gpu::Dispatch& dispatch);
void toolModelKnifePickup(const gpu::Dispatch& dispatch);
void toolModelWideBrushPickup(const gpu::Dispatch& dispatch);

// ToolModelWindowKernels.cpp
void toolModelOverlayMap(const gpu::Dispatch& dispatch);
void toolModelBlurImage(const gpu::Dispatch& dispatch);
void toolModelMask(const gpu::Dispatch& dispatch);

// BristleKernels.cpp
void brushFan(const gpu::Dispatch& dispatch);
void brushFilbert(const gpu::Dispatch& dispatch);
void brushFlat(const gpu::Dispatch& dispatch);

// WideBrushKernels.cpp
void wideBrushPaint(const gpu::Dispatch& dispatch);

// RoundBrushKernels.cpp
void brushBristlePaint(const gpu::Dispatch& dispatch);

// TowelKernels.cpp
void towelPaint(const gpu::Dispatch& dispatch);
void towelMapPaint(const gpu::Dispatch& dispatch);
void towelBlurImage(const gpu::Dispatch& dispatch);

// SanderKernels.cpp
void sanderPaint(const gpu::Dispatch& dispatch);
void sanderBlurImage(const gpu::Dispatch& dispatch);

// TurpentineKernels.cpp
void turpentinePaint(const gpu::Dispatch& dispatch);
void turpentineBlurImage(const gpu::Dispatch& dispatch);

// FluffyMopKernels.cpp
void fluffyMopPaint(const gpu::Dispatch& dispatch);
void fluffyMopBlurImage(const gpu::Dispatch& dispatch);

// DryerWetterKernels.cpp
void dryerInit(const gpu::Dispatch& dispatch);
void dryerPaint(const gpu::Dispatch& dispatch);
void wetterInit(const gpu::Dispatch& dispatch);
void wetterPaint(const gpu::Dispatch& dispatch);

}  // namespace kernels

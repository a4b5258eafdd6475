#pragma once
// The one set of scratch textures every painting pass works in: a tool copies the working region
// of a layer into them, its passes read and write them frame after frame, and the region goes back
// into the layer when the tool leaves it. The picture composition renders through the six
// rendering textures. Every texture is MAC_WIDTH x MAC_WIDTH in DefaultPixelFormat, made on first
// read through the application manager. Main thread only.

#include <cstddef>
#include <memory>

namespace gpu {
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace tessivarium {

class SurfaceWorkingTextures {
 public:
  // Makes nothing: every slot starts absent.
  SurfaceWorkingTextures();
  ~SurfaceWorkingTextures();

  // The descriptor of every working texture, built on first read; one shared object.
  const std::shared_ptr<gpu::TextureDescriptor>& texture2DDescriptor();
  void setTexture2DDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor);

  // Each getter makes its texture when absent; a setter replaces it without accounting.
#define TESS_WORKING_TEXTURES(X)                                                          \
  X(renderingTexture, RenderingTexture)                                                   \
  X(renderingAlphaTexture, RenderingAlphaTexture)                                         \
  X(renderingColorTexture, RenderingColorTexture)                                         \
  X(renderingDryTexture, RenderingDryTexture)                                             \
  X(renderingDryColorTexture, RenderingDryColorTexture)                                   \
  X(renderingDryAlphaTexture, RenderingDryAlphaTexture)                                   \
  X(gridTexture0, GridTexture0)                                                           \
  X(gridTexture1, GridTexture1)                                                           \
  X(dryTexture0, DryTexture0)                                                             \
  X(dryTexture1, DryTexture1)                                                             \
  X(wetTexture0, WetTexture0)                                                             \
  X(wetTexture1, WetTexture1)
#define TESS_WORKING_TEXTURE_ACCESSORS(name, Name)   \
  const std::shared_ptr<gpu::Texture>& name();       \
  void set##Name(std::shared_ptr<gpu::Texture> texture) { name##_ = std::move(texture); }
  TESS_WORKING_TEXTURES(TESS_WORKING_TEXTURE_ACCESSORS)
#undef TESS_WORKING_TEXTURE_ACCESSORS

  // Exchange the read (0) and write (1) sides of a pair, making either when absent.
  void swapGridTexture();
  void swapWetTexture();
  void swapDryTexture();

  // Makes every absent texture, in the order of the list above; throws Error(NoMoreHeap) at the
  // first whose width differs from the descriptor's (a texture the device did not make has width 0),
  // after giving that texture back to the manager and leaving its slot absent, so that a later call
  // asks for it again.
  void loads();
  // loads() for the work about to use the textures: false instead of the throw (the failed make
  // has reported NoMoreHeap), so that the work can be skipped and tried again later.
  bool makeAll();

 private:
  const std::shared_ptr<gpu::Texture>& madeOnFirstRead(std::shared_ptr<gpu::Texture>& slot);
  void swapPair(std::shared_ptr<gpu::Texture>& first, std::shared_ptr<gpu::Texture>& second);

  std::shared_ptr<gpu::TextureDescriptor> texture2DDescriptor_;
#define TESS_WORKING_TEXTURE_SLOT(name, Name) std::shared_ptr<gpu::Texture> name##_;
  TESS_WORKING_TEXTURES(TESS_WORKING_TEXTURE_SLOT)
#undef TESS_WORKING_TEXTURE_SLOT
};

// The width of a texture that may be absent (0 for none).
std::size_t widthOf(const std::shared_ptr<gpu::Texture>& texture);

}  // namespace tessivarium

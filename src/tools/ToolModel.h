#pragma once
// The textures of a tool head: the pattern of paint the head carries, as a small 3-D texture of
// width x height x depth cells (RGBA8, 4 bytes a cell, meaning fixed by the tool-model kernels).
// Two working copies are used alternately by the passes (colorTexture0 in, colorTexture1 out, then
// swapTexture()), a saved copy lets the tool return to a stored head, and two 2-D textures of the
// head's footprint hold previews. Every descriptor and texture is made on its first read; textures
// are made and counted through AppManager().makeTexture and only cleanResources() gives them back.
//
// The model also runs the tool-level operations on the head: load a pattern from bytes, empty the
// head, save it, go back to the saved head, and pick paint up from the canvas under one sample.
// Each GPU operation commits its own command buffer on the manager's queue and does not wait, so
// their effects happen in call order. Main thread only.

#include <cstdint>
#include <memory>
#include <optional>

#include "graphics/Color.h"
#include "tools/ToolType.h"

namespace gpu {
class CommandBuffer;
class Texture;
struct TextureDescriptor;
}  // namespace gpu

namespace tessivarium {

class DefaultToolViewer;
class DrawingPaint;
class RawData;
class TouchInput;

class ToolModel {
 public:
  // The model of `toolViewer`'s head, which owns the model and outlives it; nothing is made yet.
  ToolModel(DefaultToolViewer& toolViewer, std::int64_t width, std::int64_t height, std::int64_t depth);
  virtual ~ToolModel();
  ToolModel(const ToolModel&) = delete;
  ToolModel& operator=(const ToolModel&) = delete;

  DefaultToolViewer& toolViewer() const { return *toolViewer_; }
  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }
  std::int64_t depth() const { return depth_; }

  // width x height x depth, 3-D, RGBA8; nothing else is set.
  const std::shared_ptr<gpu::TextureDescriptor>& textureDescriptor();
  void setTextureDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor);
  // width x height, 2-D, RGBA8.
  const std::shared_ptr<gpu::TextureDescriptor>& texture2DDescriptor();
  void setTexture2DDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor);

  // The head's current pattern: the input of the next pass.
  const std::shared_ptr<gpu::Texture>& colorTexture0();
  void setColorTexture0(std::shared_ptr<gpu::Texture> texture);
  // The other working copy: the output of the next pass.
  const std::shared_ptr<gpu::Texture>& colorTexture1();
  void setColorTexture1(std::shared_ptr<gpu::Texture> texture);
  const std::shared_ptr<gpu::Texture>& savedColorTexture();
  void setSavedColorTexture(std::shared_ptr<gpu::Texture> texture);
  // 2-D previews of the head's heights and colours, for the debug passes.
  const std::shared_ptr<gpu::Texture>& previewHeightTexture();
  void setPreviewHeightTexture(std::shared_ptr<gpu::Texture> texture);
  const std::shared_ptr<gpu::Texture>& previewColorTexture();
  void setPreviewColorTexture(std::shared_ptr<gpu::Texture> texture);

  // Writes a pattern's bytes into colorTexture0 only. A pattern of another width, height or depth,
  // or whose bytes are not exactly width x height x depth x 4, throws Error
  // (TextureFormatIncompatible) and writes nothing.
  virtual void setToolPattern(const RawData& rawData);
  // Exchanges the two working copies (making them first if need be); no GPU work.
  virtual void swapTexture();
  // Empties the head: encodeClean() on one committed buffer, with the current canvas.
  virtual void clean();
  // savedColorTexture copied into colorTexture0 (a blit on its own committed buffer).
  virtual void reset();
  // colorTexture0 copied into savedColorTexture.
  virtual void savePattern();
  // Replaces the head with paint picked up under `touchInput` with the head turned by `rotation`:
  // the head is emptied, then each layer from the bottom up to the current one is picked up into
  // one texture that starts as the emptied head. The tool's rotation is given back afterwards.
  virtual void pickPattern(const TouchInput& touchInput, float rotation);
  // Gives the five textures back to the manager's count, making any never made first; the fields
  // keep their references.
  virtual void cleanResources();

 protected:
  // The shared pickup pass of `type`, with the surface colour when the pick is on the current
  // layer of a canvas that shows its surface, encoded on `buffer`: it reads the head at
  // TEXTURE_TOOL_READ, writes it at TEXTURE_TOOL_WRITE and exchanges the two working copies.
  virtual void encodePickup(ToolType type, const std::optional<graphics::Color>& color, DrawingPaint& paint,
                            gpu::CommandBuffer& buffer);
  // The debug view of the head's heights, encoded on `buffer`.
  virtual void encodeHeightPreview(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // The passes that empty the head, encoded on `buffer`: the tool's initialiser passes, in order.
  virtual void encodeClean(DrawingPaint& paint, gpu::CommandBuffer& buffer);

 private:
  std::shared_ptr<gpu::TextureDescriptor> makeDescriptor(bool threeD) const;
  const std::shared_ptr<gpu::Texture>& madeFrom(std::shared_ptr<gpu::Texture>& slot, bool threeD);
  void blit(const std::shared_ptr<gpu::Texture>& from, const std::shared_ptr<gpu::Texture>& to);

  DefaultToolViewer* toolViewer_;
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t depth_;
  std::shared_ptr<gpu::TextureDescriptor> textureDescriptor_;
  std::shared_ptr<gpu::TextureDescriptor> texture2DDescriptor_;
  std::shared_ptr<gpu::Texture> colorTexture0_;
  std::shared_ptr<gpu::Texture> colorTexture1_;
  std::shared_ptr<gpu::Texture> savedColorTexture_;
  std::shared_ptr<gpu::Texture> previewHeightTexture_;
  std::shared_ptr<gpu::Texture> previewColorTexture_;
};

}  // namespace tessivarium

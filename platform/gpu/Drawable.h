#pragma once
// Something a command buffer can present: a view's drawable, with the BGRA8 texture it shows. The ui
// kit's GPU view supplies drawables.

#include <memory>

namespace gpu {

class Texture;

class Drawable {
 public:
  virtual ~Drawable() = default;

  // The texture the drawable shows (BGRA8 unsigned normalised).
  virtual std::shared_ptr<Texture> texture() const = 0;

  // Called by the command buffer that presents the drawable, after that buffer's work has run.
  virtual void present() = 0;
};

}  // namespace gpu

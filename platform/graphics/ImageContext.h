#pragma once
// Image contexts: bitmap contexts pushed on a stack so that drawing code can reach "the current
// context". Their base transform puts the origin at the top left, y downwards, in points (scale
// pixels per point), as the platform's image contexts do; a bitmap drawn into one with the plain
// draw call therefore lands upside down, its top row at the bottom.
//
// The stack is a process-wide global used from the main thread only.

#include <memory>

#include "graphics/BitmapContext.h"
#include "graphics/Geometry.h"
#include "graphics/Image.h"

namespace graphics {

// Pushes a new image context of `size` points at `scale` pixels per point (0 means one pixel per
// point, the main screen's density in this kit), ceil(size x scale) pixels, transparent (or
// opaque black when `opaque`). A size without pixels pushes a context that cannot be drawn into:
// the current context is then null and it yields no image. A negative or non-finite scale stops
// fatally.
void beginImageContext(Size size, bool opaque = false, double scale = 1.0);

// The context on top of the stack; null when there is none or it could not be made.
std::shared_ptr<BitmapContext> currentContext();

// A new image of the current context's pixels (premultiplied), at the context's scale; null when
// there is no current context.
std::shared_ptr<Image> imageFromCurrentImageContext();

// Pops the top context; stops fatally when no image context is open.
void endImageContext();

// Drops every open image context (for tests).
void resetImageContexts();

}  // namespace graphics

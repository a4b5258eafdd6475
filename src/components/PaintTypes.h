#pragma once
// Small value types of the canvas: the kind of paint, offered to the host, and the state of a
// layer's next frame. Both compare by case and hash by their position (std::hash of an
// enumeration is its underlying value).

namespace tessivarium {

// The kind of paint; `acylic` is the host-visible spelling.
enum class ColorKind { oil, ink, acylic, water, sand };

// What a layer's next frame does: draw as usual, refresh, rebuild the shown picture from the
// layer's data, or end.
enum class DrawingMode { Normal, Refresh, Recreated, End };

}  // namespace tessivarium

#pragma once
// The wide brushes' flat head (kernels/README.md, "The wide brushes"): a W x 12 x 3 box whose
// columns are small wells rather than stacks of one-byte cells, so that a column three cells deep
// can carry a load that lasts a long stroke. The fill, the pickup and the paint of the wide brushes
// read and write it through these two functions alone.
//
// Slice 0, facing the canvas, is the tip: the paint the column took up from the canvas, laid again
// first. Slice 1 is the load a fill or a pickup gave it. Each holds its paint's colour (R, G, B) and
// wetness kind (A), or is air when the well is empty. Slice 2 is the ledger, the column's back:
// R counts the tip's thickness bytes and G the load's, B the fractions of a byte the column has
// still to lay (high four bits) and to smear up (low four), in sixteenths, so that a stroke lays
// and smears alike however its samples fall into dispatches, and A is the body kind; a column that
// holds nothing is air all through, as a cleaned head is.

#include <algorithm>
#include <cstddef>

#include "gpu/TexelView.h"
#include "kernels/PaintModel.h"

namespace kernels {

// The most thickness bytes one well holds.
inline constexpr int kWellBytes = 255;
// The slices of a flat head column.
inline constexpr std::size_t kTipSlice = 0, kLoadSlice = 1, kLedgerSlice = 2, kFlatDepth = 3;

struct Well {
  Texel paint;  // colour, and the wetness kind in A
  int amount = 0;
};

struct FlatColumn {
  Well tip, load;
  int lay256 = 0, smear256 = 0;  // the fractions of a byte still to lay and to smear up, in 1/256ths
  int total() const { return tip.amount + load.amount; }
};

// Whether `head` is deep enough to hold a flat head's wells (slices beyond the third are not used).
TESS_KERNEL_INLINE bool holdsWells(const gpu::TexelView& head) { return head && head.depth() >= kFlatDepth; }

// Column (x, y) of a flat head. A well holds paint only where the ledger is one and the slice holds
// head paint; whatever else the bytes say (a pattern of another tool, say) reads as an empty well.
TESS_KERNEL_INLINE FlatColumn readFlatColumn(const gpu::TexelView& head, std::size_t x, std::size_t y) {
  const Texel ledger = load(head, x, y, kLedgerSlice);
  if (ledger.a != kHeadSolid) return {};
  const auto well = [&](std::size_t slice, int amount) {
    const Texel paint = load(head, x, y, slice);
    return isHeadPaint(paint.a) && amount > 0 ? Well{paint, amount} : Well{};
  };
  return {well(kTipSlice, ledger.r), well(kLoadSlice, ledger.g), (ledger.b >> 4) << 4, (ledger.b & 15) << 4};
}

// Writes column (x, y) of a flat head: its two wells (amounts held to a well's room) and ledger,
// which keeps the fractions, to the nearest sixteenth, only while the column holds paint.
TESS_KERNEL_INLINE void writeFlatColumn(const gpu::TexelView& head, std::size_t x, std::size_t y, const FlatColumn& c) {
  const auto bytes = [](const Well& w) { return static_cast<std::uint8_t>(std::clamp(w.amount, 0, kWellBytes)); };
  const auto slice = [&](const Well& w) { return bytes(w) > 0 ? w.paint : Texel{}; };
  store(head, slice(c.tip), x, y, kTipSlice);
  store(head, slice(c.load), x, y, kLoadSlice);
  const bool holds = bytes(c.tip) + bytes(c.load) > 0;
  const auto sixteenths = [](int v) { return std::clamp((v + 8) >> 4, 0, 15); };
  const auto fractions = static_cast<std::uint8_t>(sixteenths(c.lay256) << 4 | sixteenths(c.smear256));
  store(head, holds ? Texel{bytes(c.tip), bytes(c.load), fractions, kHeadSolid} : Texel{}, x, y, kLedgerSlice);
}

// A freshly filled column of a flat head: `load` in its load well, its tip empty, and fractions
// that start somewhere in a byte by a hash of the column, so that the columns of a fresh fill do
// not all reach a whole byte at the same meeting and lay a stroke in stripes across the head.
TESS_KERNEL_INLINE FlatColumn filledFlatColumn(std::size_t x, std::size_t y, Well load) {
  const std::uint32_t h = mix32(static_cast<std::uint32_t>(x) * 0x9e3779b9u ^ mix32(static_cast<std::uint32_t>(y)));
  return {{}, load, static_cast<int>(h & 255u), static_cast<int>((h >> 8) & 255u)};
}

}  // namespace kernels

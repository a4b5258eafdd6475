// Exact amounts for the tool-model kernels: a two-column head (one column empty, one loaded) meets
// one window cell per sample, so every press, share, clamp and lift can be worked out by hand.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "ToolModelKernelFixture.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::uint8_t kWet = 252;  // full wetness, as stored
constexpr std::size_t kWindow = 16;

// A 2 x 1 head of `depth`: column i's body fills z >= body[i]; column 1 hangs `paint` cells of
// `colour` right under its body. Without a descriptor the head's centre stands on the sample's
// nearest cell corner (x, y), and column 1 meets cell (x, y - 1) in the paint pass and the pickup
// alike (its centre lies on the cells' edge): (6, 5) for a sample at (6.3, 5.8).
std::shared_ptr<gpu::Texture> twoColumnHead(std::size_t depth, int body0, int body1, int paint, Texel colour) {
  auto head = texture(2, 1, depth);
  for (int z = 0; z < static_cast<int>(depth); ++z) {
    set(*head, 0, 0, z >= body0 ? Texel{0, 0, 0, kSolid} : Texel{}, static_cast<std::size_t>(z));
    const bool solid = z >= body1, hangs = z < body1 && z >= body1 - paint;
    set(*head, 1, 0, solid ? Texel{0, 0, 0, kSolid} : hangs ? colour : Texel{}, static_cast<std::size_t>(z));
  }
  return head;
}

int paintCells(const gpu::Texture& head, std::size_t x) {
  int n = 0;
  for (std::size_t z = 0; z < head.depth(); ++z) {
    const std::uint8_t a = at(head, x, 0, z)[3];
    n += a != 0 && a != kSolid;
  }
  return n;
}

struct Window {
  std::shared_ptr<gpu::Texture> grid0 = texture(kWindow, kWindow), grid1 = texture(kWindow, kWindow),
                                wet0 = texture(kWindow, kWindow), wet1 = texture(kWindow, kWindow),
                                dry0 = texture(kWindow, kWindow);
  std::map<std::int64_t, std::shared_ptr<gpu::Texture>> textures() const {
    return {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid1}, {TEXTURE_WET_READ, wet0},
            {TEXTURE_WET_WRITE, wet1},  {TEXTURE_DRY_READ, dry0}};
  }
  void lay(std::size_t x, std::size_t y, Texel wet, std::uint8_t wetness) const {
    set(*wet0, x, y, wet);
    set(*grid0, x, y, {wetness, 0, 0, TOOL_FLUID});
  }
  // The cell as the step leaves it: the written copy where the pass marked it.
  Texel wetAt(std::size_t x, std::size_t y) const { return changedByPass(at(*grid1, x, y)) ? at(*wet1, x, y) : at(*wet0, x, y); }
  Texel gridAt(std::size_t x, std::size_t y) const { return changedByPass(at(*grid1, x, y)) ? at(*grid1, x, y) : at(*grid0, x, y); }
};

// Runs a paint pass (head read at slot 9, a copy written at slot 10) and returns the written head.
std::shared_ptr<gpu::Texture> paintPass(const std::string& kernel, const Window& w, const std::shared_ptr<gpu::Texture>& head,
                                        const std::vector<Touch>& touches, bool forward) {
  auto out = texture(head->width(), head->height(), head->depth());
  std::memcpy(out->texels().texel(0, 0, 0), head->texels().texel(0, 0, 0), contents(*head).size());
  auto textures = w.textures();
  textures[TEXTURE_TOOL_READ] = head, textures[TEXTURE_TOOL_WRITE] = out;
  auto buffers = sampleBuffers(touches);
  buffers[BUFFER_PENCIL_STATE] = Bytes{0, static_cast<std::uint8_t>(forward ? 1 : 0), 0, 0, 0, 0, 0, 0};
  buffers[BUFFER_OFFSET] = offsetRecord(0, 0);
  run({kernel, textures, buffers, w.grid0});
  return out;
}

// Column 1 (body `body1`, `paint` cells of colour {200, 90, 30}) stands body1 - body0 over the
// head's lowest point; column 0 holds no paint over a bare cell, so only cell (6, 5) is met.
TEST(ToolModelPaintAmounts, PressShareClampAndLiftByHand) {
  const Texel load{200, 90, 30, kWet};
  struct Case {
    const char* what;
    const char* kernel;
    std::size_t depth;
    int body0, body1, paint;
    Texel cell;  // wet paint laid at (6, 5), full wetness; alpha 0 for none
    std::vector<Touch> touches;
    bool forward;
    std::uint8_t thickness;  // what cell (6, 5) holds after the pass
    int headPaint;           // paint cells left on column 1
  } cases[] = {
      // press lround(0.4 x 24 x (1 + sin 0.3) / 2) = 6 leaves a gap of 14 - 6 = 8: 144 of the 152
      // cells are pressed onto the canvas, and over the one cell a lone sample counts as travelled
      // they lay 144 / 48 = 3 bytes, whatever fraction the column started with; a trail of 3 bytes
      // is too thin to smear.
      {"press", "DAEToolModel_brush_paint", 200, 146, 160, 152, {}, {{6.3f, 5.8f, 0.4f, 0.3f}}, true, 3, 149},
      // 130 cells hang into a gap of 136 - 6 = 130: they touch the surface, none is pressed out.
      {"gap", "DAEToolModel_brush_paint", 160, 5, 141, 130, {}, {{6.3f, 5.8f, 0.4f, 0.3f}}, true, 0, 130},
      // force 6 is held to 4: press 62 leaves a gap of 110 - 62 = 48, more than the cell's 40, so the
      // empty column does not reach the cell (press 93 would, and smear up 10).
      {"force held to 4", "DAEToolModel_brush_paint", 128, 10, 120, 0, {30, 60, 90, 40}, {{6.3f, 5.8f, 6, 0.3f}}, true, 40, 0},
      // 255 thick: what the column lays finds no room under the ceiling; the smear over the cell
      // travelled, 255 x (1 - (3/4)^(1/4)) = 17.7, is held to the 10 cells of room under the column's paint.
      {"ceiling", "DAEToolModel_brush_paint", 180, 170, 170, 160, {10, 10, 10, 255}, {{6.3f, 5.8f, 0.4f, 0.3f}}, true, 245, 170},
      // an empty brush drawing forward smears up 245 x (1 - (3/4)^(1/4)) = 17.0 over the cell
      // travelled, whatever fraction the column started with; backward it takes none.
      {"smear", "DAEToolModel_brush_paint", 32, 10, 20, 0, {30, 60, 90, 245}, {{6.3f, 5.8f, 0.4f, 0.3f}}, true, 228, 17},
      {"no smear backward", "DAEToolModel_brush_paint", 32, 10, 20, 0, {30, 60, 90, 40}, {{6.3f, 5.8f, 0.4f, 0.3f}}, false, 40, 0},
      // a second sample on the same cell corner brings the head no further: one visit, as alone.
      {"one corner", "DAEToolModel_brush_paint", 32, 10, 20, 0, {30, 60, 90, 245},
       {{6.3f, 5.8f, 0.4f, 0.3f}, {6.4f, 5.6f, 0.4f, 0.3f}}, true, 228, 17},
      // press 6: the blade rides 12 - 6 / 2 = 9 high and fills the 2-thick cell up to it.
      {"blade height", "DAEToolModel_knife_paint", 32, 10, 10, 10, {10, 10, 10, 2}, {{6.3f, 5.8f, 0.4f, 0.3f}}, true, 9, 3},
      // press 24 sets the blade on the surface: it scrapes all 9 up and the cell is air again.
      {"scraped bare", "DAEToolModel_knife_paint", 32, 10, 10, 0, {30, 60, 90, 9}, {{6.3f, 5.8f, 1, 1.5707964f}}, true, 0, 9},
  };
  for (const Case& c : cases) {
    Window w;
    if (c.cell[3] > 0) w.lay(6, 5, c.cell, kWet);
    const auto head = paintPass(c.kernel, w, twoColumnHead(c.depth, c.body0, c.body1, c.paint, load), c.touches, c.forward);
    EXPECT_EQ(w.wetAt(6, 5)[3], c.thickness) << c.what;
    EXPECT_EQ(paintCells(*head, 1), c.headPaint) << c.what;
    EXPECT_EQ(paintCells(*head, 0), 0) << c.what;
    if (c.thickness == 0) {
      const std::uint8_t mark = c.cell[3] > 0 ? 3 : 0;  // a cell left bare is marked (held), a bare one left alone
      EXPECT_EQ(w.gridAt(6, 5), (Texel{0, 0, mark, TOOL_AIR})) << c.what;
    } else {
      EXPECT_EQ(w.gridAt(6, 5)[3], TOOL_FLUID) << c.what;
    }
  }
}

// A 2 x 1 flat head of the wide brushes: column 0 empty, column 1 holding `tip` bytes of
// `tipPaint` and `load` of {10, 10, 250}, its ledger counting them and carrying `fractions`.
std::shared_ptr<gpu::Texture> flatHead(Texel tipPaint, int tip, int load, std::uint8_t fractions = 0) {
  auto head = texture(2, 1, 3);
  if (tip > 0) set(*head, 1, 0, tipPaint, 0);
  if (load > 0) set(*head, 1, 0, {10, 10, 250, kWet}, 1);
  if (tip + load > 0) set(*head, 1, 0, {static_cast<std::uint8_t>(tip), static_cast<std::uint8_t>(load), fractions, kSolid}, 2);
  return head;
}

// A lone upright sample travels one cell and presses force x 24: for that cell column 1 lays
// force x (16 x tip + load) / 256 bytes, the tip's first, whatever fraction it started with when
// that is whole; then it smears 1 - (3/4)^(1/2), some 0.134, of the cell's wet paint into its tip
// (a quarter over two cells), as far as the tip has room (255).
TEST(ToolModelPaintAmounts, AWideBrushLaysItsTipFirstThenItsLoadAndSmearsIntoItsTip) {
  const Texel red{200, 90, 30, kWet}, blue{30, 60, 90, kWet};
  struct Case {
    const char* what;
    Texel tipPaint;
    int tip, load;
    Texel cell;  // wet paint at (6, 5), full wetness; alpha 0 for none
    float force;
    Texel cellAfter;
    int tipAfter, loadAfter;
    std::optional<Texel> tipColour = std::nullopt;  // the tip's paint after, where a row fixes it
    std::optional<int> fractionsLeft = std::nullopt;  // the ledger's B after, where a row fixes it
    std::uint8_t fractions = 0;                        // the ledger's B before
  } cases[] = {
      // 16 x 10 + 96 = 256: one byte, off the tip.
      {"the tip lays first", red, 10, 96, {}, 1, {200, 90, 30, 1}, 9, 96},
      // pressed twice as hard, 2 x 128: one byte, off the load.
      {"then the load, by the press", red, 0, 128, {}, 2, {10, 10, 250, 1}, 0, 127},
      // nothing to lay; 40 x 0.134 = 5.36 due, 5 smeared up from the fraction the column starts at.
      {"an empty head smears into its tip", red, 0, 0, {30, 60, 90, 40}, 1, {30, 60, 90, 35}, 5, 0},
      // two bytes due, room for one under 255; then 255 x 0.134 = 34.2 due, 34 smeared up.
      {"the cell's ceiling", blue, 32, 0, {30, 60, 90, 254}, 1, {30, 60, 90, 221}, 65, 0},
      // 16 x 255 + 16 = 16 bytes laid, 216 x 0.134 = 28.9 due to the smear, room for 16.
      {"the tip's room", blue, 255, 16, {30, 60, 90, 200}, 1, {30, 60, 90, 200}, 255, 16},
      {"no press, no meeting", blue, 16, 0, {30, 60, 90, 40}, 0, {30, 60, 90, 40}, 16, 0},
      // From the ledger's nought, 16 x 1 / 256 lays nothing; 15 x 0.134 x 256 = 514 due, 2 smeared
      // up, mixed with the tip's one byte by amount to nearest: (200 + 2 x 30) / 3 = 86.7,
      // (90 + 2 x 60) / 3, (30 + 2 x 90) / 3. The ledger carries on 16/256 to lay, one sixteenth,
      // and 2/256 to smear, none, to the nearest sixteenth.
      {"the smear mixes into the tip by amount", red, 1, 0, {30, 60, 90, 15}, 1, {30, 60, 90, 13}, 3, 0, Texel{87, 70, 70, kWet}, 0x10},
      // The smear's floor, from a smear fraction of 15/16: a fully wet cell 4 bytes thick gives
      // 4 x 0.134 x 256 = 137, with 240 carried one byte up (121 left, 8/16) while the load's 1/256
      // lays nothing; one 3 bytes thick, a quarter of which makes no byte, gives none.
      {"a fully wet cell of 4 bytes is smeared", red, 0, 1, {30, 60, 90, 4}, 1, {30, 60, 90, 3}, 1, 1, Texel{30, 60, 90, kWet}, 0x08, 0x0f},
      {"one of 3 bytes is not", red, 0, 1, {30, 60, 90, 3}, 1, {30, 60, 90, 3}, 0, 1, std::nullopt, 0x0f, 0x0f},
      // A tip counted by the ledger but holding no paint (a body cell, as another tool's head has)
      // is no well: 2 x 128 / 256 lays one byte, off the load.
      {"a tip of no paint is empty", {9, 9, 9, kSolid}, 16, 128, {}, 2, {10, 10, 250, 1}, 0, 127},
  };
  for (const Case& c : cases) {
    Window w;
    if (c.cell[3] > 0) w.lay(6, 5, c.cell, kWet);
    const auto head = paintPass("DAEToolModel_wide_brush_paint", w, flatHead(c.tipPaint, c.tip, c.load, c.fractions),
                                {{6.3f, 5.8f, c.force, 1.5707964f}}, true);
    EXPECT_EQ(w.wetAt(6, 5), c.cellAfter) << c.what;
    Texel ledger = at(*head, 1, 0, 2);
    if (c.fractionsLeft) {
      EXPECT_EQ(ledger[2], *c.fractionsLeft) << c.what;
    }
    ledger[2] = 0;  // the fractions carried on, which most rows leave where the column's hash put them
    EXPECT_EQ(ledger, (Texel{static_cast<std::uint8_t>(c.tipAfter), static_cast<std::uint8_t>(c.loadAfter), 0, kSolid})) << c.what;
    EXPECT_EQ(at(*head, 0, 0, 2), (Texel{})) << c.what;
    if (c.tipColour) {
      EXPECT_EQ(at(*head, 1, 0, 0), *c.tipColour) << c.what;
    }
  }
}

// The colours a deposit mixes by amount: 2 cells of grey 10 and 7 of {200, 90, 30} make
// {(20 + 1400) / 9, (20 + 630) / 9, (20 + 210) / 9} to nearest.
TEST(ToolModelPaintAmounts, DepositMixesColoursByAmount) {
  Window w;
  w.lay(6, 5, {10, 10, 10, 2}, kWet);
  paintPass("DAEToolModel_knife_paint", w, twoColumnHead(32, 10, 10, 10, {200, 90, 30, kWet}), {{6.3f, 5.8f, 0.4f, 0.3f}}, true);
  EXPECT_EQ(w.wetAt(6, 5), (Texel{158, 72, 26, 9}));
}

// A pickup under the first sample only: column 0 sees 3 wet cells over dry paint (coverage 153, so
// {(10 x 102 + 200 x 153) / 255, ...}) with the wet paint's wetness; column 1 sees dry paint alone,
// the least wet kind whatever the grid says. A knife holds 16 cells at most.
TEST(ToolModelPaintAmounts, PickupTakesTheFirstSamplesPaint) {
  struct Case {
    const char* kernel;
    int taken0, taken1;
  } cases[] = {{"DAEToolModel_brush_pickup", 20, 20}, {"DAEToolModel_knife_pickup", 16, 16}};
  for (const Case& c : cases) {
    Window w;
    w.lay(5, 5, {200, 100, 50, 3}, 120);
    set(*w.dry0, 5, 5, {10, 20, 30, 250});
    set(*w.dry0, 6, 5, {40, 50, 60, 40});
    set(*w.grid0, 6, 5, {120, 0, 0, TOOL_FLUID});
    set(*w.dry0, 9, 9, {1, 2, 3, 90});  // under the second sample
    set(*w.dry0, 10, 9, {1, 2, 3, 90});
    const auto empty = twoColumnHead(32, 20, 20, 0, {});
    auto out = texture(2, 1, 32);
    auto textures = w.textures();
    textures[TEXTURE_TOOL_READ] = empty, textures[TEXTURE_TOOL_WRITE] = out;
    run({c.kernel, textures, sampleBuffers({{6.3f, 5.8f}, {10.3f, 9.8f}}), w.grid0});
    for (std::size_t z = 0; z < 20; ++z) {
      const bool in0 = static_cast<int>(z) >= 20 - c.taken0, in1 = static_cast<int>(z) >= 20 - c.taken1;
      EXPECT_EQ(at(*out, 0, 0, z), (in0 ? Texel{124, 68, 42, 120} : Texel{})) << c.kernel << " z " << z;
      EXPECT_EQ(at(*out, 1, 0, z), (in1 ? Texel{40, 50, 60, 4} : Texel{})) << c.kernel << " z " << z;
    }
  }
}

// The wide brushes' flat head takes the same paint into each column's load well, as many bytes as
// the paint is thick (3 + 250 and 40), and empties the tip.
TEST(ToolModelPaintAmounts, AWidePickupLoadsTheWellsAsThickAsThePaint) {
  Window w;
  w.lay(5, 5, {200, 100, 50, 3}, 120);
  set(*w.dry0, 5, 5, {10, 20, 30, 250});
  set(*w.dry0, 6, 5, {40, 50, 60, 40});
  auto out = flatHead({1, 2, 3, kWet}, 7, 7);
  auto textures = w.textures();
  textures[TEXTURE_TOOL_READ] = texture(2, 1, 3), textures[TEXTURE_TOOL_WRITE] = out;
  run({"DAEToolModel_wide_brush_pickup", textures, sampleBuffers({{6.3f, 5.8f}}), w.grid0});
  const std::pair<Texel, std::uint8_t> expected[] = {{{124, 68, 42, 120}, 253}, {{40, 50, 60, 4}, 40}};
  for (std::size_t x = 0; x < 2; ++x) {
    EXPECT_EQ(at(*out, x, 0, 0), (Texel{})) << x;
    EXPECT_EQ(at(*out, x, 0, 1), expected[x].first) << x;
    Texel ledger = at(*out, x, 0, 2);  // B: the fractions the pickup starts the column at
    ledger[2] = 0;
    EXPECT_EQ(ledger, (Texel{0, expected[x].second, 0, kSolid})) << x;
  }
}

}  // namespace

#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "components/ArtworkData.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "gpu/CommandTrace.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/brushes/FilbertBrushTools.h"

namespace tessivarium {
namespace {

using namespace layertest;
using testsupport::makeCanvas;
using testsupport::TestCanvas;

using Views = std::vector<std::shared_ptr<ui::View>>;

// The stack's invariants after a restack, with the host's back, front and one other subview.
void expectStackInvariants(TestCanvas& canvas, const std::shared_ptr<ui::View>& back,
                           const std::shared_ptr<ui::View>& front, const std::shared_ptr<ui::View>& other,
                           const std::string& step) {
  const auto& layers = canvas.layers();
  ASSERT_FALSE(layers.empty()) << step;
  ASSERT_GE(canvas.layerIndex(), 0) << step;
  ASSERT_LT(canvas.layerIndex(), static_cast<std::int64_t>(layers.size())) << step;
  Views expected{back, canvas.background()->metalView()};
  for (std::size_t i = 0; i < layers.size(); ++i) {
    EXPECT_EQ(layers[i]->index(), static_cast<std::int64_t>(i)) << step;
    expected.push_back(layers[i]->metalView());
    const bool current = static_cast<std::int64_t>(i) == canvas.layerIndex();
    const bool shown = static_cast<std::int64_t>(i) <= canvas.layerIndex() && !layers[i]->isHidden();
    EXPECT_EQ(layers[i]->metalView()->isHidden(), !shown) << step << " layer " << i;
    EXPECT_EQ(layers[i]->metalView()->delegate() != nullptr, current && shown) << step << " layer " << i;
  }
  expected.insert(expected.end(), {other, front, canvas.brushView()});
  EXPECT_EQ(canvas.subviews(), expected) << step;
}

// A seeded run of creates, deletes, moves, hides and selections; after each the stack keeps its
// invariants and the count of texture memory follows the layers exactly.
TEST(LayerStack, RandomRunKeepsTheInvariantsAndTheCount) {
  auto canvas = makeCanvas(12, 8);
  auto back = std::make_shared<ui::View>(), front = std::make_shared<ui::View>(), other = std::make_shared<ui::View>();
  canvas->addSubview(back);
  canvas->addSubview(front);
  canvas->addSubview(other);
  canvas->setBackView(back);
  canvas->setFrontView(front);
  const auto fixed = AppManager().heapSize() - layerBytes(12, 8);  // all but the one stack layer
  std::mt19937 random(2026);
  for (int step = 0; step < 400; ++step) {
    auto& layers = canvas->layers();
    const auto pick = layers[random() % layers.size()];
    std::string name;
    switch (random() % 7) {
      case 0: name = "create", canvas->doLayerCreate(); break;
      case 1: name = "delete", canvas->doLayerDelete(layers.size() > 1 ? pick : nullptr); break;
      case 2: name = "move down", canvas->doLayerMoveDown(pick); break;
      case 3: name = "move up", canvas->doLayerMoveUp(pick); break;
      case 4: name = "hide", canvas->doLayerHidden(pick, random() % 2 == 0); break;
      case 5: name = "go up", canvas->doLayerGoUp(); break;
      default: name = "go down", canvas->doLayerGoDown(); break;
    }
    const std::string label = std::to_string(step) + " " + name;
    expectStackInvariants(*canvas, back, front, other, label);
    ASSERT_EQ(AppManager().heapSize(), fixed + static_cast<std::int64_t>(canvas->layers().size()) * layerBytes(12, 8))
        << label;
  }
}

struct MoveCase {
  const char* name;
  bool down;
  std::size_t moved;
  std::vector<std::size_t> order;  // of the original layers A = 0, B = 1, C = 2
  std::int64_t index;
};

class LayerStackMoves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(LayerStackMoves, OneStepAndTheLayerBecomesCurrent) {
  const MoveCase c = GetParam();
  auto canvas = makeCanvas(4, 4, 1.0, 3);
  const auto original = canvas->layers();
  canvas->setLayerIndex(c.moved == 1 ? 0 : 1);
  c.down ? canvas->doLayerMoveDown(original[c.moved]) : canvas->doLayerMoveUp(original[c.moved]);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(canvas->layers()[i], original[c.order[i]]) << i;
  EXPECT_EQ(canvas->layerIndex(), c.index);
  EXPECT_EQ(canvas->findLayer(c.index), original[c.moved]);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, LayerStackMoves,
    ::testing::Values(MoveCase{"DownFromTheBack", true, 0, {1, 0, 2}, 1}, MoveCase{"DownAtTheFront", true, 2, {0, 1, 2}, 2},
                      MoveCase{"UpFromTheMiddle", false, 1, {1, 0, 2}, 0}, MoveCase{"UpAtTheBack", false, 0, {0, 1, 2}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LayerStack, MergesTakeTheBackMostAsTargetWhateverTheOrder) {
  auto canvas = makeCanvas(4, 4, 1.0, 3);
  const auto a = canvas->layers()[0], b = canvas->layers()[1], c = canvas->layers()[2];
  // The merge's passes reach the current tool's stroke surface, whose first use makes working
  // textures: made before counting what the merge itself frees.
  DefaultTool()->toolSurface();
  const auto heap = AppManager().heapSize();
  canvas->doLayerMerges({c, a});
  EXPECT_EQ(canvas->layers(), (std::vector<std::shared_ptr<ArtworkTextures>>{a, b}));
  EXPECT_EQ(canvas->layerIndex(), 0);
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(4, 4));
  EXPECT_EQ(c->metalView()->superview(), nullptr);

  auto otherCanvas = makeCanvas(4, 4);
  canvas->doLayerMerges({b});
  canvas->doLayerMerges({b, otherCanvas->layers()[0]});
  EXPECT_EQ(canvas->layers().size(), 2u) << "a single layer of the stack merges nothing";
}

TEST(LayerStack, DeletingKeepsTheSelectionNumber) {
  struct Case {
    std::int64_t current;
    std::size_t deleted;
    std::size_t nowCurrent;  // of the original layers
  };
  for (const Case c : {Case{2, 2, 1}, Case{2, 0, 2}, Case{1, 0, 2}}) {
    auto canvas = makeCanvas(4, 4, 1.0, 3);
    const auto original = canvas->layers();
    canvas->setLayerIndex(c.current);
    canvas->doLayerDelete(original[c.deleted]);
    EXPECT_EQ(canvas->currentContent(), original[c.nowCurrent]) << c.current << " " << c.deleted;
  }
  auto canvas = makeCanvas(4, 4, 1.0, 2);
  canvas->setLayerIndex(-1);
  canvas->updateLayers();
  EXPECT_EQ(canvas->layerIndex(), 1);
}

TEST(LayerStack, StackAndPageModesChooseTheShownViews) {
  struct Case {
    LayerMode mode;
    std::int64_t current;
    std::vector<bool> hiddenFlags, shown;
  };
  for (const Case& c : {Case{LayerMode::Stack, 1, {false, false, false}, {true, true, false}},
                       Case{LayerMode::Stack, 2, {true, false, false}, {false, true, true}},
                       Case{LayerMode::Stack, 1, {false, true, false}, {true, false, false}},
                       Case{LayerMode::Page, 1, {false, true, false}, {false, true, false}}}) {
    auto canvas = makeCanvas(4, 4, 1.0, 3);
    canvas->setLayerMode(c.mode);
    canvas->setLayerIndex(c.current);
    for (std::size_t i = 0; i < 3; ++i) canvas->layer(i).setIsHidden(c.hiddenFlags[i]);
    canvas->updateLayers();
    for (std::size_t i = 0; i < 3; ++i) {
      const auto& view = canvas->layer(i).metalView();
      EXPECT_EQ(!view->isHidden(), c.shown[i]) << i;
      EXPECT_EQ(view->delegate() != nullptr, static_cast<std::int64_t>(i) == c.current && c.shown[i]) << i;
    }
  }
}

TEST(LayerStack, TheHostHearsOfEveryRestackAndAStartedCanvasRedraws) {
  struct Host : LayerChangeDelegate {
    void updateLayers() override { ++count; }
    int count = 0;
  };
  testsupport::useFakeTool();
  auto canvas = makeCanvas(4, 4);
  auto host = std::make_shared<Host>();
  canvas->setLayerChangeDelegate(host);
  canvas->doLayerCreate();
  canvas->doLayerGoDown();
  EXPECT_EQ(host->count, 2);
  EXPECT_TRUE(canvas->redraws.empty());
  canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2)));
  canvas->doLayerGoUp();
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
}

struct ShiftCase {
  std::int64_t x, y;
  // Where the texel at (sx, sy) before the shift is afterwards; (kx, ky) keeps its old value.
  std::size_t sx, sy, dx, dy, kx, ky;
};

class LayerStackShift : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(LayerStackShift, MovesEveryLayersPaintByTexels) {
  const ShiftCase c = GetParam();
  auto canvas = makeCanvas(24, 20, 1.0, 2);
  for (const auto& layer : canvas->layers()) {
    for (const auto& t : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) fillPattern(*t, 9);
  }
  const auto& dry = canvas->layer(1).dryTexture();
  const auto source = texelAt(*dry, c.sx, c.sy), kept = texelAt(*dry, c.kx, c.ky);
  const auto background = bytesOf(*canvas->background()->dryTexture());
  const auto heap = AppManager().heapSize();
  canvas->move(c.x, c.y);
  EXPECT_EQ(texelAt(*dry, c.dx, c.dy), source);
  EXPECT_EQ(texelAt(*canvas->layer(0).gridTexture(), c.dx, c.dy), texelAt(*canvas->layer(0).wetTexture(), c.dx, c.dy))
      << "every texture of every layer moved alike";
  EXPECT_EQ(texelAt(*dry, c.kx, c.ky), kept) << "the uncovered strip keeps its paint";
  EXPECT_EQ(bytesOf(*canvas->background()->dryTexture()), background);
  EXPECT_EQ(AppManager().heapSize(), heap) << "the scratch texture is given back";
  EXPECT_EQ(canvas->layer(0).metalView()->delegate(), canvas->layers()[0]) << "every view rebuilds";
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
}

INSTANTIATE_TEST_SUITE_P(Offsets, LayerStackShift,
                         ::testing::Values(ShiftCase{10, 0, 3, 5, 13, 5, 9, 5}, ShiftCase{-10, 0, 13, 5, 3, 5, 16, 5},
                                           ShiftCase{0, 7, 4, 2, 4, 9, 4, 6}, ShiftCase{0, -7, 4, 9, 4, 2, 4, 15},
                                           ShiftCase{3, -2, 1, 5, 4, 3, 2, 19}));

TEST(LayerStack, ShiftsOfZeroOrOfTheWholeLayerChangeNothing) {
  constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min(), most = std::numeric_limits<std::int64_t>::max();
  for (const auto& [x, y] : std::vector<std::pair<std::int64_t, std::int64_t>>{
           {0, 0}, {24, 0}, {0, -20}, {-31, 5}, {least, 0}, {0, least}, {most, least}}) {
    auto canvas = makeCanvas(24, 20);
    fillPattern(*canvas->layer(0).dryTexture(), 4);
    const auto before = bytesOf(*canvas->layer(0).dryTexture());
    canvas->move(x, y);
    EXPECT_EQ(bytesOf(*canvas->layer(0).dryTexture()), before) << x << ", " << y;
    if (x != 0 || y != 0) {
      EXPECT_TRUE(canvas->redraws.empty()) << x << ", " << y << ": refused";
    }
  }
}

TEST(LayerStack, CleanAllLayersZerosEveryLayerButTheBackground) {
  testsupport::useFakeTool();
  auto canvas = makeCanvas(9, 7, 1.0, 2);
  for (const auto* layer : {canvas->layers()[0].get(), canvas->layers()[1].get(), canvas->background().get()}) {
    auto& l = const_cast<ArtworkTextures&>(*layer);
    for (const auto& t : {l.gridTexture(), l.wetTexture(), l.dryTexture()}) fillPattern(*t, 2);
  }
  const auto background = bytesOf(*canvas->background()->wetTexture());
  canvas->cleanAllLayers();
  const std::vector<std::uint8_t> zeros(9 * 7 * 4, 0);
  for (const auto& layer : canvas->layers()) {
    for (const auto& t : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) EXPECT_EQ(bytesOf(*t), zeros);
    EXPECT_EQ(layer->metalView()->delegate(), layer);
  }
  EXPECT_EQ(bytesOf(*canvas->background()->wetTexture()), background);
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
}

// Whatever gives the layers' views their frames back passes over a hidden view, so that a stroke on
// a hidden layer is never painted unseen: here the current layer is hidden and the one in front of
// it is out of sight too; the shown layer behind it gets its frames back where the path gives every
// layer its frames.
struct FramesBackCase {
  const char* name;
  void (*give)(TestCanvas& canvas);
  bool everyLayer;
  friend void PrintTo(const FramesBackCase& c, std::ostream* out) { *out << c.name; }
};

class LayerStackFramesBack : public ::testing::TestWithParam<FramesBackCase> {};

TEST_P(LayerStackFramesBack, PassOverAHiddenView) {
  testsupport::useFakeTool();
  auto canvas = makeCanvas(24, 20, 1.0, 3);
  canvas->setLayerIndex(1);
  canvas->doLayerHidden(canvas->layers()[1], true);
  GetParam().give(*canvas);
  EXPECT_EQ(canvas->layer(0).metalView()->delegate() != nullptr, GetParam().everyLayer);
  for (std::size_t i : {1u, 2u}) {
    EXPECT_TRUE(canvas->layer(i).metalView()->isHidden()) << i;
    EXPECT_EQ(canvas->layer(i).metalView()->delegate(), nullptr) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LayerStackFramesBack,
    ::testing::Values(FramesBackCase{"ASnapshotLoaded",
                                     [](TestCanvas& canvas) {
                                       AppManager().setCurrentPaint(canvas.shared_from_this());
                                       ArtworkData snapshot(canvas.shared_from_this(),
                                                            gpu::TextureDescriptor::texture2D(DefaultPixelFormat, 8, 8, false));
                                       snapshot.save();
                                       snapshot.load();
                                     },
                                     false},
                      FramesBackCase{"EveryLayerCleaned", [](TestCanvas& canvas) { canvas.cleanAllLayers(); }, true},
                      FramesBackCase{"EveryLayerShifted", [](TestCanvas& canvas) { canvas.move(3, -2); }, true}),
    [](const ::testing::TestParamInfo<FramesBackCase>& info) { return std::string(info.param.name); });

TEST(LayerStack, CopyFromCopiesThePaintButNotThePicture) {
  auto canvas = makeCanvas(6, 5, 1.0, 2);
  auto& a = canvas->layer(0);
  auto& b = canvas->layer(1);
  for (const auto& t : {a.gridTexture(), a.wetTexture(), a.dryTexture(), a.paintingTexture()}) fillPattern(*t, 1);
  fillPattern(*b.paintingTexture(), 6);
  const auto picture = bytesOf(*b.paintingTexture());
  canvas->doLayerCopyFrom(canvas->layers()[1], canvas->layers()[0]);
  EXPECT_EQ(bytesOf(*b.gridTexture()), bytesOf(*a.gridTexture()));
  EXPECT_EQ(bytesOf(*b.wetTexture()), bytesOf(*a.wetTexture()));
  EXPECT_EQ(bytesOf(*b.dryTexture()), bytesOf(*a.dryTexture()));
  EXPECT_EQ(bytesOf(*b.paintingTexture()), picture);
}

TEST(LayerStack, ABackViewOrFrontViewOfNoneDoesNotRestack) {
  struct Host : LayerChangeDelegate {
    void updateLayers() override { ++count; }
    int count = 0;
  };
  auto canvas = makeCanvas(4, 4);
  auto host = std::make_shared<Host>();
  canvas->setLayerChangeDelegate(host);
  canvas->setBackView(nullptr);
  canvas->setFrontView(nullptr);
  EXPECT_EQ(host->count, 0);
  canvas->setFrontView(std::make_shared<ui::View>());
  EXPECT_EQ(host->count, 1);
}

// Shifting every layer: each texel lands at its position plus the offset, and no copy asks for a
// region outside the textures it reads or writes (a device need not clip).
TEST(LayerStack, ShiftMovesTexelsWithRegionsInsideTheTextures) {
  testsupport::useFakeTool();
  auto canvas = testsupport::makeCanvas(7, 5);
  AppManager().setCurrentPaint(canvas);
  auto& layer = canvas->layer(0);
  fillPattern(*layer.dryTexture(), 9);
  const auto before = bytesOf(*layer.dryTexture());
  const auto at = [&](std::size_t x, std::size_t y) {
    const std::size_t i = (y * 7 + x) * 4;
    return Texel{before[i], before[i + 1], before[i + 2], before[i + 3]};
  };
  gpu::commandTrace().start();
  canvas->move(-3, 2);
  const auto blits = gpu::commandTrace().blits();
  gpu::commandTrace().stop();
  EXPECT_EQ(texelAt(*layer.dryTexture(), 0, 2), at(3, 0));
  EXPECT_EQ(texelAt(*layer.dryTexture(), 3, 4), at(6, 2));
  ASSERT_FALSE(blits.empty());
  for (const auto& b : blits) {
    if (b.kind != gpu::BlitKind::TextureToTexture) continue;
    EXPECT_LE(b.sourceOrigin.x + b.size.width, b.sourceTexture->width());
    EXPECT_LE(b.sourceOrigin.y + b.size.height, b.sourceTexture->height());
    EXPECT_LE(b.destinationOrigin.x + b.size.width, b.destinationTexture->width());
    EXPECT_LE(b.destinationOrigin.y + b.size.height, b.destinationTexture->height());
  }
}

}  // namespace
}  // namespace tessivarium

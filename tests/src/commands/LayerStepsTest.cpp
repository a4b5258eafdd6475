// The layer undo steps, the region steps and the image import, through the canvas's entries.

#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "commands/LayerOperations.h"
#include "commands/RegionOperations.h"
#include "components/ArtworkData.h"
#include "gpu/TestControls.h"
#include "gpu/TextureDescriptor.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "tools/EncodersProvider.h"
#include "tools/RegionWorkingSets.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureImport.h"

namespace tessivarium {
namespace {

using namespace layertest;
using Layers = std::vector<std::shared_ptr<ArtworkTextures>>;

std::shared_ptr<graphics::Image> pictureOf(std::size_t w, std::size_t h) {
  std::vector<std::uint8_t> rgba(w * h * 4);
  for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(60 + i * 11);
  for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(rgba), graphics::AlphaMode::Straight));
}

using Paint = std::array<std::vector<std::uint8_t>, 3>;

Paint paintOf(ArtworkTextures& layer) {
  return {bytesOf(*layer.gridTexture()), bytesOf(*layer.wetTexture()), bytesOf(*layer.dryTexture())};
}

class LayerSteps : public ::testing::Test {
 protected:
  LayerSteps() {
    testsupport::useFakeTool();
    canvas = testsupport::makeCanvas(24, 16, 1.0, 3);
    AppManager().setCurrentPaint(canvas);
    std::uint8_t seed = 1;
    for (const auto& layer : canvas->layers()) {
      for (const auto& t : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) fillPattern(*t, seed++);
    }
    a = canvas->layers()[0], b = canvas->layers()[1], c = canvas->layers()[2];
  }
  CommandManager& history() { return *canvas->commandManager(); }
  std::size_t recorded() { return history().operationPool().operations().size(); }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<ArtworkTextures> a, b, c;
};

TEST_F(LayerSteps, CreateUndoAndRedoBringBackTheSameLayer) {
  canvas->layerCreate();
  const auto created = canvas->layers()[3];
  EXPECT_EQ(canvas->layerIndex(), 3);
  fillPattern(*created->dryTexture(), 40);
  const auto paint = paintOf(*created);
  const auto heap = AppManager().heapSize();
  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  EXPECT_EQ(canvas->currentContent(), c) << "the step's layer, current when it was built";
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(24, 16));
  const auto requests = gpu::testControls().textureRequests();
  history().redo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c, created}));
  EXPECT_EQ(canvas->currentContent(), created);
  EXPECT_EQ(paintOf(*created), paint);
  EXPECT_EQ(gpu::testControls().textureRequests(), requests) << "no second layer made";
  EXPECT_EQ(AppManager().heapSize(), heap);
}

TEST_F(LayerSteps, MergeInAnyOrderAndItsUndoAndRedo) {
  const auto heap = AppManager().heapSize();
  canvas->layerMerge({c, a});
  ASSERT_EQ(canvas->layers().size(), 2u);
  const auto merged = canvas->layers()[1];
  EXPECT_EQ(canvas->layers()[0], b);
  EXPECT_EQ(canvas->currentContent(), merged);
  EXPECT_EQ(bytesOf(*merged->wetTexture()), bytesOf(*c->wetTexture())) << "merged ascending: c last";
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(24, 16));
  const auto paint = paintOf(*merged);

  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  EXPECT_EQ(AppManager().heapSize(), heap);
  history().redo();
  EXPECT_EQ(canvas->layers(), (Layers{b, merged}));
  EXPECT_EQ(paintOf(*merged), paint) << "the merged paint is kept, not merged twice";
  EXPECT_EQ(AppManager().heapSize(), heap - layerBytes(24, 16));
}

TEST_F(LayerSteps, DeleteUndoPutsTheLayerBackAndSelectsIt) {
  canvas->setLayerIndex(2);
  EXPECT_TRUE(canvas->layerDelete(b));
  EXPECT_EQ(canvas->layers(), (Layers{a, c}));
  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  EXPECT_EQ(canvas->currentContent(), b);
  EXPECT_EQ(b->metalView()->superview(), canvas.get());
}

// The history puts a layer back where it was; if the stack shrank outside the history meanwhile,
// the position is clamped to the stack.
TEST_F(LayerSteps, PuttingBackIntoAShrunkenStackStaysInsideIt) {
  canvas->layerDelete(c);
  canvas->doLayerDelete(b);
  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, c}));
}

// A hide or show that changes nothing records nothing, so each undo gives back the state before
// its step.
TEST_F(LayerSteps, HideUndoGivesBackTheStateBefore) {
  canvas->layerHidden(b, true);
  canvas->layerHidden(b, true);
  EXPECT_EQ(recorded(), 1u);
  history().undo();
  EXPECT_FALSE(b->isHidden());
  EXPECT_EQ(canvas->currentContent(), b) << "the undo selects the step's layer";
  canvas->layerHidden(b, false);
  EXPECT_TRUE(history().canRedo()) << "showing a shown layer records no step that would discard the undone one";
  canvas->setLayerIndex(2);
  canvas->layerHidden(nullptr, true);
  EXPECT_TRUE(c->isHidden()) << "none: the current layer";
}

TEST_F(LayerSteps, CleanAndCopyRestoreTheirLayerExactly) {
  for (const bool cleaning : {true, false}) {
    const auto before = paintOf(*b);
    cleaning ? canvas->layerClean(b) : canvas->layerCopyFrom(b, a);
    EXPECT_EQ(paintOf(*b) == before, false);
    const auto after = paintOf(*b);
    history().undo();
    EXPECT_EQ(paintOf(*b), before) << cleaning;
    EXPECT_EQ(history().operationPool().operations().back()->name(), cleaning ? "Clean Layer" : "Copy Layer");
    history().redo();
    EXPECT_EQ(paintOf(*b), after);
    history().undo();
  }
}

TEST_F(LayerSteps, SelectionIsNeverRecordedAndMovesAre) {
  canvas->layerGoDown();
  canvas->layerGoUp();
  EXPECT_EQ(recorded(), 0u);
  canvas->layerMoveDown(a);
  EXPECT_EQ(recorded(), 1u);
  EXPECT_EQ(canvas->layers(), (Layers{b, a, c}));
  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  canvas->layerMoveDown(c);  // at the front already
  history().undo();
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c})) << "a move that did not happen undoes nothing";
}

// Another canvas's layer, the background and a layer the host made beside the stack: no entry
// changes them or records a step (an undo of a delete would put the background into the stack).
TEST_F(LayerSteps, EntriesRefuseLayersThatAreNotInTheStack) {
  auto other = testsupport::makeCanvas(24, 16);
  const std::shared_ptr<ArtworkTextures> refused[] = {other->layers()[0], canvas->background(),
                                                      ArtworkTextures::make(*canvas, 1)};
  for (const auto& layer : refused) {
    canvas->layerMoveDown(layer);
    canvas->layerMoveUp(layer);
    canvas->layerHidden(layer, true);
    canvas->layerClean(layer);
    canvas->layerDuplicate(layer);
    canvas->layerCopyFrom(layer, a);
    canvas->layerMerge({a, layer});
    EXPECT_FALSE(canvas->layerDelete(layer));
    EXPECT_EQ(recorded(), 0u) << layer->index();
    EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
    EXPECT_FALSE(layer->isHidden());
  }
  canvas->layerDelete(b);
  const auto count = recorded();
  EXPECT_FALSE(canvas->layerDelete(b)) << "a deleted layer is released";
  canvas->layerMoveUp(b);
  canvas->layerCopyFrom(a, b);
  EXPECT_EQ(recorded(), count);
  EXPECT_EQ(canvas->layers(), (Layers{a, c}));
}

TEST_F(LayerSteps, AMergeOfFewerThanTwoLayersIsRefused) {
  const auto before = paintOf(*a);
  canvas->layerMerge({a});
  canvas->layerMerge({a, a});
  canvas->layerMerge({});
  EXPECT_EQ(recorded(), 0u);
  EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  EXPECT_EQ(paintOf(*a), before);
}

// A palette's layer copied into a layer of the main canvas: the extent they have in common.
TEST_F(LayerSteps, CopyTakesAnotherCanvassLayerAsItsSource) {
  auto palette = testsupport::makeCanvas(10, 6, 1.0, 1, MainPaintId + 1, false);
  const auto source = palette->layers()[0];
  for (const auto& t : {source->gridTexture(), source->wetTexture(), source->dryTexture()}) fillPattern(*t, 77);
  const auto before = paintOf(*b);
  canvas->layerCopyFrom(b, source);
  ASSERT_EQ(recorded(), 1u);
  // The palette's paint inside the extent the two share, b's own beyond it.
  const auto wet = bytesOf(*b->wetTexture()), from = bytesOf(*source->wetTexture());
  const auto at = [](std::size_t x, std::size_t y, std::size_t w) { return static_cast<std::ptrdiff_t>((y * w + x) * 4); };
  EXPECT_TRUE(std::equal(wet.begin() + at(0, 5, 24), wet.begin() + at(10, 5, 24), from.begin() + at(0, 5, 10)));
  EXPECT_TRUE(std::equal(wet.begin() + at(10, 5, 24), wet.end(), before[1].begin() + at(10, 5, 24)));
  EXPECT_NE(paintOf(*b)[2], before[2]) << "the dry paint too";
  history().undo();
  EXPECT_EQ(paintOf(*b), before);
  palette->cleanResources();
  canvas->layerCopyFrom(b, source);
  EXPECT_EQ(recorded(), 1u) << "a released canvas's layer is no source";
}

// A creation that fails for lack of texture memory is reported once and recorded nowhere; a
// merge that cannot make its layer deletes nothing.
TEST_F(LayerSteps, AFailedCreationChangesAndRecordsNothing) {
  const auto errors = countErrors();
  const auto heap = AppManager().heapSize();
  for (int entry = 0; entry < 3; ++entry) {
    gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.width == 24; });
    if (entry == 0) canvas->layerCreate();
    if (entry == 1) canvas->layerDuplicate(b);
    if (entry == 2) canvas->layerMerge({a, c});
    gpu::testControls().failTexturesWhere({});
    EXPECT_EQ(canvas->layers(), (Layers{a, b, c})) << entry;
    EXPECT_EQ(recorded(), 0u) << entry;
  }
  EXPECT_EQ(AppManager().heapSize(), heap);
  EXPECT_EQ(errors->errors.size(), 6u) << "each failed make, and each step once";
}

TEST_F(LayerSteps, APaletteTakesNoSnapshotAndKeepsNoStep) {
  auto palette = testsupport::makeCanvas(24, 16, 1.0, 2, MainPaintId + 1, false);
  const auto heap = AppManager().heapSize();
  palette->layerClean(palette->layers()[0]);
  palette->layers()[1]->wet(0.3, 0.2);
  EXPECT_EQ(AppManager().heapSize(), heap);
}

TEST_F(LayerSteps, AtTheMemoryLimitTheChangeHappensAndItsUndoChangesNothing) {
  AppManager().setLimitedHeap(0);
  const auto before = paintOf(*b);
  canvas->layerClean(b);
  const auto cleaned = paintOf(*b);
  EXPECT_NE(cleaned, before);
  history().undo();
  EXPECT_EQ(paintOf(*b), cleaned);
  EXPECT_EQ(canvas->currentContent(), b) << "the undo still selects the step's layer";
}

// A new layer takes its room from what the history keeps, once it is clear that this makes the room:
// the undone steps count first (they stay until the step that makes the layer discards them, so a
// merge that makes none keeps them), the rebuilds' spare working sets next, then only as many of
// the oldest steps as the layer needs; the newest still undo exactly. When not all of it makes the
// room, nothing goes and every step still undoes.
constexpr std::int64_t kSnapshot = 3 * 24 * 16 * 4;  // what each copy step keeps of the layer
constexpr std::int64_t kPicture = 24 * 16 * 4;       // what an undone import of a 24 x 16 picture keeps

struct RoomCase {
  const char* name;
  bool merge;         // the new layer is a merge's, else a creation's
  bool undoneImport;  // an import after the four copies, undone
  bool spareSets;     // the rebuilds keep a spare working set
  std::int64_t shortBy;  // bytes of room the new layer lacks
  bool fits;
  std::int64_t givenUp;  // of the four copies
  friend void PrintTo(const RoomCase& c, std::ostream* out) { *out << c.name; }
};

class LayerStepsRoom : public LayerSteps, public ::testing::WithParamInterface<RoomCase> {};

TEST_P(LayerStepsRoom, ANewLayerTakesOnlyTheRoomItNeedsOrNone) {
  const RoomCase& row = GetParam();
  auto& spare = AppManager().regionWorkingSets();
  if (row.spareSets) {
    ASSERT_TRUE(AppManager().surfaceTextures().makeAll());
    spare.sets(2);
    ASSERT_EQ(spare.extraSets(), 1u);
  }
  std::vector<Paint> states{paintOf(*b)};
  for (const auto& from : {a, c, a, c}) {
    canvas->layerCopyFrom(b, from);
    states.push_back(paintOf(*b));
  }
  if (row.undoneImport) {
    c->importImage(pictureOf(24, 16), graphics::Point(0, 0), 0.5f);
    history().undo();
  }
  const auto steps = recorded();
  AppManager().setLimitedHeap(1);
  const std::int64_t limit = 1 << 20, bytes = layerBytes(24, 16);
  AppManager().setHeapSize(limit - bytes + row.shortBy);

  EXPECT_EQ(history().makeRoomFor(bytes), row.fits);
  EXPECT_EQ(history().stepsGivenUp(), row.givenUp);
  EXPECT_EQ(recorded(), steps - static_cast<std::size_t>(row.givenUp));
  EXPECT_EQ(history().canRedo(), row.undoneImport) << "the undone steps stay";
  canvas->layerMerge({a, a});
  EXPECT_EQ(history().canRedo(), row.undoneImport) << "a merge that makes no layer keeps them";
  if (row.fits) {
    // The count when the new layer's first texture is asked for.
    std::optional<std::int64_t> heapAtTheLayer;
    gpu::testControls().failTexturesWhere([&](const gpu::TextureDescriptor&) {
      if (!heapAtTheLayer) heapAtTheLayer = AppManager().heapSize();
      return false;
    });
    row.merge ? canvas->layerMerge({a, c}) : canvas->layerCreate();
    gpu::testControls().failTexturesWhere({});
    ASSERT_TRUE(heapAtTheLayer);
    EXPECT_LE(*heapAtTheLayer + bytes, limit) << "the undone steps went before the layer came";
    EXPECT_FALSE(history().canRedo());
    EXPECT_EQ(canvas->layers().size(), row.merge ? 2u : 4u);
    history().undo();
    EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
  }
  for (auto state = states.size() - 2; history().canUndo(); --state) {
    history().undo();
    EXPECT_EQ(paintOf(*b), states[state]) << "the undo of copy " << state + 1;
  }
  // The copies kept, and the new layer's step or else the undone import.
  EXPECT_EQ(recorded(), static_cast<std::size_t>(4 - row.givenUp + (row.fits || row.undoneImport)));
  history().clean();
  EXPECT_EQ(history().stepsGivenUp(), 0) << "a clean history has given up nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Canvas, LayerStepsRoom,
    ::testing::Values(RoomCase{"ACreationThatFitsTakesNothing", false, false, false, -kSnapshot / 2, true, 0},
                      RoomCase{"ACreationTakesTwoSteps", false, false, false, 3 * kSnapshot / 2, true, 2},
                      RoomCase{"AMergeTakesTwoSteps", true, false, false, 3 * kSnapshot / 2, true, 2},
                      RoomCase{"EveryStepGoesWhenTheLayerNeedsThemAll", false, false, false, 4 * kSnapshot, true, 4},
                      RoomCase{"TheLayersLeaveNoRoomAndNothingGoes", false, false, false, 9 * kSnapshot / 2, false, 0},
                      RoomCase{"AnUndoneStepIsRoomEnough", false, true, false, kPicture, true, 0},
                      RoomCase{"AnUndoneStepAndTheOldest", true, true, false, kPicture + kSnapshot - 1, true, 1},
                      RoomCase{"TheSpareSetsAreRoomEnough", false, false, true, 3 * kSnapshot / 2, true, 0},
                      RoomCase{"TheUndoneStepsGoNowhereOnARefusal", false, true, false, kPicture + 4 * kSnapshot + 1, false, 0}),
    [](const ::testing::TestParamInfo<RoomCase>& info) { return std::string(info.param.name); });

TEST_F(LayerSteps, ImportUndoRestoresExactlyThePicturesRectangle) {
  const auto heap = AppManager().heapSize();
  const auto before = paintOf(*c);
  int completed = 0;
  c->importImage(pictureOf(5, 3), graphics::Point(7.8, 2.3), 0.5f, false, [&] { ++completed; });
  const auto imported = paintOf(*c);
  for (std::size_t y = 0; y < 16; ++y) {
    for (std::size_t x = 0; x < 24; ++x) {
      const bool under = x >= 7 && x < 12 && y >= 2 && y < 5;
      const std::size_t at = (y * 24 + x) * 4;
      const bool changed = !std::equal(imported[2].begin() + at, imported[2].begin() + at + 4, before[2].begin() + at);
      ASSERT_EQ(changed, under) << x << ", " << y;
    }
  }
  EXPECT_EQ(imported[0], before[0]) << "a dry import leaves the grid";
  ASSERT_TRUE(c->drawHandler());
  c->drawHandler()();
  EXPECT_EQ(completed, 1);
  c->setDrawHandler(nullptr);
  EXPECT_EQ(AppManager().heapSize(), heap + 5 * 3 * 4 * 4) << "the picture and its rectangle's snapshot";

  history().undo();
  EXPECT_EQ(paintOf(*c), before);
  EXPECT_EQ(c->drawHandler(), nullptr) << "an undo hands no callback";
  EXPECT_EQ(AppManager().heapSize(), heap + 5 * 3 * 4) << "the snapshot is freed";
  history().redo();
  EXPECT_EQ(paintOf(*c), imported);
  EXPECT_TRUE(c->drawHandler()) << "each redo hands it again";
  history().clean();
  EXPECT_EQ(AppManager().heapSize(), heap);
}

TEST_F(LayerSteps, ImportsKeepTheSharedThicknessAndStayOnTheLayer) {
  const auto& dry = EncodersProvider().getImportImageDry();
  const auto& wet = EncodersProvider().getImportImageWet();
  c->importImage(pictureOf(2, 2), graphics::Point(1, 1), 0.5f);
  c->importImage(pictureOf(2, 2), graphics::Point(1, 1), std::nullopt);
  EXPECT_FLOAT_EQ(dry->thickness(), 0.5f);
  EXPECT_FLOAT_EQ(wet->thickness(), 5.0f / 255.0f);

  // Reaching past the edge: only the layer's cells change, and the undo restores them all.
  const auto before = paintOf(*c);
  c->importImage(pictureOf(6, 6), graphics::Point(20, 13), std::nullopt, true);
  EXPECT_NE(paintOf(*c), before);
  history().undo();
  EXPECT_EQ(paintOf(*c), before);

  testsupport::ConsoleCapture console;
  const auto count = recorded();
  for (const graphics::Point at : {graphics::Point(-1, 2), graphics::Point(2, std::nan("")), graphics::Point(5e9, 0)}) {
    c->importImage(pictureOf(2, 2), at, std::nullopt);
  }
  EXPECT_EQ(paintOf(*c), before);
  EXPECT_EQ(recorded(), count) << "refused points record nothing";
  ASSERT_EQ(console.lines().size(), 3u);
  EXPECT_EQ(console.lines()[0], "Image import refused: the point (-1.0, 2.0) is not on the layer");
}

TEST_F(LayerSteps, RegionsAreCutToWholeCellsAndClippedToTheLayer) {
  struct Case {
    graphics::Rect given, region;
  };
  for (const Case& k : {Case{{10.9, 2.2, 10.7, 5.5}, {10, 2, 10, 5}}, Case{{20, 10, 30, 30}, {20, 10, 4, 6}},
                        Case{{-5, -3, 10, 8}, {0, 0, 5, 5}}, Case{{30, 2, 4, 4}, {24, 2, 0, 4}}}) {
    const RegionBeforeOperation region(canvas, a, k.given);
    EXPECT_EQ(region.rect(), k.region) << k.given.origin.x;
  }
  EXPECT_EQ(RegionBeforeOperation(canvas, a).rect(), graphics::Rect(0, 0, 24, 16));
}

// The new layer goes to the front; undoing it selects the layer that was current, wherever it is,
// and redoing it selects the new layer again.
TEST_F(LayerSteps, CreateUndoSelectsTheLayerCurrentBeforeIt) {
  for (const auto& current : {a, b}) {
    canvas->setLayerIndex(current->index());
    canvas->layerCreate();
    ASSERT_EQ(canvas->layers().size(), 4u);
    const auto created = canvas->layers()[3];
    history().undo();
    EXPECT_EQ(canvas->layers(), (Layers{a, b, c}));
    EXPECT_EQ(canvas->currentContent(), current) << current->index();
    history().redo();
    EXPECT_EQ(canvas->currentContent(), created);
    history().undo();
  }
}

// A deleted layer stays alive in its step but leaves the view tree and draws no more frames.
TEST_F(LayerSteps, ADeletedLayerKeepsNoViewDelegate) {
  ASSERT_EQ(canvas->currentContent(), c);
  ASSERT_TRUE(c->metalView()->delegate());
  EXPECT_TRUE(canvas->layerDelete(c));
  EXPECT_EQ(c->metalView()->superview(), nullptr);
  EXPECT_FALSE(c->metalView()->delegate());
}

// Selecting past either end of the stack stays on the end layer.
TEST_F(LayerSteps, SelectionStopsAtBothEndsOfTheStack) {
  struct Case {
    std::int64_t from;
    bool up;
    std::int64_t to;
  };
  for (const Case s : {Case{0, false, 0}, Case{1, false, 0}, Case{1, true, 2}, Case{2, true, 2}}) {
    canvas->setLayerIndex(s.from);
    s.up ? canvas->layerGoUp() : canvas->layerGoDown();
    EXPECT_EQ(canvas->layerIndex(), s.to) << s.from << (s.up ? " up" : " down");
  }
}

// The import gives the current layer the step's callback, and an import without one clears what
// an earlier caller left there.
TEST_F(LayerSteps, AnImportWithoutCallbackClearsTheLayersHandler) {
  auto& layer = *canvas->currentContent();
  int runs = 0;
  layer.setDrawHandler([&] { ++runs; });
  layer.importImage(pictureOf(3, 2), graphics::Point(2.6, 1.3), std::nullopt, false, nullptr);
  EXPECT_FALSE(layer.drawHandler());
  layer.importImage(pictureOf(3, 2), graphics::Point(1, 1), std::nullopt, true, [&] { runs += 10; });
  ASSERT_TRUE(layer.drawHandler());
  layer.drawHandler()();
  EXPECT_EQ(runs, 10);
}

// A point on the layer's left or top edge is on the layer; a point just off it is refused.
TEST_F(LayerSteps, ImportAcceptsTheEdgePointsAndRefusesThoseOffTheLayer) {
  struct Case {
    double x, y;
    bool recorded;
  };
  auto& layer = *canvas->currentContent();
  const auto& steps = canvas->commandManager()->operationPool().operations();
  for (const Case c : {Case{0, 2.4, true}, Case{3.2, 0, true}, Case{-0.25, 1, false}, Case{1, -0.75, false}}) {
    const auto count = steps.size();
    layer.importImage(pictureOf(2, 2), graphics::Point(c.x, c.y), std::nullopt, false, nullptr);
    EXPECT_EQ(steps.size() - count, c.recorded ? 1u : 0u) << c.x << ", " << c.y;
  }
}

}  // namespace
}  // namespace tessivarium

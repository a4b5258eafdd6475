// The canvas's storage records: the byte layout hosts keep, the round trip, restores of other sizes,
// and restores that must leave the painting as it was (malformed records, device failures).

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "LayerTestSupport.h"
#include "commands/CommandManager.h"
#include "gpu/TestControls.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;
using namespace layertest;
using Bytes = std::vector<std::uint8_t>;

struct LayerBytes {
  Bytes grid, wet, dry;
  bool operator==(const LayerBytes&) const = default;
};

LayerBytes bytesOfLayer(ArtworkTextures& layer) {
  return {bytesOf(*layer.gridTexture()), bytesOf(*layer.wetTexture()), bytesOf(*layer.dryTexture())};
}

std::vector<LayerBytes> bytesOfCanvas(const testsupport::TestCanvas& canvas) {
  std::vector<LayerBytes> out;
  for (const auto& layer : canvas.layers()) out.push_back(bytesOfLayer(*layer));
  return out;
}

// A canvas of `layers` layers, each texture of each layer filled with its own pattern.
std::shared_ptr<testsupport::TestCanvas> paintedCanvas(std::int64_t w, std::int64_t h, std::size_t layers,
                                                       std::uint8_t seed = 1) {
  auto canvas = testsupport::makeCanvas(w, h, 1.0, layers);
  for (auto& layer : canvas->layers()) {
    fillPattern(*layer->gridTexture(), seed++);
    fillPattern(*layer->wetTexture(), seed++);
    fillPattern(*layer->dryTexture(), seed++);
  }
  return canvas;
}

TEST(LayerStorage, RecordsFollowTheStoredLayoutByteForByte) {
  auto canvas = testsupport::makeCanvas(2048, 1080, 0.5, 2);
  setTexel(*canvas->layer(1).gridTexture(), 37, 11, {201, 7, 9, 2});
  const auto records = canvas->getStorageData();
  ASSERT_EQ(records.size(), 2u) << "one record per layer, the background not among them";
  const auto& r = records[1];
  EXPECT_EQ(r.width(), 1024);
  EXPECT_EQ(r.height(), 540);
  EXPECT_EQ(r.depth(), 1);
  for (const auto* array : {&r.grid(), &r.wet(), &r.dry()}) EXPECT_EQ(array->size(), 2'211'840u);
  const std::size_t at = (11 * 1024 + 37) * 4;
  EXPECT_EQ(Bytes(r.grid().begin() + at, r.grid().begin() + at + 4), (Bytes{201, 7, 9, 2}));
  EXPECT_EQ(records[0].grid()[at], 0) << "records are in layer order";
}

TEST(LayerStorage, ARestoreReproducesEveryLayerAndRebuildsThePictures) {
  auto source = paintedCanvas(23, 9, 3);
  const auto expected = bytesOfCanvas(*source);
  auto target = testsupport::makeCanvas(23, 9, 1.0, 1);
  const auto backgroundBefore = bytesOfLayer(*target->background());

  // Records handed over are let go as their layers take them (the list itself stays the caller's).
  auto records = source->getStorageData();
  target->setStorageData(std::move(records));
  for (const auto& r : records) EXPECT_EQ(r.grid().capacity() + r.wet().capacity() + r.dry().capacity(), 0u);
  ASSERT_EQ(target->layers().size(), 3u);
  EXPECT_EQ(bytesOfCanvas(*target), expected);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(target->layer(i).index(), static_cast<std::int64_t>(i));
    EXPECT_EQ(target->layer(i).drawingMode(), DrawingMode::Recreated);
    EXPECT_EQ(target->layer(i).metalView()->superview(), target.get());
  }
  EXPECT_EQ(bytesOfLayer(*target->background()), backgroundBefore);

  // One record into a canvas of five layers leaves one layer, index 0.
  auto five = testsupport::makeCanvas(23, 9, 1.0, 5);
  five->setStorageData({source->getStorageData()[2]});
  ASSERT_EQ(five->layers().size(), 1u);
  EXPECT_EQ(five->layer(0).index(), 0);
  EXPECT_EQ(bytesOfLayer(five->layer(0)), expected[2]);
}

TEST(LayerStorage, RecordsOfAnotherSizeFillOnlyTheCommonCorner) {
  auto small = paintedCanvas(6, 4, 1, 40), large = paintedCanvas(11, 7, 1, 80);
  const Bytes smallGrid = bytesOf(*small->layer(0).gridTexture()), largeGrid = bytesOf(*large->layer(0).gridTexture());
  auto into = [](const auto& canvas, const auto& records) {
    canvas->setStorageData(records);
    return bytesOf(*canvas->layer(0).gridTexture());
  };
  const Bytes grown = into(paintedCanvas(11, 7, 1, 80), small->getStorageData());
  const Bytes shrunk = into(paintedCanvas(6, 4, 1, 40), large->getStorageData());
  for (std::size_t y = 0; y < 7; ++y) {
    for (std::size_t x = 0; x < 11; ++x) {
      const std::size_t l = (y * 11 + x) * 4;
      const bool common = x < 6 && y < 4;
      EXPECT_EQ(grown[l], common ? smallGrid[(y * 6 + x) * 4] : 0) << x << "," << y << ": the new layer starts empty";
      if (common) {
        EXPECT_EQ(shrunk[(y * 6 + x) * 4], largeGrid[l]) << x << "," << y;
      }
    }
  }
}

TEST(LayerStorage, AnEmptyListChangesNothing) {
  auto canvas = paintedCanvas(8, 5, 2);
  const auto before = bytesOfCanvas(*canvas);
  testsupport::ConsoleCapture console;
  canvas->setStorageData({});
  EXPECT_EQ(console.lines(), std::vector<std::string>{"Data of Storagedata cnnot be empty."});
  EXPECT_EQ(bytesOfCanvas(*canvas), before);
}

struct Malformed {
  const char* what;
  std::int64_t width, height, depth;
  std::size_t grid, wet, dry;
  const char* reason;  // the refusal's own words
};

class LayerStorageMalformedRecord : public ::testing::TestWithParam<Malformed> {};

TEST_P(LayerStorageMalformedRecord, IsRefusedBeforeAnyLayerIsTouched) {
  const auto& c = GetParam();
  auto canvas = paintedCanvas(6, 4, 2);
  const auto before = bytesOfCanvas(*canvas);
  const auto layersBefore = canvas->layers();
  const auto heap = AppManager().heapSize();
  auto records = canvas->getStorageData();
  records.emplace_back(c.width, c.height, c.depth, Bytes(c.grid), Bytes(c.wet), Bytes(c.dry));

  testsupport::ConsoleCapture console;
  try {
    canvas->setStorageData(records);
    FAIL() << c.what << ": accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), ErrorMessage::TextureFormatIncompatible) << c.what;
  }
  EXPECT_EQ(console.linesStartingWith(std::string("Storage record 2 refused: ") + c.reason).size(), 1u) << c.what;
  EXPECT_EQ(canvas->layers(), layersBefore) << c.what;
  EXPECT_EQ(bytesOfCanvas(*canvas), before) << c.what;
  EXPECT_EQ(AppManager().heapSize(), heap) << c.what;
}

constexpr std::size_t kRight = 6 * 4 * 4;
INSTANTIATE_TEST_SUITE_P(
    Records, LayerStorageMalformedRecord,
    ::testing::Values(Malformed{"grid short by one", 6, 4, 1, kRight - 1, kRight, kRight, "its grid array holds 95 bytes, not 96"},
                      Malformed{"wet one byte long", 6, 4, 1, kRight, kRight + 1, kRight, "its wet array holds 97"},
                      Malformed{"dry empty", 6, 4, 1, kRight, kRight, 0, "its dry array holds 0"},
                      Malformed{"width zero", 0, 4, 1, 0, 0, 0, "its sizes are not positive"},
                      Malformed{"height zero", 6, 0, 1, 0, 0, 0, "its sizes are not positive"},
                      Malformed{"depth zero", 6, 4, 0, 0, 0, 0, "its sizes are not positive"},
                      Malformed{"depth two", 6, 4, 2, 2 * kRight, 2 * kRight, 2 * kRight, "a layer has depth 1, not 2"},
                      Malformed{"depth two, arrays of depth one", 6, 4, 2, kRight, kRight, kRight,
                                "a layer has depth 1, not 2"},
                      Malformed{"a byte count that overflows", std::int64_t{1} << 62, 8, 1, 0, 0, 0,
                                "its sizes overflow a byte count"}));

class LayerStorageFailingRestore : public ::testing::TestWithParam<std::size_t> {};

// Three layers of four textures: the restore makes twelve; each failing in turn must leave the
// canvas as it was.
TEST_P(LayerStorageFailingRestore, KeepsTheOldLayersIntact) {
  auto canvas = paintedCanvas(7, 5, 2);
  const auto before = bytesOfCanvas(*canvas);
  const auto layersBefore = canvas->layers();
  const auto records = paintedCanvas(7, 5, 3, 90)->getStorageData();
  const auto heap = AppManager().heapSize();
  const auto errors = countErrors();

  gpu::testControls().failTextureRequest(GetParam());
  try {
    canvas->setStorageData(records);
    FAIL() << "restored despite a failed texture";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), ErrorMessage::NoMoreHeap);
  }
  EXPECT_EQ(canvas->layers(), layersBefore);
  EXPECT_EQ(bytesOfCanvas(*canvas), before);
  EXPECT_EQ(AppManager().heapSize(), heap);
  EXPECT_EQ(errors->errors, std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap});
}

INSTANTIATE_TEST_SUITE_P(EveryTexture, LayerStorageFailingRestore, ::testing::Range<std::size_t>(1, 13));

TEST(LayerStorage, ARestoreCleansTheHistoryThatNamesTheOldLayers) {
  auto canvas = paintedCanvas(6, 4, 1);
  canvas->layerCreate();
  ASSERT_TRUE(canvas->commandManager()->canUndo());
  canvas->setStorageData(paintedCanvas(6, 4, 2, 50)->getStorageData());
  EXPECT_FALSE(canvas->commandManager()->canUndo());
  const auto after = bytesOfCanvas(*canvas);
  canvas->commandManager()->undo();
  EXPECT_EQ(bytesOfCanvas(*canvas), after);
  EXPECT_EQ(canvas->layers().size(), 2u);
}

}  // namespace

// The bristles of the flat, fan and filbert brushes: the pattern's draws, the records each layout
// makes, the heads that cannot be laid, and the initialiser passes that lay the records into a
// fresh head on the brush scenes.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <cstdio>
#include <tuple>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "components/BrushView.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "scene/Geometry.h"
#include "scene/Material.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModel.h"
#include "tools/DefaultToolViewer.h"
#include "tools/ToolSurface.h"
#include "tools/brushes/BristleLayouts.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "tools/brushes/PatternGenerator.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

TEST(Bristles, DrawsStepFirstAndWrapAfterTheLastEntry) {
  const std::tuple<int, int, std::vector<std::uint32_t>, std::vector<std::uint32_t>> cases[] = {
      {0, 0, {3, 1, 2, 3, 2}, {5, 3, 0, 5, 8}}, {4, 4, {2}, {8}}, {2, 6, {2}, {9}},
      {99, 99, {1, 3}, {3, 5}},  // entry 0 follows entry 99
      {-7, 250, {1}, {3}},       // a cursor outside the table starts at entry 0
  };
  for (const auto& [i4, i10, fours, tens] : cases) {
    PatternGenerator pattern(i4, i10);
    for (const auto v : fours) EXPECT_EQ(pattern.next4(), v) << i4;
    for (const auto v : tens) EXPECT_EQ(pattern.next10(), v) << i10;
  }
}

// A head whose columns run from leftX to rightX and slices from downZ to topZ; side marks 30 cells
// below the tip, the head circle of radius 6 round (15, 30).
BristleHead head(float leftX, float rightX, float downZ, float topZ) {
  return {{leftX, 40, 20}, {rightX, 40, 20}, {20, 30, topZ}, {20, 30, downZ}, {15, 10, 20}, {5, 25, 20}, {15, 30, 20}, 6};
}

std::vector<std::tuple<float, float, float, float>> records(const BristleLayout& layout) {
  std::vector<std::tuple<float, float, float, float>> out;  // x, slice, length, angle
  for (const auto& b : layout.bristles) out.emplace_back(b.startPoint.x, b.startPoint.z, b.startPoint.w, b.angle);
  return out;
}

TEST(Bristles, TheFirstColumnsOfEachFamily) {
  // Flat: columns 10 to 12 of one slice, base 40 - 10 = 30, so L0 = 20; a base under 10 adds nothing.
  using R = std::vector<std::tuple<float, float, float, float>>;
  EXPECT_EQ(records(layFlatBristles(head(10.7f, 12.2f, 3, 3))), (R{{10, 3, 28, 0}, {11, 3, 27, 0}, {12, 3, 29, 0}}));
  BristleHead shortHead = head(10, 10, 3, 3);
  shortHead.left.y = 17;
  EXPECT_EQ(records(layFlatBristles(shortHead)), (R{{10, 3, 8, 0}}));

  // Filbert: the column at the circle's centre, eleven slices; base 40 - 30 + 6, L0 = 6.
  EXPECT_EQ(records(layFilbertBristles(head(15, 15, 0, 10))),
            (R{{15, 0, 11, 0}, {15, 1, 9, 0}, {15, 2, 6, 0}, {15, 3, 11, 0}, {15, 4, 14, 0}, {15, 5, 13, 0}, {15, 6, 15, 0}, {15, 10, 7, 0}}));
  EXPECT_EQ(layFilbertBristles(head(30, 30, 0, 0)).bristles.at(0).startPoint.w, 0 + 5) << "beyond the radius: base 10 alone";

  // Fan: one column at x 3.5 whose pivot is headLeft (5, 25) on the rim; seven slices keep 0, 1, 6.
  BristleHead fan = head(3.5f, 5.0f, 0, 6);
  fan.headRadius = std::hypot(10.0f, 5.0f);
  const float angle = std::atan(-1.5f / 15), l0 = std::floor(std::hypot(1.5f, 15.0f)) - 10;
  const R laid = records(layFanBristles(fan));
  ASSERT_EQ(laid.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const float slice[] = {0, 1, 6}, added[] = {9, 1, 4};
    EXPECT_EQ(std::get<0>(laid[i]), 3.5f);
    EXPECT_EQ(std::get<1>(laid[i]), slice[i]);
    EXPECT_EQ(std::get<2>(laid[i]), l0 + added[i]);
    EXPECT_NEAR(std::get<3>(laid[i]), angle, 1e-5f);
  }
  EXPECT_TRUE(layFanBristles(head(3.5f, 3.9f, 0, 6)).bristles.empty()) << "no whole column";
}

// The angle of each column a fan lays, by its x; every bristle of a column leans the same way.
std::map<float, float> fanColumns(const BristleLayout& layout) {
  std::map<float, float> angles;
  for (const auto& b : layout.bristles) {
    const auto [column, added] = angles.emplace(b.startPoint.x, b.angle);
    EXPECT_EQ(column->second, b.angle) << "one lean a column, at x " << b.startPoint.x;
  }
  return angles;
}

std::vector<float> keys(const std::map<float, float>& columns) {
  std::vector<float> out;
  for (const auto& [x, angle] : columns) out.push_back(x);
  return out;
}

TEST(Bristles, TheFanSpansItsColumnsFromLeftToRightAndSweepsItsPivotsAcrossTheRim) {
  // Int(right.x - left.x) columns from left.x on, its fraction kept.
  const std::tuple<float, float, std::vector<float>> spans[] = {
      {12, 18, {12, 13, 14, 15, 16, 17}},
      {12.25f, 17, {12.25f, 13.25f, 14.25f, 15.25f}},
  };
  for (const auto& [left, right, columns] : spans) {
    EXPECT_EQ(keys(fanColumns(layFanBristles(head(left, right, 0, 9)))), columns) << left << " to " << right;
  }
  // Across a head centred on x 15 the pivots sweep the rim from one side to the other: the middle
  // column stands straight, those either side of it lean as far the other way, and the lean
  // turns one way all along.
  const auto lean = fanColumns(layFanBristles(head(12, 18, 0, 9)));
  EXPECT_NEAR(lean.at(15), 0.0f, 1e-5f);
  for (const float d : {1.0f, 2.0f}) EXPECT_NEAR(lean.at(15 - d), -lean.at(15 + d), 1e-5f) << d;
  for (float x = 12; x < 17; ++x) EXPECT_GT(lean.at(x), lean.at(x + 1)) << x;
}

// The middle column of a fan whose side marks lie level with the bottom of the head circle is
// rooted on its own pivot: it stays bare, and every other column keeps the bristles it has in a
// fan whose marks lie a little lower.
TEST(Bristles, AFanColumnRootedOnItsPivotStaysBare) {
  BristleHead onPivot = head(13, 17, 0, 9), below = onPivot;
  onPivot.left.y = onPivot.right.y = 30 - 6;
  below.left.y = below.right.y = 30 - 6.5f;
  const BristleLayout bare = layFanBristles(onPivot), full = layFanBristles(below);
  EXPECT_EQ(bare.problem, "");
  std::vector<std::pair<float, float>> expected, laid;  // x, slice
  for (const auto& b : full.bristles) {
    if (b.startPoint.x != 15) expected.emplace_back(b.startPoint.x, b.startPoint.z);
  }
  for (const auto& b : bare.bristles) laid.emplace_back(b.startPoint.x, b.startPoint.z);
  ASSERT_LT(expected.size(), full.bristles.size()) << "the lower fan lays the middle column";
  EXPECT_EQ(laid, expected);
}

TEST(Bristles, HeadsThatCannotBeLaidGiveNoBristlesAndSayWhy) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const auto with = [](std::function<void(BristleHead&)> change) {
    BristleHead h = head(0, 4, 0, 2);
    change(h);
    return h;
  };
  const std::tuple<BristleHead, const char*> everyFamily[] = {
      {with([&](BristleHead& h) { h.headTop.y = nan; }), "a point of the head lies at nan"},
      {with([&](BristleHead& h) { h.right.x = inf; }), "a point of the head lies at inf"},
      {with([&](BristleHead& h) { h.headRadius = -inf; }), "the head's radius is -inf"},
      {head(9, 4, 0, 2), "the head's columns run from 9.0 to 4.0"},
      {head(0, 4, 5, 2), "the head's slices run from 5.0 to 2.0"},
      {head(0, 4, 0, 5000), "the head's slices run from 0.0 to 5000.0"},
  };
  for (const auto& [h, problem] : everyFamily) {
    for (const auto lay : {layFlatBristles, layFilbertBristles, layFanBristles}) {
      const BristleLayout layout = lay(h);
      EXPECT_TRUE(layout.bristles.empty()) << problem;
      EXPECT_EQ(layout.problem, problem);
    }
  }
  EXPECT_EQ(layFlatBristles(with([](BristleHead& h) { h.left.y = 7; })).problem, "a bristle's base length is -3.0");
  EXPECT_EQ(layFanBristles(with([](BristleHead& h) { h.headLeft = h.headCenter; })).problem, "the head's rim has no angle");
}

using Cell = std::tuple<std::size_t, std::size_t, std::size_t>;

// The head's body cells.
std::set<Cell> bodyOf(const gpu::Texture& head) {
  std::set<Cell> cells;
  const gpu::TexelView v = head.texels();
  for (std::size_t z = 0; z < v.depth(); ++z)
    for (std::size_t y = 0; y < v.height(); ++y)
      for (std::size_t x = 0; x < v.width(); ++x)
        if (v.texel(x, y, z)[3] == 255) cells.insert({x, y, z});
  return cells;
}

// Each record's cells: `length` of them from its root along -(sin angle, cos angle) in its slice,
// up to the first outside the head (worked as the kernel works, in single precision).
std::set<Cell> cellsOf(const std::vector<Bristle>& records, const gpu::Texture& head) {
  std::set<Cell> cells;
  for (const auto& b : records) {
    const float stepX = -std::sin(b.angle), stepY = -std::cos(b.angle);
    for (int t = 0; t < static_cast<int>(b.startPoint.w); ++t) {
      const float x = std::floor(b.startPoint.x + stepX * static_cast<float>(t));
      const float y = std::floor(b.startPoint.y + stepY * static_cast<float>(t));
      if (x < 0 || y < 0 || x >= static_cast<float>(head.width()) || y >= static_cast<float>(head.height())) break;
      cells.insert({static_cast<std::size_t>(x), static_cast<std::size_t>(y), static_cast<std::size_t>(b.startPoint.z)});
    }
  }
  return cells;
}

float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  float v;
  std::memcpy(&v, bytes.data() + at, sizeof v);
  return v;
}

class BristlesPasses : public testing::Test {
 protected:
  BristlesPasses() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2)));
  }
  // Makes `tool` current: its viewer measures its scene and lays its head.
  DAEToolModel& lay(const std::shared_ptr<AbstractBrushTool>& tool) {
    AppManager().setCurrentTool(tool);
    return dynamic_cast<DAEToolModel&>(*tool->toolSurface()->getModel());
  }
  // One run of `pass` for the current tool, traced.
  std::vector<gpu::DispatchRecord> run(AbstractToolEncoderShader& pass) {
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass.encode(*canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();
    return gpu::commandTrace().dispatches();
  }

  std::shared_ptr<testsupport::FakeCanvas> canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 2048, 1536);
};

// A head measured from its scene: sizes from the extents (the two "Box: " lines), the lowest mark the
// pad above slice 0, the origin under the tip, the head circle through the three rim marks; the
// brush mesh dressed in the bristle picture; then laid with exactly its records.
TEST_F(BristlesPasses, EachFamilyMeasuresItsSceneAndLaysExactlyItsRecords) {
  const std::tuple<std::shared_ptr<AbstractBrushTool>, const char*, BristleLayout (*)(const BristleHead&)> cases[] = {
      {std::make_shared<BigFlatBrushTool>(), "DAEToolModel_brush_flat", layFlatBristles},
      {std::make_shared<BigFanBrushTool>(), "DAEToolModel_brush_fan", layFanBristles},
      {std::make_shared<BigFilbertBrushTool>(), "DAEToolModel_brush_filbert", layFilbertBristles},
  };
  for (const auto& [tool, kernel, layout] : cases) {
    testsupport::ConsoleCapture console;
    gpu::commandTrace().start();
    DAEToolModel& model = lay(tool);
    gpu::commandTrace().stop();
    const auto boxes = console.linesStartingWith("Box: ");
    ASSERT_EQ(boxes.size(), 2u);
    float ex, ey, ez;
    ASSERT_EQ(std::sscanf(boxes[0].c_str(), "Box: %f %f %f", &ex, &ey, &ez), 3);
    const auto sized = [](float extent, float border) { return static_cast<std::int64_t>(extent + border) / 8 * 8 + 8; };
    EXPECT_EQ(boxes[1], "Box: " + std::to_string(sized(ex, 16)) + " " + std::to_string(sized(ey, 16)) + " " +
                            std::to_string(sized(ez, 64)));
    EXPECT_EQ(model.depth(), sized(ez, 64));
    const auto& d = *model.descriptor();
    EXPECT_NEAR(d.down().z, (static_cast<float>(model.depth()) - ez) / 2, 1e-3f) << "the lowest mark a pad above slice 0";
    EXPECT_EQ(d.origin(), SCNVector3(d.headTop().x, d.headTop().y, d.down().z));
    for (const SCNVector3& mark : {d.headTop(), d.headLeft(), d.headRight()})
      EXPECT_NEAR(std::hypot(mark.x - d.headCenter().x, mark.y - d.headCenter().y), d.headRadius(), 1e-3f);
    EXPECT_EQ(canvas->brushView()->toolNode()->eulerAngles(), scene::Vector3(0.78539819f, 0, 0.78539819f)) << "pose given back";
    const auto& materials = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer()).toolContentNode()->childNode("Brush", true)->geometry()->materials();
    EXPECT_TRUE(materials.size() == 1 && materials[0]->diffuse().image()) << "the bristle picture";

    const auto dispatches = gpu::commandTrace().dispatches();
    ASSERT_EQ(dispatches.size(), 2u) << kernel;
    const auto& bristles = dispatches[1];
    EXPECT_EQ(dispatches[0].kernelName, "pic_flip_texture_reset");
    EXPECT_EQ(bristles.kernelName, kernel);
    // The reset copy is written and, exchanged once, is now the pattern.
    const auto laid = dispatches[0].textures.at(TEXTURE_RESET);
    EXPECT_EQ(bristles.textures.at(TEXTURE_TOOL_WRITE), laid);
    EXPECT_EQ(bristles.textures.at(TEXTURE_TOOL_READ), model.colorTexture1());
    EXPECT_EQ(model.colorTexture0(), laid);
    // The head's own record, and its layout's records packed in order, one thread each.
    EXPECT_EQ(floatAt(bristles.buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, offsetof(DAEToolDescriptor, headRadius)),
              model.descriptor()->headRadius());
    const auto expected = layout(bristleHeadOf(*model.descriptor()));
    ASSERT_TRUE(expected.problem.empty()) << kernel << ": " << expected.problem;
    ASSERT_FALSE(expected.bristles.empty());
    EXPECT_EQ(bristles.buffers.at(BUFFER_BRISTLES).bytes, bristleBytes(expected.bristles)) << kernel;
    EXPECT_EQ(bristles.threadsPerThreadgroup, (gpu::Size{4, 1, 1}));
    EXPECT_EQ(bristles.threadgroupsPerGrid, (gpu::Size{(expected.bristles.size() + 3) / 4, 1, 1}));
    EXPECT_EQ(bodyOf(*laid), cellsOf(expected.bristles, *laid)) << kernel << ": exactly the records' cells";
    EXPECT_EQ(console.linesStartingWith("Bristles: ").size(), std::string(kernel).ends_with("fan") ? 1u : 0u);
  }
}

TEST_F(BristlesPasses, TwoSizesOfAFamilyEachLayFromTheirOwnHead) {
  const std::shared_ptr<AbstractBrushTool> small = std::make_shared<SmallFlatBrushTool>(), big = std::make_shared<BigFlatBrushTool>();
  const float radii[] = {lay(small).descriptor()->headRadius(), lay(big).descriptor()->headRadius()};
  ASSERT_NE(radii[0], radii[1]);
  const auto pass = DAEEncoders().getFlatBrushInitializer();  // taken once, run for each size
  std::vector<float> bound;
  for (const auto& tool : {small, big, small}) {
    AppManager().setCurrentTool(tool);
    bound.push_back(floatAt(run(*pass).at(0).buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, offsetof(DAEToolDescriptor, headRadius)));
  }
  EXPECT_EQ(bound, (std::vector<float>{radii[0], radii[1], radii[0]}));
}

// A head with a point at no number: each family's initialiser says why it lays nothing (the fan
// still counts its bristles), sends no records and runs no thread, the head's copies exchanged as
// every head pass exchanges them.
TEST_F(BristlesPasses, AHeadThatCannotBeLaidGetsNoBristlesAndTheConsoleSaysWhy) {
  const std::tuple<std::shared_ptr<AbstractBrushTool>, std::function<std::shared_ptr<AbstractBrushEncoderUnit>()>, bool> cases[] = {
      {std::make_shared<FlatBrushTool>(), [] { return DAEEncoders().getFlatBrushInitializer(); }, false},
      {std::make_shared<FanBrushTool>(), [] { return DAEEncoders().getFanBrushInitializer(); }, true},
      {std::make_shared<FilbertBrushTool>(), [] { return DAEEncoders().getFilbertBrushInitializer(); }, false},
  };
  const SCNVector3 p(4, 4, 4), nowhere(4, std::numeric_limits<float>::quiet_NaN(), 4);
  for (const auto& [tool, initializer, counts] : cases) {
    AppManager().setCurrentTool(tool);
    auto& viewer = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer());
    viewer.setToolModel(std::make_shared<DAEToolModel>(
        viewer, 8, 8, 16, std::make_shared<DAEToolDescriptorWrapper>(tool->toolType(), p, nowhere, p, p, p, p, p, p, p, 2, 0, 1)));
    const auto blank = viewer.toolModel()->colorTexture1();
    testsupport::ConsoleCapture console;
    EXPECT_TRUE(run(*initializer()).empty()) << describe(tool->toolType());
    EXPECT_EQ(viewer.toolModel()->colorTexture0(), blank);
    EXPECT_TRUE(bodyOf(*blank).empty());
    EXPECT_EQ(console.linesStartingWith("No bristles: "), std::vector<std::string>{"No bristles: a point of the head lies at nan"});
    EXPECT_EQ(console.linesStartingWith("Bristles: "), counts ? std::vector<std::string>{"Bristles: 0"} : std::vector<std::string>{});
  }
}

// An initialiser that sends the records it is given.
struct GivenRecords final : AbstractBrushEncoderUnit {
  explicit GivenRecords(std::vector<Bristle> given) : AbstractBrushEncoderUnit("DAEToolModel_brush_flat", noPreparation()), records(std::move(given)) {}
  std::vector<Bristle> createBristles(DrawingPaint&) override { return records; }
  std::vector<Bristle> records;
};

TEST_F(BristlesPasses, TheGroupsHoldEveryRecordAndNoMore) {
  const auto tool = std::make_shared<FlatBrushTool>();
  AppManager().setCurrentTool(tool);
  auto& viewer = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer());
  const SCNVector3 p(4, 4, 4);
  for (const auto& [count, groups] : {std::pair<std::size_t, std::size_t>{10, 3}, {3, 1}, {0, 0}}) {
    viewer.setToolModel(std::make_shared<DAEToolModel>(
        viewer, 8, 8, 16, std::make_shared<DAEToolDescriptorWrapper>(tool->toolType(), p, p, p, p, p, p, p, p, p, 2, 0, 1)));
    const auto blank = viewer.toolModel()->colorTexture1();
    GivenRecords pass({});
    for (std::size_t k = 0; k < count; ++k) pass.records.emplace_back(gpu::float4{1, 5, static_cast<float>(k), 3}, 0.0f);
    const auto dispatches = run(pass);
    EXPECT_EQ(viewer.toolModel()->colorTexture0(), blank) << "exchanged all the same";
    ASSERT_EQ(dispatches.size(), groups > 0 ? 1u : 0u) << count << ": no bristles, no dispatch";
    if (groups > 0) {
      EXPECT_EQ(dispatches[0].threadgroupsPerGrid, (gpu::Size{groups, 1, 1}));
    }
    EXPECT_EQ(bodyOf(*blank), cellsOf(pass.records, *blank)) << count << ": every record, once";
  }
}

}  // namespace
}  // namespace tessivarium

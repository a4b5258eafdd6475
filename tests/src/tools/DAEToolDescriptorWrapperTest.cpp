// The descriptor of a measured tool head: the record built for each pass, the drawing-mode rule,
// the NaN trace, and the rotations.

#include "tools/DAEToolDescriptorWrapper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <type_traits>

#include "BytesAt.h"
#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FakeTool.h"
#include "FatalStop.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPassInputs.h"
#include "tools/DAEToolModel.h"
#include "tools/DefaultToolViewer.h"
#include "tools/RotationMatrices.h"
#include "tools/TouchInput.h"

namespace tessivarium {
namespace {

using testsupport::at;

std::shared_ptr<DAEToolDescriptorWrapper> wrapperOf(ToolType type, float headRadius = 15.0f) {
  return std::make_shared<DAEToolDescriptorWrapper>(
      type, SCNVector3(33.75f, 11.25f, 32.25f), SCNVector3(33.75f, 11.25f, 48), SCNVector3(21.75f, 35.25f, 48),
      SCNVector3(48.75f, 26.25f, 48), SCNVector3(11.25f, 36.75f, 48), SCNVector3(52.75f, 32.75f, 48),
      SCNVector3(32.75f, 23.25f, 63.75f), SCNVector3(30.75f, 26.25f, 32.25f), SCNVector3(33.75f, 26.25f, 48),
      headRadius, 0.625f, 0.7f);
}

class DAEToolDescriptorWrapperTest : public testing::Test {
 protected:
  DAEToolDescriptorWrapperTest() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    AppManager().setCurrentTool(tool);
    tool->setThickness(0.35f);
  }

  std::shared_ptr<testsupport::FakeCanvas> canvas =
      std::make_shared<testsupport::FakeCanvas>(MainPaintId, 896, 500);
  std::shared_ptr<testsupport::FakeTool> tool = std::make_shared<testsupport::FakeTool>(ToolType::knife2);
  TouchInputData noSamples;
};

// The record's constructor takes its arguments in another order than its fields: each lands at
// its own offset, with the tool type as its case index.
TEST_F(DAEToolDescriptorWrapperTest, RecordCarriesTheWrapperAndTheToolAtTheirOffsets) {
  testsupport::ConsoleCapture console;
  const auto wrapper = wrapperOf(ToolType::knife1);
  const auto bytes = descriptorBytes(wrapper->getDescriptor(*canvas, 37, noSamples));
  const float points[9][3] = {{33.75f, 11.25f, 32.25f}, {33.75f, 11.25f, 48}, {21.75f, 35.25f, 48},
                              {48.75f, 26.25f, 48},     {11.25f, 36.75f, 48}, {52.75f, 32.75f, 48},
                              {32.75f, 23.25f, 63.75f}, {30.75f, 26.25f, 32.25f}, {33.75f, 26.25f, 48}};
  for (int i = 0; i < 9; ++i) {
    for (int lane = 0; lane < 3; ++lane) EXPECT_EQ(at<float>(bytes.data(), 16 * i + 4 * lane), points[i][lane]) << i;
    EXPECT_EQ(at<std::uint32_t>(bytes.data(), 16 * i + 12), 0u) << i;
  }
  EXPECT_EQ(at<float>(bytes.data(), 144), 0.625f);
  EXPECT_EQ(at<float>(bytes.data(), 148), 0.7f);
  EXPECT_EQ(at<std::uint32_t>(bytes.data(), 152), 16u);
  EXPECT_EQ(at<float>(bytes.data(), 156), 0.35f);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 160), 1);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 164), 0);
  EXPECT_EQ(at<float>(bytes.data(), 168), 15.0f);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 172), 37);
  EXPECT_EQ(at<float>(bytes.data(), 176), 0.0f);
  EXPECT_TRUE(console.lines().empty());

  for (const auto& [type, index] : {std::pair{ToolType::knife1, 16u}, {ToolType::roller, 37u}, {ToolType::eraser, 40u},
                                   {ToolType::tube, 0u}}) {
    EXPECT_EQ(wrapperOf(type)->getDescriptor(*canvas, 0, noSamples).toolType, index);
  }
}

// Mode 1 only on the main canvas while the tool does not paint wet; the mode argument never counts.
TEST_F(DAEToolDescriptorWrapperTest, DrawingModeFollowsTheCanvasAndTheWetFlags) {
  const auto palette = std::make_shared<testsupport::FakeCanvas>(MainPaintId + 1, 400, 350);
  struct Case {
    testsupport::FakeCanvas* paint;
    bool canWet, wet;
    std::int32_t argument, mode;
  } cases[] = {
      {canvas.get(), false, false, 0, 1}, {canvas.get(), true, false, 0, 1}, {canvas.get(), false, true, 0, 1},
      {canvas.get(), true, true, 0, 0},   {canvas.get(), true, true, 5, 0},  {canvas.get(), false, false, 5, 1},
      {palette.get(), false, false, 0, 0}, {palette.get(), false, false, 1, 0},
  };
  const auto wrapper = wrapperOf(ToolType::flatBrush);
  for (const auto& c : cases) {
    tool->setCanWetDrawing(c.canWet);
    tool->setWetDrawing(c.wet);
    EXPECT_EQ(wrapper->getDescriptor(*c.paint, 3, noSamples, c.argument).mode, c.mode)
        << c.paint->paintId() << c.canWet << c.wet << c.argument;
  }
}

// Nothing is cached: a new rotation reaches the next record and changes nothing else.
TEST_F(DAEToolDescriptorWrapperTest, EachRecordTakesTheCurrentRotation) {
  const auto wrapper = wrapperOf(ToolType::knife4);
  const auto before = descriptorBytes(wrapper->getDescriptor(*canvas, 2, noSamples));
  wrapper->setRotation(-1.25f);
  auto after = descriptorBytes(wrapper->getDescriptor(*canvas, 2, noSamples));
  EXPECT_EQ(at<float>(after.data(), 144), -1.25f);
  std::memcpy(after.data() + 144, before.data() + 144, 4);
  EXPECT_EQ(after, before);
}

TEST_F(DAEToolDescriptorWrapperTest, TraceShowsOnlyTheFieldsThatAreNotThemselves) {
  testsupport::ConsoleCapture console;
  const auto broken = wrapperOf(ToolType::knife1, NAN);
  broken->getDescriptor(*canvas, 0, noSamples);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"headRadius: nan nan"});

  console.clear();
  const auto wrapper = wrapperOf(ToolType::knife1);
  wrapper->printDescriptor(wrapper->getDescriptor(*canvas, 0, noSamples), false);
  ASSERT_EQ(console.lines().size(), 12u);
  const char* labels[] = {"origin: ", "headTop: ", "headLeft: ", "headRight: ", "headCenter: ", "headRadius: ",
                          "rotation: ", "scale: ",  "left: ",     "right: ",     "top: ",        "down: "};
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(console.lines()[i].rfind(labels[i], 0), 0u) << console.lines()[i];
  EXPECT_EQ(console.lines()[0], "origin: SIMD3<Float>(33.75, 11.25, 32.25) SCNVector3(x: 33.75, y: 11.25, z: 32.25)");
  EXPECT_EQ(console.lines()[6], "rotation: 0.625 0.625");
}

void expectColumns(const ColumnMatrix3& got, const ColumnMatrix3& want) {
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(got[c].x, want[c].x, 1e-6f) << c;
    EXPECT_NEAR(got[c].y, want[c].y, 1e-6f) << c;
    EXPECT_NEAR(got[c].z, want[c].z, 1e-6f) << c;
  }
}

// Row r of a product of 3 x 3 matrices given as rows.
using Rows = std::array<std::array<float, 3>, 3>;
Rows product(const Rows& a, const Rows& b) {
  Rows p{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      for (int k = 0; k < 3; ++k) p[r][c] += a[r][k] * b[k][c];
  return p;
}
ColumnMatrix3 rowsAsColumns(const Rows& m) {
  return {gpu::float3{m[0][0], m[0][1], m[0][2]}, gpu::float3{m[1][0], m[1][1], m[1][2]},
          gpu::float3{m[2][0], m[2][1], m[2][2]}};
}

TEST(DAEToolDescriptorWrapperRotations, VectorAndMatrices) {
  const auto wrapper = wrapperOf(ToolType::knife1);
  const SCNVector3 turned = wrapper->rotation(SCNVector3(1, 0, 5), static_cast<float>(std::numbers::pi / 2));
  EXPECT_NEAR(turned.x, 0, 1e-7f);
  EXPECT_FLOAT_EQ(turned.y, 1);
  EXPECT_EQ(turned.z, 5);
  const SCNVector3 back = wrapper->rotation(SCNVector3(3, 4, -2), -0.3f);
  EXPECT_FLOAT_EQ(back.x, 3 * std::cos(0.3f) + 4 * std::sin(0.3f));
  EXPECT_FLOAT_EQ(back.y, -3 * std::sin(0.3f) + 4 * std::cos(0.3f));

  const ColumnMatrix3 identity{gpu::float3{1, 0, 0}, gpu::float3{0, 1, 0}, gpu::float3{0, 0, 1}};
  expectColumns(makeRotationXYZ(0, 0, 0), identity);
  expectColumns(MakeRotationZYX(0, 0, 0), identity);

  const float a = 0.4f, b = -1.1f, c = 2.3f;
  const Rows rx{{{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}}};
  const Rows ry{{{std::cos(b), 0, std::sin(b)}, {0, 1, 0}, {-std::sin(b), 0, std::cos(b)}}};
  const Rows rz{{{std::cos(c), -std::sin(c), 0}, {std::sin(c), std::cos(c), 0}, {0, 0, 1}}};
  expectColumns(makeRotationXYZ(a, b, c), rowsAsColumns(product(product(rx, ry), rz)));
  expectColumns(MakeRotationZYX(a, b, c), rowsAsColumns(product(product(rz, ry), rx)));
}

TEST_F(DAEToolDescriptorWrapperTest, ModelOwnsItsDescriptor) {
  static_assert(!std::is_constructible_v<DAEToolModel, DefaultToolViewer&, std::int64_t, std::int64_t, std::int64_t>,
                "a tool model is never made without its descriptor");
  DefaultToolViewer viewer(*tool);
  const auto wrapper = wrapperOf(ToolType::knife1);
  DAEToolModel model(viewer, 64, 48, 96, wrapper);
  EXPECT_EQ(model.descriptor(), wrapper);
  EXPECT_EQ(model.depth(), 96);
  EXPECT_FATAL(DAEToolModel(viewer, 8, 8, 8, nullptr), "DAEToolModel: a tool model needs its descriptor");

  // The passes reach the head through the model: its record, and the dial's angle going to it.
  DAEDescriptorSource* source = descriptorSourceOf(model);
  ASSERT_EQ(source, &model);
  EXPECT_EQ(descriptorBytes(source->descriptorRecord(*canvas, 4, noSamples, 0)),
            descriptorBytes(wrapper->getDescriptor(*canvas, 4, noSamples)));
  source->setDescriptorRotation(2.5f);
  EXPECT_EQ(wrapper->rotation(), 2.5f);
  EXPECT_EQ(source->descriptorRotation(), 2.5f);
  EXPECT_FATAL(model.setDescriptor(nullptr), "DAEToolModel: a tool model needs its descriptor");
}

}  // namespace
}  // namespace tessivarium

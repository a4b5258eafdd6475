// The bristle initialisers as the brushes run them: the bindings and the bristle buffer each pass
// hands its kernel, the 1-D dispatch that reaches every record, and the head that comes of it.

#include <gtest/gtest.h>

#include <functional>

#include "BrushHeads.h"
#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModel.h"
#include "tools/brushes/BristleLayouts.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/FanBrushTools.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/brushes/FlatBrushTools.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  float v;
  std::memcpy(&v, bytes.data() + at, sizeof v);
  return v;
}

class BrushInitializers : public testing::Test {
 protected:
  BrushInitializers() {
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2)));
  }

  // Makes `tool` current, which measures its scene and lays its head.
  DAEToolModel& lay(const std::shared_ptr<AbstractBrushTool>& tool) {
    AppManager().setCurrentTool(tool);
    return dynamic_cast<DAEToolModel&>(*tool->toolSurface()->getModel());
  }

  std::shared_ptr<testsupport::FakeCanvas> canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 2048, 1536);
};

TEST_F(BrushInitializers, EachFamilyLaysItsBristlesIntoTheFreshHead) {
  struct Case {
    std::function<std::shared_ptr<AbstractBrushTool>()> make;
    const char* kernel;
    BristleLayout (*layout)(const BristleHead&);
  } cases[] = {
      {[] { return std::make_shared<BigFlatBrushTool>(); }, "DAEToolModel_brush_flat", layFlatBristles},
      {[] { return std::make_shared<BigFanBrushTool>(); }, "DAEToolModel_brush_fan", layFanBristles},
      {[] { return std::make_shared<BigFilbertBrushTool>(); }, "DAEToolModel_brush_filbert", layFilbertBristles},
  };
  for (const auto& c : cases) {
    testsupport::ConsoleCapture console;
    gpu::commandTrace().start();
    DAEToolModel& model = lay(c.make());
    gpu::commandTrace().stop();
    const auto dispatches = gpu::commandTrace().dispatches();
    ASSERT_EQ(dispatches.size(), 2u) << c.kernel;
    const auto& reset = dispatches[0];
    const auto& bristles = dispatches[1];
    EXPECT_EQ(reset.kernelName, "pic_flip_texture_reset");
    EXPECT_EQ(bristles.kernelName, c.kernel);

    // The head's two copies, exchanged once: the reset one is now the pattern.
    const auto laid = reset.textures.at(TEXTURE_RESET);
    EXPECT_EQ(bristles.textures.at(TEXTURE_TOOL_WRITE), laid) << c.kernel;
    EXPECT_EQ(bristles.textures.at(TEXTURE_TOOL_READ), model.colorTexture1()) << c.kernel;
    EXPECT_EQ(model.colorTexture0(), laid) << c.kernel;
    EXPECT_EQ(bristles.textures.size(), 2u) << "no working texture";

    // The head's own record, and the records of its layout, packed as they are made.
    const auto& descriptor = bristles.buffers.at(BUFFER_DAE_DESCRIPTOR).bytes;
    ASSERT_EQ(descriptor.size(), kDAEToolDescriptorSize);
    EXPECT_EQ(floatAt(descriptor, offsetof(DAEToolDescriptor, headRadius)), model.descriptor()->headRadius());
    const auto expected = c.layout(bristleHeadOf(*model.descriptor()));
    ASSERT_TRUE(expected.problem.empty()) << c.kernel << ": " << expected.problem;
    ASSERT_FALSE(expected.bristles.empty()) << c.kernel;
    EXPECT_EQ(bristles.buffers.at(BUFFER_BRISTLES).bytes, bristleBytes(expected.bristles)) << c.kernel;
    EXPECT_EQ(bristles.buffers.size(), 2u) << "no sample buffer";
    EXPECT_EQ(bristles.threadsPerThreadgroup, (gpu::Size{4, 1, 1}));
    EXPECT_EQ(bristles.threadgroupsPerGrid, (gpu::Size{(expected.bristles.size() + 3) / 4, 1, 1}));

    // Exactly the records' cells are body; the rest is air.
    const gpu::Size size{laid->width(), laid->height(), laid->depth()};
    const auto body = brushtest::cellsOfKind(*laid, brushtest::kBody);
    EXPECT_EQ(body, brushtest::bristleCells(expected.bristles, size)) << c.kernel;
    EXPECT_EQ(brushtest::cellsOfKind(*laid, 0).size() + body.size(), size.width * size.height * size.depth) << c.kernel;
    EXPECT_EQ(console.linesStartingWith("Bristles: ").size(), std::string(c.kernel).ends_with("fan") ? 1u : 0u);
  }
}

TEST_F(BrushInitializers, TwoSizesOfAFamilyEachLayFromTheirOwnHead) {
  const std::shared_ptr<AbstractBrushTool> small = std::make_shared<SmallFlatBrushTool>();
  const std::shared_ptr<AbstractBrushTool> big = std::make_shared<BigFlatBrushTool>();
  const float radii[] = {lay(small).descriptor()->headRadius(), lay(big).descriptor()->headRadius()};
  ASSERT_NE(radii[0], radii[1]);
  // The shared pass, taken once and run for one size after the other.
  const auto pass = DAEEncoders().getFlatBrushInitializer();
  std::vector<float> bound;
  for (const std::shared_ptr<AbstractBrushTool>& tool : {small, big, small}) {
    AppManager().setCurrentTool(tool);
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass->encode(*canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();
    bound.push_back(floatAt(gpu::commandTrace().dispatches().at(0).buffers.at(BUFFER_DAE_DESCRIPTOR).bytes,
                            offsetof(DAEToolDescriptor, headRadius)));
  }
  EXPECT_EQ(bound, (std::vector<float>{radii[0], radii[1], radii[0]}));
}

// An initialiser of a given number of records, each a line of 3 cells in a slice of its own.
class CountedInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit CountedInitializer(std::size_t count) : AbstractBrushEncoderUnit("DAEToolModel_brush_flat", noPreparation()), count_(count) {}
  std::vector<Bristle> createBristles(DrawingPaint&) override {
    std::vector<Bristle> records;
    for (std::size_t k = 0; k < count_; ++k) records.emplace_back(gpu::float4{1, 5, static_cast<float>(k), 3}, 0.0f);
    return records;
  }

 private:
  std::size_t count_;
};

TEST_F(BrushInitializers, TheGroupsHoldEveryRecordAndNoMore) {
  const auto tool = std::make_shared<FlatBrushTool>();
  AppManager().setCurrentTool(tool);
  auto& viewer = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer());
  const SCNVector3 p(4, 4, 4);
  struct Case {
    std::size_t records, groups;
  } cases[] = {{10, 3}, {3, 1}, {4, 1}, {0, 0}};
  for (const auto& c : cases) {
    const auto model = std::make_shared<DAEToolModel>(
        viewer, 8, 8, 16, std::make_shared<DAEToolDescriptorWrapper>(tool->toolType(), p, p, p, p, p, p, p, p, p, 2, 0, 1));
    viewer.setToolModel(model);
    const auto blank = model->colorTexture1();
    gpu::commandTrace().start();
    CountedInitializer pass(c.records);
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass.encode(*canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();
    const auto dispatches = gpu::commandTrace().dispatches();
    ASSERT_EQ(dispatches.size(), c.groups > 0 ? 1u : 0u) << c.records << ": a head with no bristles dispatches nothing";
    EXPECT_EQ(model->colorTexture0(), blank) << "exchanged all the same";
    if (c.groups == 0) continue;
    EXPECT_EQ(dispatches[0].threadgroupsPerGrid, (gpu::Size{c.groups, 1, 1}));
    EXPECT_EQ(dispatches[0].buffers.at(BUFFER_BRISTLES).bytes.size(), 32 * c.records);
    EXPECT_EQ(brushtest::cellsOfKind(*blank, brushtest::kBody).size(), 3 * c.records) << "every record, once";
  }
}

}  // namespace
}  // namespace tessivarium

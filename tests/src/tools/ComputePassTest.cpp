// The pass model against the command trace: pipeline built once, sizing, the encode contract, the
// composite and the double dispatch of a fill that dispatches itself.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FatalStop.h"
#include "gpu/Gpu.h"
#include "tools/AbstractEncoderUnit.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/ApplicationManager.h"
#include "tools/BufferComputeUnit.h"
#include "tools/DebugSwitches.h"
#include "tools/ToolEncoder.h"

namespace {

using namespace tessivarium;

constexpr const char* kCountKernel = "test_count_writes";

// Adds 1 to the red byte of every texel of the texture at slot 0 that a thread reaches.
void countWrites(const gpu::Dispatch& dispatch) {
  const gpu::TexelView target = dispatch.texels(0);
  gpu::forEachThread(dispatch, target, [&](gpu::uint3 p) { ++target.texel(p)[0]; });
}

// A kernel pass whose fill, enabled flag and sizing a test chooses.
class TestPass : public AbstractToolEncoderShader {
 public:
  explicit TestPass(std::string kernel = kCountKernel, PrepareStep prepare = noPreparation())
      : AbstractToolEncoderShader(std::move(kernel), std::move(prepare)) {}

  bool isEnabled() const override { return enabled; }
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override {
    ++fills;
    if (fill) fill(paint, encoder);
  }

  bool enabled = true;
  int fills = 0;
  std::function<void(DrawingPaint&, gpu::ComputeCommandEncoder&)> fill;
};

class ComputePasses : public ::testing::Test {
 protected:
  ComputePasses() { gpu::registerKernel(kCountKernel, countWrites); }
  ~ComputePasses() override { gpu::unregisterKernel(kCountKernel); }

  std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h, std::size_t d = 1) {
    gpu::TextureDescriptor descriptor;
    descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
    descriptor.width = w, descriptor.height = h, descriptor.depth = d;
    return AppManager().device()->makeTexture(descriptor);
  }
  std::shared_ptr<gpu::CommandBuffer> buffer() { return AppManager().commandQueue()->makeCommandBuffer(); }

  // Encoder opens and ends, dispatches and blits of the trace as short words, in order.
  static std::vector<std::string> events() {
    std::vector<std::string> out;
    for (const auto& e : gpu::commandTrace().events()) {
      if (const auto* r = std::get_if<gpu::EncoderRecord>(&e)) {
        out.push_back(std::string(r->kind == gpu::EncoderKind::Compute ? "compute" : "blit") +
                      (r->begin ? " begin" : " end"));
      } else if (const auto* d = std::get_if<gpu::DispatchRecord>(&e)) {
        out.push_back("dispatch " + d->kernelName);
      } else if (std::holds_alternative<gpu::BlitRecord>(e)) {
        out.push_back("copy");
      }
    }
    return out;
  }

  testsupport::FakeCanvas canvas{0, 64, 64};
};

TEST_F(ComputePasses, PipelineIsBuiltOnceAndTimedOnce) {
  testsupport::ConsoleCapture console;
  TestPass pass;
  auto t = texture(8, 8);
  pass.fill = [&](DrawingPaint&, gpu::ComputeCommandEncoder& e) {
    e.setTexture(t, 0);
    pass.updateThreadGroup(*t);
  };
  gpu::commandTrace().start();
  auto b = buffer();
  pass.encode(canvas, *b);
  pass.encode(canvas, *b);
  EXPECT_EQ(gpu::commandTrace().pipelineBuilds().size(), 1u);
  const auto lines = console.linesStartingWith("Execution time of ");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Execution time of test_count_writes: ", 0), 0u) << lines[0];
  EXPECT_EQ(pass.shaderPipelineState(), pass.shaderPipelineState());
}

TEST_F(ComputePasses, NoTimingLineWhileTheDebugModeIsNone) {
  DEBUG_DAE_KNIFE = KnifeDebugMode::None;
  testsupport::ConsoleCapture console;
  TestPass pass;
  pass.shaderPipelineState();
  EXPECT_TRUE(console.linesStartingWith("Execution time of ").empty());
}

TEST_F(ComputePasses, PipelineFailuresAreFatal) {
  TestPass missing("no_such_kernel");
  EXPECT_FATAL(missing.shaderPipelineState(), "No kernel function \"no_such_kernel\" in the default library");
  gpu::testControls().setPipelineCreationFails(true);
  TestPass failing;
  EXPECT_FATAL(failing.shaderPipelineState(), "Unable to create censusTransformMonoPipelineState");
  gpu::testControls().setPipelineCreationFails(false);
  gpu::testControls().setDefaultLibraryAbsent(true);
  TestPass noLibrary;
  EXPECT_FATAL(noLibrary.shaderPipelineState(), "The GPU device has no default library");
}

struct SizingCase {
  std::size_t width, height, depth;
  bool twoD;
  gpu::Size threads, groups;
};

class ComputePassSizing : public ComputePasses, public ::testing::WithParamInterface<SizingCase> {};

TEST_P(ComputePassSizing, GroupsRoundUp) {
  const SizingCase c = GetParam();
  TestPass pass;
  auto t = texture(c.width, c.height, c.depth);
  c.twoD ? pass.updateThreadGroup2D(*t) : pass.updateThreadGroup(*t);
  EXPECT_EQ(pass.threadsPerThreadgroup(), c.threads);
  EXPECT_EQ(pass.threadgroupsPerGrid(), c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComputePassSizing,
    ::testing::Values(SizingCase{256, 256, 1, false, {4, 4, 1}, {64, 64, 1}},
                      SizingCase{256, 256, 32, false, {4, 4, 8}, {64, 64, 4}},
                      SizingCase{256, 256, 32, true, {4, 4, 1}, {64, 64, 1}},
                      SizingCase{3, 2, 1, false, {4, 4, 1}, {1, 1, 1}},
                      SizingCase{102, 102, 1, false, {4, 4, 1}, {26, 26, 1}},
                      SizingCase{73, 73, 12, false, {4, 4, 8}, {19, 19, 2}}));

TEST_F(ComputePasses, RoundedUpGridReachesEveryTexelExactlyOnce) {
  for (std::size_t depth : {std::size_t{1}, std::size_t{9}}) {
    TestPass pass;
    auto t = texture(102, 102, depth);
    pass.fill = [&](DrawingPaint&, gpu::ComputeCommandEncoder& e) {
      e.setTexture(t, 0);
      pass.updateThreadGroup(*t);
    };
    auto b = buffer();
    pass.encode(canvas, *b);
    b->commit();
    const gpu::TexelView v = t->texels();
    std::size_t wrong = 0;
    for (std::size_t z = 0; z < depth; ++z)
      for (std::size_t y = 0; y < 102; ++y)
        for (std::size_t x = 0; x < 102; ++x) wrong += v.texel(x, y, z)[0] != 1;
    EXPECT_EQ(wrong, 0u) << "depth " << depth;
  }
}

TEST_F(ComputePasses, DisabledPassEncodesNothingAndSkipsItsPrepareStep) {
  bool prepared = false;
  TestPass pass(kCountKernel, [&](DrawingPaint&, gpu::CommandBuffer&) { prepared = true; });
  pass.enabled = false;
  gpu::commandTrace().start();
  auto b = buffer();
  pass.encode(canvas, *b);
  EXPECT_FALSE(prepared);
  EXPECT_EQ(pass.fills, 0);
  EXPECT_TRUE(events().empty());
}

TEST_F(ComputePasses, PrepareWorkLandsBeforeTheDispatch) {
  auto a = texture(4, 4), c = texture(4, 4);
  TestPass pass(kCountKernel, [&](DrawingPaint&, gpu::CommandBuffer& b) {
    auto blit = b.makeBlitCommandEncoder();
    blit->copy(a, 0, 0, {}, {4, 4, 1}, c, 0, 0, {});
    blit->endEncoding();
  });
  pass.fill = [&](DrawingPaint&, gpu::ComputeCommandEncoder& e) {
    e.setTexture(c, 0);
    pass.updateThreadGroup(*c);
  };
  gpu::commandTrace().start();
  auto b = buffer();
  pass.encode(canvas, *b);
  EXPECT_EQ(events(), (std::vector<std::string>{"blit begin", "copy", "blit end", "compute begin",
                                                "dispatch test_count_writes", "compute end"}));
}

TEST_F(ComputePasses, EncodeBeforeAnySizingIsFatal) {
  TestPass pass;
  auto b = buffer();
  EXPECT_FATAL(pass.encode(canvas, *b),
               "The pass \"test_count_writes\" was encoded before its thread groups were sized");
}

TEST_F(ComputePasses, FillThatDispatchesItselfDispatchesTwiceAndSizesPersist) {
  TestPass pass;
  auto big = texture(16, 8), small = texture(4, 4);
  pass.fill = [&](DrawingPaint&, gpu::ComputeCommandEncoder& e) {
    e.setTexture(big, 0);
    pass.encodeThreadGroup2D(*big, e);
  };
  gpu::commandTrace().start();
  auto b = buffer();
  pass.encode(canvas, *b);
  // Another caller binds another texture and does not size: the first caller's sizes hold.
  pass.fill = [&](DrawingPaint&, gpu::ComputeCommandEncoder& e) { e.setTexture(small, 0); };
  pass.encode(canvas, *b);
  const auto d = gpu::commandTrace().dispatches();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].threadgroupsPerGrid, (gpu::Size{4, 2, 1}));
  EXPECT_EQ(d[0].threadgroupsPerGrid, d[1].threadgroupsPerGrid);
  EXPECT_EQ(d[0].textures, d[1].textures);
  EXPECT_EQ(d[2].threadgroupsPerGrid, (gpu::Size{4, 2, 1}));
  EXPECT_EQ(d[2].textures.at(0), small);
  b->commit();
  EXPECT_EQ(big->texels().texel(15, 7)[0], 2) << "the kernel ran twice over the big texture";
}

TEST_F(ComputePasses, CompositeRunsItsPrepareThenEachChildInOrder) {
  std::vector<std::string> journal;
  auto t = texture(4, 4);
  auto child = [&](std::string name, bool enabled) {
    auto pass = std::make_shared<TestPass>(kCountKernel, [&journal, name](DrawingPaint&, gpu::CommandBuffer&) {
      journal.push_back(name);
    });
    pass->enabled = enabled;
    pass->fill = [t, raw = pass.get()](DrawingPaint&, gpu::ComputeCommandEncoder& e) {
      e.setTexture(t, 0);
      raw->updateThreadGroup(*t);
    };
    return pass;
  };
  CompositeEncoderUnit composite([&](DrawingPaint&, gpu::CommandBuffer&) { journal.push_back("composite"); });
  auto b = buffer();
  composite.encode(canvas, *b);
  EXPECT_EQ(journal, std::vector<std::string>{"composite"}) << "an empty composite still prepares";

  journal.clear();
  composite.setEncoders({child("off", false)});
  composite.encode(canvas, *b);
  EXPECT_EQ(journal, std::vector<std::string>{"composite"}) << "all children disabled";

  journal.clear();
  composite.setEncoders({child("first", true), child("skipped", false), child("second", true)});
  gpu::commandTrace().start();
  composite.encode(canvas, *b);
  EXPECT_EQ(journal, (std::vector<std::string>{"composite", "first", "second"}));
  EXPECT_EQ(events(), (std::vector<std::string>{"compute begin", "dispatch test_count_writes", "compute end",
                                                "compute begin", "dispatch test_count_writes",
                                                "compute end"}));
}

TEST_F(ComputePasses, CompositeWithAHoleIsFatal) {
  CompositeEncoderUnit composite;
  composite.setEncoders({nullptr});
  auto b = buffer();
  EXPECT_FATAL(composite.encode(canvas, *b), "A composite pass holds no pass at position 0");
}

TEST_F(ComputePasses, PassesWithoutAKernelOfTheirOwn) {
  auto b = buffer();
  AbstractToolEncoder root;
  EXPECT_FATAL(root.encode(canvas, *b), "Should be implemented in subclass!");

  bool prepared = false;
  CopyEncoderUnit copy(texture(2, 2), texture(2, 2), [&](DrawingPaint&, gpu::CommandBuffer&) { prepared = true; });
  gpu::commandTrace().start();
  copy.encode(canvas, *b);
  EXPECT_FALSE(prepared);
  EXPECT_TRUE(events().empty());
}

TEST_F(ComputePasses, BufferComputeUnitBuildsOnItsDeviceWithoutATimingLine) {
  testsupport::ConsoleCapture console;
  auto device = AppManager().device();
  BufferComputeUnit unit(device, kCountKernel);
  const auto pipeline = unit.shaderPipelineState();
  ASSERT_TRUE(pipeline);
  EXPECT_EQ(pipeline->functionName(), kCountKernel);
  EXPECT_EQ(unit.shaderPipelineState(), pipeline);
  EXPECT_TRUE(console.linesStartingWith("Execution time of ").empty());
}

}  // namespace

#include "tools/AbstractEncoderUnit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"

namespace {

using namespace tessivarium;

constexpr const char* kKernel = "test_tool_samples";

template <class T>
std::vector<T> valuesOf(const gpu::DispatchRecord& dispatch, std::int64_t index) {
  const auto found = dispatch.buffers.find(index);
  if (found == dispatch.buffers.end() || !found->second.buffer) return {};
  const auto& bytes = found->second.bytes;
  std::vector<T> values(bytes.size() / sizeof(T));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
  return values;
}

class AbstractEncoderUnitTest : public ::testing::Test {
 protected:
  AbstractEncoderUnitTest() { gpu::registerKernel(kKernel, [](const gpu::Dispatch&) {}); }
  ~AbstractEncoderUnitTest() override { gpu::unregisterKernel(kKernel); }

  gpu::DispatchRecord encodeWith(const TouchInputs& inputs) {
    tool.setTouchInputs(inputs);
    unit.setThreadsPerThreadgroup(gpu::Size{1, 1, 1});
    unit.setThreadgroupsPerGrid(gpu::Size{1, 1, 1});
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    unit.encode(tool, *buffer);
    const auto dispatches = gpu::commandTrace().dispatches();
    EXPECT_EQ(dispatches.size(), 1u);
    return dispatches.at(0);
  }

  AbstractDrawingTool tool{ToolType::tube};
  AbstractEncoderUnit unit{kKernel};
};

// The kernels of this family read the samples at literal indices: count, x, y, forces.
TEST_F(AbstractEncoderUnitTest, BindsTheToolsPendingSamplesAtIndicesZeroToThree) {
  const auto dispatch = encodeWith({std::make_shared<TouchInput>(graphics::Point{12.9, -3.7}, 0.3f, 0.1f, 0.2f),
                                    std::make_shared<TouchInput>(graphics::Point{250.5, 7.2}, 0.8f, 0.1f, 0.2f),
                                    std::make_shared<TouchInput>(graphics::Point{-40.6, 1999.99}, 1.0f, 0.f, 0.f)});
  EXPECT_EQ(dispatch.buffers.at(0).bytes.size(), 4u);
  EXPECT_EQ(valuesOf<std::int32_t>(dispatch, 0), (std::vector<std::int32_t>{3}));
  EXPECT_EQ(valuesOf<std::int32_t>(dispatch, 1), (std::vector<std::int32_t>{12, 250, -40}));
  EXPECT_EQ(valuesOf<std::int32_t>(dispatch, 2), (std::vector<std::int32_t>{-3, 7, 1999}));
  EXPECT_EQ(valuesOf<float>(dispatch, 3), (std::vector<float>{0.3f, 0.8f, 1.0f}));
}

TEST_F(AbstractEncoderUnitTest, WithoutSamplesBindsACountOfZeroAndNoLists) {
  const auto dispatch = encodeWith({});
  EXPECT_EQ(valuesOf<std::int32_t>(dispatch, 0), (std::vector<std::int32_t>{0}));
  for (std::int64_t index : {1, 2, 3}) EXPECT_TRUE(valuesOf<float>(dispatch, index).empty()) << index;
}

}  // namespace

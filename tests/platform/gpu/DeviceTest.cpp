// The default device and library, buffers, and the failure injection of the test controls.

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

TEST(Device, DefaultDeviceAndLibraryCanBeMadeAbsent) {
  auto d = gpu::systemDefaultDevice();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(gpu::systemDefaultDevice(), d) << "one default device";
  EXPECT_NE(d->makeDefaultLibrary(), nullptr);
  gpu::testControls().setDefaultLibraryAbsent(true);
  EXPECT_EQ(d->makeDefaultLibrary(), nullptr);
  gpu::testControls().setDefaultDeviceAbsent(true);
  EXPECT_EQ(gpu::systemDefaultDevice(), nullptr);
  gpu::resetForTesting();
  EXPECT_NE(gpu::systemDefaultDevice(), nullptr);
  EXPECT_NE(gpu::systemDefaultDevice()->makeDefaultLibrary(), nullptr);
}

TEST(Device, ResetGivesAFreshDeviceAndStopsTheTrace) {
  auto before = gpu::systemDefaultDevice();
  gpu::commandTrace().start();
  before->makeCommandQueue()->makeCommandBuffer()->commit();
  gpu::resetForTesting();
  EXPECT_NE(gpu::systemDefaultDevice(), before);
  EXPECT_FALSE(gpu::commandTrace().isRecording());
  EXPECT_TRUE(gpu::commandTrace().events().empty());
}

TEST(Device, NthTextureRequestFails) {
  gpu::testControls().failTextureRequest(2);
  EXPECT_NE(texture2D(4, 4), nullptr);
  EXPECT_EQ(texture2D(4, 4), nullptr);
  EXPECT_NE(texture2D(4, 4), nullptr);
  EXPECT_EQ(gpu::testControls().textureRequests(), 3u);
}

TEST(Device, TextureRequestsFailByPredicate) {
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor& d) { return d.width * d.height > 100; });
  EXPECT_NE(texture2D(10, 10), nullptr);
  EXPECT_EQ(texture2D(11, 10), nullptr);
}

TEST(Device, TextureOfAnotherWidth) {
  gpu::testControls().changeTextureWidth([](const gpu::TextureDescriptor& d) { return d.width / 2; });
  auto t = texture2D(64, 32);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width(), 32u);
  EXPECT_EQ(t->height(), 32u);
}

TEST(Device, PipelineCreationCanFail) {
  ScopedKernel kernel("test_nothing", [](const gpu::Dispatch&) {});
  gpu::testControls().setPipelineCreationFails(true);
  EXPECT_EQ(kernel.pipeline(), nullptr);
  gpu::testControls().setPipelineCreationFails(false);
  EXPECT_NE(kernel.pipeline(), nullptr);
}

TEST(Device, BuffersFromBytesAndOfALength) {
  const float values[3] = {1.5f, 2.5f, -1.0f};
  auto b = device()->makeBuffer(values, sizeof values, gpu::ResourceOptions::StorageModeManaged);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->length(), 12u);
  EXPECT_EQ(reinterpret_cast<const float*>(b->contents())[1], 2.5f);
  EXPECT_EQ(b->options(), gpu::ResourceOptions::StorageModeManaged);
  auto zeros = device()->makeBuffer(8);
  EXPECT_EQ(zeros->length(), 8u);
  EXPECT_EQ(zeros->contents()[7], 0);
  EXPECT_EQ(device()->makeBuffer(0), nullptr);
  EXPECT_EQ(device()->makeBuffer(values, 0), nullptr);
}

TEST(Device, KernelRegistryRejectsUnnamedOrEmptyKernels) {
  EXPECT_FATAL(gpu::registerKernel("", [](const gpu::Dispatch&) {}), "registerKernel: a kernel needs a name");
  EXPECT_FATAL(gpu::registerKernel("k", gpu::Kernel()), "registerKernel: kernel \"k\" has no function");
  EXPECT_FALSE(gpu::unregisterKernel("never_registered"));
}

}  // namespace

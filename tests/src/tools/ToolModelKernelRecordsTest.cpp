// The tool-model records byte for byte, as the kernels read them.

#include "tools/ToolModelKernelRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "BytesAt.h"

namespace {

using namespace tessivarium;

using testsupport::at;

// Every field at its offset, the padding lanes zero although the record's memory holds garbage there.
TEST(ToolModelKernelRecords, DescriptorBytesPutEveryFieldAtItsOffset) {
  alignas(DAEToolDescriptor) std::uint8_t storage[sizeof(DAEToolDescriptor)];
  std::memset(storage, 0xAB, sizeof storage);
  auto* d = new (storage) DAEToolDescriptor;
  gpu::float3* points[] = {&d->origin, &d->headTop, &d->headLeft, &d->headRight, &d->left,
                           &d->right,  &d->top,     &d->down,     &d->headCenter};
  for (int i = 0; i < 9; ++i) *points[i] = {1.0f + i, 2.5f + i, -3.0f - i};
  d->rotation = 0.7f, d->scale = 1.3f, d->toolType = 16, d->thickness = 0.35f, d->mode = 1;
  d->touchOffsetZ = 0, d->headRadius = 21.5f, d->touchCount = 37, d->dummy1 = 0;
  const auto bytes = descriptorBytes(*d);
  ASSERT_EQ(bytes.size(), 180u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(at<float>(bytes.data(), 16 * i), 1.0f + i) << i;
    EXPECT_EQ(at<float>(bytes.data(), 16 * i + 4), 2.5f + i) << i;
    EXPECT_EQ(at<float>(bytes.data(), 16 * i + 8), -3.0f - i) << i;
    EXPECT_EQ(at<std::uint32_t>(bytes.data(), 16 * i + 12), 0u) << i;
  }
  EXPECT_EQ(at<float>(bytes.data(), 144), 0.7f);
  EXPECT_EQ(at<float>(bytes.data(), 148), 1.3f);
  EXPECT_EQ(at<std::uint32_t>(bytes.data(), 152), 16u);
  EXPECT_EQ(at<float>(bytes.data(), 156), 0.35f);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 160), 1);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 164), 0);
  EXPECT_EQ(at<float>(bytes.data(), 168), 21.5f);
  EXPECT_EQ(at<std::int32_t>(bytes.data(), 172), 37);
  EXPECT_EQ(at<float>(bytes.data(), 176), 0.0f);

  // A kernel reads the same values back, and refuses a buffer shorter than the record.
  DAEToolDescriptor read;
  ASSERT_TRUE(readDescriptor(bytes.data(), bytes.size(), read));
  EXPECT_EQ(read.headCenter, d->headCenter);
  EXPECT_EQ(read.touchCount, 37);
  EXPECT_FALSE(readDescriptor(bytes.data(), 179, read));
}

TEST(ToolModelKernelRecords, BristlesArePackedAtThirtyTwoBytesWithZeroDummies) {
  Bristle a({1.5f, 2.0f, 3.0f, 12.0f}, 0.25f), b({4.0f, 5.0f, 6.0f, 7.0f}, -1.0f);
  b.dummy2 = 9.0f;  // never sent
  const Bristle list[] = {a, b};
  const auto bytes = bristleBytes(list);
  ASSERT_EQ(bytes.size(), 64u);
  EXPECT_EQ(at<float>(bytes.data(), 12), 12.0f);
  EXPECT_EQ(at<float>(bytes.data(), 16), 0.25f);
  EXPECT_EQ(at<float>(bytes.data(), 32), 4.0f);
  EXPECT_EQ(at<float>(bytes.data(), 48), -1.0f);
  for (std::size_t offset : {20u, 24u, 28u, 52u, 56u, 60u}) EXPECT_EQ(at<float>(bytes.data(), offset), 0.0f) << offset;
}

}  // namespace

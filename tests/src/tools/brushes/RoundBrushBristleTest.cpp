// The round brush's bristle mesh and its viewer: the default bristle's triangles, normals, rings and
// GPU buffers, and the viewer's loading and renderer delegate.

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "components/BrushView.h"
#include "gpu/Buffer.h"
#include "scene/Geometry.h"
#include "tools/ApplicationManager.h"
#include "tools/brushes/SceneBrushViewer.h"

namespace tessivarium {
namespace {

class RoundBrushBristle : public testing::Test {
 protected:
  SceneBrushViewer& viewer() { return static_cast<SceneBrushViewer&>(*AppManager().roundBrush()->toolViewer()); }
  BrushView& brushView() { return *canvas.canvas->brushView(); }

  testsupport::StrokeCanvas canvas;
};

TEST_F(RoundBrushBristle, TheDefaultBristleIsAClosedWhiteTubeOf320FacesInThreeBuffers) {
  testsupport::ConsoleCapture console;
  viewer().loads();
  ASSERT_EQ(viewer().bristles().size(), 1u);
  const BrushBristle& bristle = *viewer().bristles()[0];
  EXPECT_EQ(console.linesStartingWith("Bristle ring ").size(), 10u) << "two lines a ring";
  EXPECT_EQ(console.lines().size(), 20u);

  const auto& points = bristle.points();
  ASSERT_EQ(points.size(), 960u);
  std::vector<std::int32_t> numbers(960);
  std::iota(numbers.begin(), numbers.end(), 0);
  EXPECT_EQ(bristle.indexes(), numbers);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const gpu::float3 n = bristle.normals()[i];
    if (i < 48) {
      ASSERT_LT(n.z, 0) << i << ": the bottom cap faces down";
    } else if (i >= 912) {
      ASSERT_GT(n.z, 0) << i << ": the top cap faces up";
    } else {
      ASSERT_EQ(n.z, 0) << i;
      ASSERT_GT(n.x * points[i].x + n.y * points[i].y, 0) << i << ": a side faces away from the axis";
    }
    ASSERT_TRUE(bristle.colors()[i] == (gpu::float4{1, 1, 1, 1})) << i;
  }
  EXPECT_EQ(points.back().z, 0.2f) << "the top ring meets the cap";

  // Each cap's centre is listed by its ring 16 times; a slot lies on 5 vertices at the caps' rings
  // (a cap triangle has one corner on it) and on 6 at the rings between.
  ASSERT_EQ(bristle.cercles().size(), 10u);
  for (const BristleCercle& ring : bristle.cercles()) {
    const bool cap = ring.index() == 0 || ring.index() == 9;
    EXPECT_EQ(ring.centers().size(), cap ? 16u : 0u) << ring.index();
    ASSERT_EQ(ring.indexes().size(), 16u);
    for (const auto& slot : ring.indexes()) EXPECT_EQ(slot.size(), cap ? 5u : 6u) << ring.index();
  }

  // The node under the content: a geometry over the three buffers, lit per vertex.
  ASSERT_EQ(viewer().toolContentNode()->childNodes().size(), 1u);
  const auto& geometry = *viewer().toolContentNode()->childNodes()[0]->geometry();
  using scene::GeometrySemantic, scene::VertexFormat;
  const struct {
    GeometrySemantic semantic;
    VertexFormat format;
    const std::shared_ptr<gpu::Buffer>& buffer;
    const void* data;
  } sources[] = {{GeometrySemantic::vertex, VertexFormat::float3, bristle.vertexBuffer(), points.data()},
                 {GeometrySemantic::normal, VertexFormat::float3, bristle.normalBuffer(), bristle.normals().data()},
                 {GeometrySemantic::color, VertexFormat::float4, bristle.colorBuffer(), bristle.colors().data()}};
  ASSERT_EQ(geometry.sources().size(), 3u);
  for (const auto& s : sources) {
    const auto found = geometry.sources(s.semantic);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->buffer(), s.buffer);
    EXPECT_EQ(found[0]->vertexFormat(), s.format);
    EXPECT_EQ(found[0]->vectorCount(), 960u);
    EXPECT_EQ(found[0]->dataStride(), 16u);
    ASSERT_EQ(s.buffer->length(), 15360u);
    EXPECT_EQ(std::memcmp(s.buffer->contents(), s.data, 15360), 0);
  }
  ASSERT_EQ(geometry.elements().size(), 1u);
  const auto& triangles = *geometry.elements()[0];
  EXPECT_EQ(triangles.primitiveCount(), 320u);
  EXPECT_EQ(triangles.bytesPerIndex(), 4u);
  EXPECT_EQ(triangles.data().size(), 3840u);
  EXPECT_EQ(triangles.indexAt(959), 959u);
  EXPECT_FALSE(geometry.firstMaterial()->isLitPerPixel());
}

TEST_F(RoundBrushBristle, LoadsOnceAndIsTheBrushViewsDelegateWhileAttached) {
  canvas.use(AppManager().roundBrush());  // attaches the viewer
  EXPECT_EQ(brushView().delegate().get(), static_cast<scene::RendererDelegate*>(&viewer()));
  viewer().loads();
  viewer().attachView();
  EXPECT_EQ(viewer().toolContentNode()->childNodes().size(), 1u);
  EXPECT_EQ(viewer().bristles().size(), 1u);
  EXPECT_EQ(brushView().content(), viewer().toolContentNode());
  EXPECT_FALSE(viewer().toolModel());
  brushView().render(0.5);  // the delegate is told and does nothing

  viewer().dettachView();
  EXPECT_FALSE(brushView().delegate());
  EXPECT_FALSE(viewer().initialized());
}

}  // namespace
}  // namespace tessivarium

// The round brush's viewer and its bristle mesh: the default bristle's triangles, normals, rings and
// GPU buffers, loading once, and the renderer delegate while attached.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "components/BrushView.h"
#include "gpu/Buffer.h"
#include "scene/Geometry.h"
#include "tools/ApplicationManager.h"
#include "tools/brushes/RoundBrushTool.h"
#include "tools/brushes/SceneBrushViewer.h"

namespace tessivarium {
namespace {

TEST(RoundBrushBristle, TheViewerShowsOneClosedWhiteTubeOf320FacesInThreeBuffers) {
  testsupport::StrokeCanvas canvas;
  testsupport::ConsoleCapture console;
  canvas.use(AppManager().roundBrush());  // attaches the viewer, which loads
  auto& viewer = static_cast<SceneBrushViewer&>(*AppManager().roundBrush()->toolViewer());
  BrushView& brushView = *canvas.canvas->brushView();
  EXPECT_EQ(brushView.delegate().get(), static_cast<scene::RendererDelegate*>(&viewer));
  viewer.loads();
  EXPECT_EQ(brushView.content(), viewer.toolContentNode());
  ASSERT_EQ(viewer.toolContentNode()->childNodes().size(), 1u) << "a second load builds nothing";
  ASSERT_EQ(viewer.bristles().size(), 1u);
  EXPECT_FALSE(viewer.toolModel());
  EXPECT_EQ(console.linesStartingWith("Bristle ring ").size(), 10u) << "two lines a ring";

  const BrushBristle& bristle = *viewer.bristles()[0];
  const auto& points = bristle.points();
  ASSERT_EQ(points.size(), 960u);
  for (std::size_t i = 0; i < points.size(); ++i) {
    ASSERT_EQ(bristle.indexes()[i], static_cast<std::int32_t>(i));
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
  // Each cap's centre is listed by its ring 16 times; a slot lies on 5 vertices at the caps' rings
  // and on 6 at the rings between (the top ring meets the cap).
  ASSERT_EQ(bristle.cercles().size(), 10u);
  for (const BristleCercle& ring : bristle.cercles()) {
    const bool cap = ring.index() == 0 || ring.index() == 9;
    EXPECT_EQ(ring.centers().size(), cap ? 16u : 0u) << ring.index();
    for (const auto& slot : ring.indexes()) EXPECT_EQ(slot.size(), cap ? 5u : 6u) << ring.index();
  }

  // A geometry over the three buffers, 16 bytes a vertex, one element of 4-byte indices, lit per vertex.
  const auto& geometry = *viewer.toolContentNode()->childNodes()[0]->geometry();
  using scene::GeometrySemantic, scene::VertexFormat;
  const std::tuple<GeometrySemantic, VertexFormat, const std::shared_ptr<gpu::Buffer>&, const void*> sources[] = {
      {GeometrySemantic::vertex, VertexFormat::float3, bristle.vertexBuffer(), points.data()},
      {GeometrySemantic::normal, VertexFormat::float3, bristle.normalBuffer(), bristle.normals().data()},
      {GeometrySemantic::color, VertexFormat::float4, bristle.colorBuffer(), bristle.colors().data()}};
  ASSERT_EQ(geometry.sources().size(), 3u);
  for (const auto& [semantic, format, buffer, data] : sources) {
    const auto& source = *geometry.sources(semantic).at(0);
    EXPECT_TRUE(source.buffer() == buffer && source.vertexFormat() == format && source.dataStride() == 16);
    ASSERT_EQ(buffer->length(), 15360u);
    EXPECT_EQ(std::memcmp(buffer->contents(), data, 15360), 0);
  }
  ASSERT_EQ(geometry.elements().size(), 1u);
  const auto& triangles = *geometry.elements()[0];
  EXPECT_TRUE(triangles.primitiveCount() == 320 && triangles.bytesPerIndex() == 4 && triangles.data().size() == 3840);
  EXPECT_FALSE(geometry.firstMaterial()->isLitPerPixel());

  brushView.render(0.5);  // the delegate is told and does nothing
  viewer.dettachView();
  EXPECT_FALSE(brushView.delegate());
}

}  // namespace
}  // namespace tessivarium

// The wide viewer measuring a head from the test scene MeasuredKnife.dae, worked out in
// DAEThickToolViewerTest.cpp: on an 896 x 500 canvas at scale 1 its markers span 55.776 x 34.272 x
// 42.336 view points at the viewer scale 1, and s times that at the scale s. The wide viewer adds no border
// and keeps only the width.

#include <gtest/gtest.h>

#include <cstdio>
#include <numbers>

#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "components/BrushView.h"
#include "foundation/Bundle.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/brushes/WideBrushToolModel.h"
#include "tools/brushes/WideBrushToolViewer.h"

namespace tessivarium {
namespace {

class WideTool : public AbstractDrawingTool {
 public:
  WideTool() : AbstractDrawingTool(ToolType::wideBrush) {}
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override { return {}; }
};

// W is the next multiple of 8 strictly above the whole part of the x extent; the model is always 12
// high and 3 deep, while the second "Box: " line shows the height and depth the extents would give.
// The node keeps the display scale and stays turned a quarter about x.
TEST(WideBrushToolViewer, MeasuresTheWidthAloneIntoAFlatModel) {
  EXPECT_EQ(AbstractDAEThickToolViewer::modelSize(96.0f), 104);
  const struct {
    float scale, extentX;
    std::int64_t width;
    const char* sizeLine;
  } cases[] = {{1.0f, 55.776f, 56, "Box: 56 40 48"},
               {93.7f / 55.776f, 93.7f, 96, "Box: 96 64 72"},
               {7.9f / 55.776f, 7.9f, 8, "Box: 8 8 8"}};
  foundation::Bundle::framework().setRoot(TESS_ENGINE_SCENE_DIR);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.extentX);
    testsupport::ConsoleCapture console;
    const auto canvas = std::make_shared<testsupport::FakeCanvas>(MainPaintId, 896, 500);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(2, 2)));
    WideTool tool;
    WideBrushToolViewer viewer(tool, "MeasuredKnife", c.scale);
    viewer.attachView();

    const auto* model = dynamic_cast<DAE2DToolModel*>(viewer.toolModel().get());
    ASSERT_TRUE(model);
    const auto boxes = console.linesStartingWith("Box: ");
    ASSERT_EQ(boxes.size(), 2u);
    float extentX = 0;
    ASSERT_EQ(std::sscanf(boxes[0].c_str(), "Box: %f", &extentX), 1);
    EXPECT_NEAR(extentX, c.extentX, 1e-3f);
    EXPECT_EQ(boxes[1], c.sizeLine);
    EXPECT_EQ(model->width(), c.width);
    EXPECT_TRUE(model->height() == 12 && model->depth() == 3);
    const auto& node = *canvas->brushView()->toolNode();
    EXPECT_EQ(node.eulerAngles(), scene::Vector3(std::numbers::pi_v<float> / 2, 0, 0));
    EXPECT_FLOAT_EQ(node.scale().x, viewer.scale());
  }
}

}  // namespace
}  // namespace tessivarium

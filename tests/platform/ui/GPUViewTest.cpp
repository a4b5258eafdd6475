#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FatalStop.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Device.h"
#include "gpu/GaussianBlur.h"
#include "gpu/TestControls.h"
#include "gpu/Texture.h"
#include "ui/FrameSource.h"
#include "ui/GPUView.h"

namespace {

using graphics::Rect;
using graphics::Size;
using ui::FrameSource;
using ui::GPUView;

// A delegate that writes its name into a shared log at every frame.
class LoggingDelegate : public ui::GPUViewDelegate {
 public:
  LoggingDelegate(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void draw(GPUView& view) override {
    log_.push_back(name_);
    if (onDraw) onDraw(view);
  }
  void drawableSizeWillChange(GPUView& view, Size size) override {
    log_.push_back(name_ + " size " + std::to_string(static_cast<int>(size.width)) + "x" +
                   std::to_string(static_cast<int>(size.height)) + " from " +
                   std::to_string(static_cast<int>(view.drawableSize().width)));
  }
  std::function<void(GPUView&)> onDraw;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

class GPUViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<GPUView> makeView(double width = 8, double height = 4) {
    return std::make_shared<GPUView>(Rect(0, 0, width, height), device);
  }
  std::shared_ptr<LoggingDelegate> makeDelegate(const std::string& name) {
    return std::make_shared<LoggingDelegate>(name, log);
  }
  void present(const std::shared_ptr<gpu::Drawable>& drawable) {
    auto buffer = device->makeCommandQueue()->makeCommandBuffer();
    buffer->present(drawable);
    buffer->commit();
  }

  std::shared_ptr<gpu::Device> device = gpu::systemDefaultDevice();
  std::vector<std::string> log;
};

TEST_F(GPUViewTest, AFrameCallsOnlyUnpausedViewsWithALiveDelegate) {
  auto drawing = makeView(), paused = makeView(), withoutDelegate = makeView(), orphaned = makeView();
  auto a = makeDelegate("drawing"), b = makeDelegate("paused");
  drawing->setDelegate(a);
  paused->setDelegate(b);
  paused->setPaused(true);
  {
    auto released = makeDelegate("orphaned");
    orphaned->setDelegate(released);
  }  // the view does not keep its delegate alive
  EXPECT_EQ(orphaned->delegate(), nullptr);

  EXPECT_EQ(FrameSource::main().displayFrame(), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"drawing"}));

  paused->setPaused(false);
  drawing->setDelegate(nullptr);
  EXPECT_EQ(FrameSource::main().displayFrame(), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"drawing", "paused"}));
}

TEST_F(GPUViewTest, ViewsDrawInTheOrderOfCreationUnlessATestChoosesAnother) {
  auto first = makeView(), second = makeView(), third = makeView();
  auto d1 = makeDelegate("1"), d2 = makeDelegate("2"), d3 = makeDelegate("3");
  third->setDelegate(d3);
  first->setDelegate(d1);
  second->setDelegate(d2);
  FrameSource::main().displayFrame();
  EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3"}));

  log.clear();
  GPUView* front = third.get();
  FrameSource::main().setOrder(
      [front](const GPUView& a, const GPUView& b) { return &a == front && &b != front; });
  FrameSource::main().displayFrame();
  EXPECT_EQ(log, (std::vector<std::string>{"3", "1", "2"}));
}

TEST_F(GPUViewTest, WhetherAViewDrawsIsDecidedAtItsTurn) {
  auto first = makeView(), second = makeView(), third = makeView();
  auto d1 = makeDelegate("1"), d2 = makeDelegate("2"), d3 = makeDelegate("3");
  first->setDelegate(d1);
  second->setDelegate(d2);
  third->setDelegate(d3);
  std::shared_ptr<GPUView> madeDuringFrame;
  auto d4 = makeDelegate("4");
  d1->onDraw = [&](GPUView&) {
    second->setPaused(true);
    third.reset();  // destroyed before its turn
    madeDuringFrame = makeView();
    madeDuringFrame->setDelegate(d4);
  };
  EXPECT_EQ(FrameSource::main().displayFrame(), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"1"}));

  d1->onDraw = nullptr;
  log.clear();
  FrameSource::main().displayFrame();
  EXPECT_EQ(log, (std::vector<std::string>{"1", "4"}));
}

TEST_F(GPUViewTest, AViewMayBeDestroyedByItsOwnDrawCallback) {
  auto view = makeView();
  auto delegate = makeDelegate("self");
  view->setDelegate(delegate);
  delegate->onDraw = [&](GPUView& drawn) {
    drawn.currentDrawable();
    view.reset();
  };
  EXPECT_EQ(FrameSource::main().displayFrame(), 1u);
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(FrameSource::main().displayFrame(), 0u);
}

TEST_F(GPUViewTest, TheCurrentDrawableIsABGRA8TextureOfTheDrawableSizeForOneFrame) {
  auto view = makeView(300, 200);
  view->setDrawableSize({10.7, 5.2});
  const std::size_t requestsBefore = gpu::testControls().textureRequests();
  auto drawable = view->currentDrawable();
  ASSERT_NE(drawable, nullptr);
  const auto texture = drawable->texture();
  EXPECT_EQ(texture->width(), 10u);
  EXPECT_EQ(texture->height(), 5u);
  EXPECT_EQ(texture->pixelFormat(), gpu::PixelFormat::BGRA8Unorm);
  EXPECT_EQ(view->colorPixelFormat(), gpu::PixelFormat::BGRA8Unorm);
  EXPECT_EQ(view->currentDrawable(), drawable);  // the same until the frame ends
  // Drawables are not the system's textures: the device's request count stays.
  EXPECT_EQ(gpu::testControls().textureRequests(), requestsBefore);

  auto delegate = makeDelegate("d");
  view->setDelegate(delegate);
  FrameSource::main().displayFrame();
  const auto next = view->currentDrawable();
  EXPECT_NE(next, drawable);
  EXPECT_NE(next->texture(), texture);  // still held here, so not reused
  EXPECT_FATAL(view->setColorPixelFormat(gpu::PixelFormat::RGBA8Unorm),
               "A GPU view draws in BGRA8 unsigned normalised only.");
}

TEST_F(GPUViewTest, PresentingCountsAndKeepsTheLastPicture) {
  auto view = makeView();
  auto first = view->currentDrawable();
  EXPECT_EQ(view->presentedCount(), 0);
  EXPECT_EQ(view->lastPresentedTexture(), nullptr);
  present(first);
  EXPECT_EQ(view->presentedCount(), 1);
  EXPECT_EQ(view->lastPresentedTexture(), first->texture());
  EXPECT_FATAL(first->present(), "A drawable is presented only once.");

  view->releaseDrawables();
  EXPECT_EQ(view->lastPresentedTexture(), nullptr);
  const auto second = view->currentDrawable();
  EXPECT_NE(second, first);
  present(second);
  EXPECT_EQ(view->presentedCount(), 2);

  // A drawable presented after its view is gone changes nothing.
  auto late = makeView()->currentDrawable();
  ASSERT_NE(late, nullptr);
  present(late);
}

TEST_F(GPUViewTest, ADrawableCanBeAbsent) {
  auto withheld = makeView(), kept = makeView();
  GPUView* target = withheld.get();
  GPUView::setDrawableWithheld([target](const GPUView& view) { return &view == target; });
  EXPECT_EQ(withheld->currentDrawable(), nullptr);
  EXPECT_NE(kept->currentDrawable(), nullptr);
  GPUView::setDrawableWithheld({});
  EXPECT_NE(withheld->currentDrawable(), nullptr);

  auto empty = makeView();
  empty->setDrawableSize({0.5, 100});
  EXPECT_EQ(empty->currentDrawable(), nullptr);
  GPUView deviceless(Rect(0, 0, 4, 4), nullptr);
  EXPECT_EQ(deviceless.currentDrawable(), nullptr);
}

TEST_F(GPUViewTest, TheDelegateHearsOfADrawableSizeChangeBeforeItHappens) {
  auto view = makeView(8, 4);
  EXPECT_EQ(view->drawableSize(), (Size{8, 4}));
  auto delegate = makeDelegate("d");
  view->setDelegate(delegate);
  view->setDrawableSize({8, 4});  // no change, no word
  view->setDrawableSize({16, 2});
  EXPECT_EQ(log, (std::vector<std::string>{"d size 16x2 from 8"}));
  EXPECT_EQ(view->drawableSize(), (Size{16, 2}));
  EXPECT_FATAL(view->setDrawableSize({-1, 2}), "A drawable size must be finite and not negative.");
}

// What a layer does in its frame: copy its RGBA8 picture into the drawable and present it.
TEST_F(GPUViewTest, AFrameThatCopiesAPictureIntoTheDrawableShowsItInBGRA8) {
  auto view = makeView(2, 1);
  auto picture = device->makeTexture(*gpu::TextureDescriptor::texture2D(
      gpu::PixelFormat::RGBA8Unorm, 2, 1, /*mipmapped=*/false));
  const std::vector<std::uint8_t> rgba{10, 20, 30, 255, 40, 50, 60, 128};
  picture->writeRegion(gpu::Region::make2D(0, 0, 2, 1), 0, rgba, 8);
  auto delegate = makeDelegate("layer");
  delegate->onDraw = [&](GPUView& drawn) {
    auto drawable = drawn.currentDrawable();
    auto buffer = device->makeCommandQueue()->makeCommandBuffer();
    gpu::GaussianBlur(device, 0.0f).encode(*buffer, picture, drawable->texture());
    buffer->present(drawable);
    buffer->commit();
    drawn.setPaused(true);  // nothing more to draw
  };
  view->setDelegate(delegate);
  FrameSource::main().displayFrame();
  FrameSource::main().displayFrame();
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(view->presentedCount(), 1);
  std::vector<std::uint8_t> shown(8);
  view->lastPresentedTexture()->readRegion(gpu::Region::make2D(0, 0, 2, 1), 0, shown, 8);
  EXPECT_EQ(shown, (std::vector<std::uint8_t>{30, 20, 10, 255, 60, 50, 40, 128}));
}

}  // namespace

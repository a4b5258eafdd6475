#include "tools/ApplicationManager.h"

#include <gtest/gtest.h>

#include "Application.h"
#include "ConsoleCapture.h"
#include "FakeCanvas.h"
#include "FatalStop.h"
#include "TwoThreads.h"
#include "audio/AudioPlayer.h"
#include "gpu/Device.h"
#include "gpu/TestControls.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/DrawingTool.h"
#include "tools/brushes/FilbertBrushTools.h"
#include "tools/sprayer/SprayerTool.h"
#include "tools/tubes/TubeTool.h"
#include "ui/Screen.h"

namespace {

using namespace tessivarium;
using testsupport::ConsoleCapture;
using testsupport::FakeCanvas;

std::shared_ptr<gpu::TextureDescriptor> descriptor(std::size_t w, std::size_t h, std::size_t d = 1,
                                                   gpu::PixelFormat format = gpu::PixelFormat::RGBA8Unorm) {
  auto desc = gpu::TextureDescriptor::make();
  desc->textureType = d > 1 ? gpu::TextureType::Type3D : gpu::TextureType::Type2D;
  desc->width = w;
  desc->height = h;
  desc->depth = d;
  desc->pixelFormat = format;
  return desc;
}

TEST(ApplicationManager, StartUpMakesOnlyTheDefaultTubeAndSprayerTools) {
  auto& manager = AppManager();
  EXPECT_EQ(&manager, &AppManager());
  EXPECT_TRUE(manager.device());
  EXPECT_EQ(manager.limitedHeap(), 300);
  EXPECT_EQ(manager.heapSize(), 0);
  EXPECT_EQ(manager.defaultTool(), DefaultTool());
  EXPECT_EQ(manager.currentTool(), DefaultTool());
  EXPECT_FALSE(manager.canvas() || manager.currentPaint() || manager.managerDelegate());
  EXPECT_TRUE(manager.palettes().empty());
  EXPECT_TRUE(manager.madeTools().empty()) << "tube and sprayer are made at start-up, the rest on use";
  EXPECT_EQ(manager.tube()->toolType(), ToolType::tube);
  EXPECT_EQ(manager.sprayer()->toolType(), ToolType::sprayer);
  EXPECT_EQ(gpu::testControls().textureRequests(), 0u) << "no working texture is made at start-up";
}

TEST(ApplicationManager, AMissingDeviceIsAFatalStop) {
  gpu::testControls().setDefaultDeviceAbsent(true);
  EXPECT_FATAL_CONTAINING(AppManager(), "No GPU device");
  // A failed start can be tried again.
  EXPECT_FATAL_CONTAINING(AppManager(), "No GPU device");
  gpu::testControls().setDefaultDeviceAbsent(false);
  EXPECT_TRUE(AppManager().device());
}

TEST(ApplicationManager, TwoThreadsFirstUsingItShareOneManager) {
  // Only the manager is used for the first time in the race.
  ASSERT_TRUE(gpu::systemDefaultDevice());
  Application();
  ui::Screen::main();
  for (int round = 0; round < 200; ++round) {
    resetAppManagerForTesting();
    const ApplicationManager* seen[2] = {};
    const auto raised = testsupport::runReleasedTogether([&] { seen[0] = &AppManager(); },
                                                         [&] { seen[1] = &AppManager(); });
    ASSERT_EQ(raised, (std::vector<std::string>{"", ""})) << "round " << round;
    ASSERT_EQ(seen[0], seen[1]) << "round " << round;
    ASSERT_EQ(seen[0], &AppManager());
  }
}

TEST(ApplicationManager, LazyServicesAreMadeOnceAndShared) {
  auto& manager = AppManager();
  EXPECT_EQ(manager.commandQueue(), manager.commandQueue());
  EXPECT_EQ(manager.ciContext(), manager.ciContext());
  EXPECT_EQ(manager.blur(), manager.blur());
  EXPECT_TRUE(manager.commandQueue() && manager.ciContext() && manager.blur());
}

TEST(ApplicationManager, TheMemoryLimitFollowsTheScreenAndEqualCountsReachIt) {
  struct Case {
    double width, height;
    std::int64_t limitBytes;
  } cases[] = {{1536, 2048, 314'572'800}, {2048, 2732, 1'073'741'824}};
  for (const auto& c : cases) {
    resetAppManagerForTesting();
    resetApplicationForTesting();
    ui::Screen::resetMain();
    ui::Screen::setMainNativeSize({c.width, c.height}, 2.0);
    auto& manager = AppManager();
    manager.setHeapSize(c.limitBytes - 1);
    EXPECT_FALSE(manager.isReachMaxHeap());
    manager.setHeapSize(c.limitBytes);
    EXPECT_TRUE(manager.isReachMaxHeap());
  }
}

TEST(ApplicationManager, TexturesAreCountedAtFourBytesPerTexelAndLogged) {
  auto& manager = AppManager();
  ConsoleCapture console;
  auto small = manager.makeTexture(*descriptor(256, 256));
  ASSERT_TRUE(small);
  EXPECT_EQ(manager.heapSize(), 262'144);
  auto large = manager.makeTexture(2048, 1536);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->pixelFormat(), gpu::PixelFormat::RGBA8Unorm);
  EXPECT_EQ(manager.heapSize(), 262'144 + 12'582'912);
  auto wide = manager.makeTexture(*descriptor(64, 64, 1, gpu::PixelFormat::RGBA32Float));
  auto deep = manager.makeTexture(*descriptor(256, 256, 32));
  EXPECT_EQ(manager.heapSize(), 262'144 + 12'582'912 + 64 * 64 * 4 + 256 * 256 * 32 * 4);
  manager.releaseTexture(*deep);
  manager.releaseTexture(*wide);
  manager.releaseTexture(*large);
  EXPECT_EQ(manager.heapSize(), 262'144);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{
                                 "Make: 256 256 0 M -> Heap size = 0 M",
                                 "Make: 2048 1536 12 M -> Heap size = 12 M",
                                 "Make: 64 64 0 M -> Heap size = 12 M",
                                 "Make: 256 256 8 M -> Heap size = 20 M",
                                 "Release: 256 256 8 M -> Heap size = 12 M",
                                 "Release: 64 64 0 M -> Heap size = 12 M",
                                 "Release: 2048 1536 12 M -> Heap size = 0 M",
                             }));
}

TEST(ApplicationManager, ReleasingAnUncountedTextureGoesNegative) {
  auto& manager = AppManager();
  auto stranger = manager.device()->makeTexture(*descriptor(2048, 1024));
  ConsoleCapture console;
  manager.releaseTexture(*stranger);
  manager.releaseTexture(*stranger);
  EXPECT_EQ(manager.heapSize(), -2 * 8'388'608);
  EXPECT_EQ(console.lines().back(), "Release: 2048 1024 8 M -> Heap size = -16 M");
}

int beeps() { return Application().audioPlayer()->playCount(); }

TEST(ApplicationManager, AFailedTextureIsReportedOnceAndNotCounted) {
  auto& manager = AppManager();
  const int before = beeps();
  gpu::testControls().failTextureRequest(1);
  ConsoleCapture console;
  EXPECT_FALSE(manager.makeTexture(*descriptor(256, 256)));
  EXPECT_EQ(manager.heapSize(), 0);
  EXPECT_EQ(beeps() - before, 1) << "NoMoreHeap beeps when no delegate is set";
  EXPECT_EQ(console.lines(), std::vector<std::string>{"Make: 256 256 0 M -> Heap size = 0 M"});

  gpu::testControls().exhaustMemoryAtTextureRequest(1);
  EXPECT_FALSE(manager.makeTexture(*descriptor(256, 256)));
  EXPECT_EQ(manager.heapSize(), 0);
  EXPECT_EQ(beeps() - before, 2) << "memory the machine cannot give is missing memory too";

  gpu::testControls().changeTextureWidth([](const gpu::TextureDescriptor& d) { return d.width / 2; });
  auto narrow = manager.makeTexture(*descriptor(256, 256));
  ASSERT_TRUE(narrow);
  EXPECT_EQ(beeps() - before, 3) << "a texture of another width is reported too";
  EXPECT_EQ(manager.heapSize(), 128 * 256 * 4) << "and counted at the size it has";
}

TEST(ApplicationManager, ScreenRatioWorkedExamples) {
  ui::Screen::resetMain();
  ui::Screen::setMainNativeSize({2048, 2732}, 2.0);
  auto& manager = AppManager();
  auto canvas = std::make_shared<FakeCanvas>(MainPaintId, 2048, 1536);
  EXPECT_FATAL_CONTAINING(manager.screenRatio(*canvas), "main canvas");
  manager.setCanvas(canvas);
  auto palette = std::make_shared<FakeCanvas>(1, 400, 350);
  auto scaled = std::make_shared<FakeCanvas>(MainPaintId, 2048, 1536, 2.0);
  ConsoleCapture console;
  EXPECT_DOUBLE_EQ(manager.screenRatio(*canvas), 0.033349609375);
  EXPECT_NEAR(manager.screenRatio(*palette), 0.17075, 5e-6);
  EXPECT_TRUE(console.lines().empty());

  manager.setCanvas(scaled);
  EXPECT_NEAR(manager.screenRatio(*palette), 0.683, 5e-4);
  EXPECT_EQ(console.lines(), std::vector<std::string>{"2.0 5.12"});
}

}  // namespace

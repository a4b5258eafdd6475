#include "Application.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "RecordedErrors.h"
#include "TempResourceRoot.h"
#include "TwoThreads.h"
#include "audio/AudioPlayer.h"
#include "foundation/Console.h"
#include "ui/Screen.h"

namespace {

using namespace tessivarium;

class RecordingChangeDelegate : public ApplicationSettingChangeDelegate {
 public:
  void changedSetting(ApplicationSettingProperty p) override { changes.push_back(p); }
  std::vector<ApplicationSettingProperty> changes;
};

TEST(ApplicationSetting, StartsWithTheDefaultsAndTheBeep) {
  auto& app = Application();
  EXPECT_EQ(&app, &Application());
  EXPECT_FALSE(app.delegateHandler() || app.changeDelegate());
  EXPECT_FALSE(app.silence());
  EXPECT_EQ(app.toolsTimeout(), 1.0f);
  EXPECT_FALSE(app.isToolsTimeout());
  EXPECT_TRUE(app.rightHandMode());
  EXPECT_EQ(app.saveInterval(), 120.0f);
  EXPECT_TRUE(app.autoSave());
  EXPECT_EQ(app.sensibility(), 3.0f);
  EXPECT_FALSE(app.drawingToolAutoHide());
  EXPECT_EQ(app.maxUndoRedo(), 40);
  EXPECT_FALSE(app.IPADPro12());
  ASSERT_TRUE(app.audioPlayer());
  EXPECT_EQ(app.audioPlayer()->prepareToPlayCount(), 1);
  EXPECT_EQ(app.audioPlayer()->playCount(), 0);
}

TEST(ApplicationSetting, TwoThreadsFirstUsingItShareOneObject) {
  // Without the beep each creation says so once, which counts the creations.
  testsupport::TempResourceRoot emptyRoot;
  std::mutex linesMutex;
  int creations = 0;
  foundation::setConsoleSink([&](std::string_view line) {
    std::lock_guard lock(linesMutex);
    if (line == "Beep.mp3 isn't found") ++creations;
  });
  ui::Screen::main();  // only the settings object is used for the first time in the race
  for (int round = 0; round < 100; ++round) {
    resetApplicationForTesting();
    creations = 0;
    const ApplicationSetting* seen[2] = {};
    const auto raised = testsupport::runReleasedTogether([&] { seen[0] = &Application(); },
                                                         [&] { seen[1] = &Application(); });
    ASSERT_EQ(raised, (std::vector<std::string>{"", ""}));
    ASSERT_EQ(creations, 1) << "round " << round;
    ASSERT_EQ(seen[0], seen[1]);
    ASSERT_EQ(seen[0], &Application());
  }
}

TEST(ApplicationSetting, IPADPro12ComesFromTheNativeScreen) {
  struct Case {
    double width, height;
    bool expected;
  } cases[] = {{2048, 2732, true}, {2732, 1000, true}, {1536, 2048, false}};
  for (const auto& c : cases) {
    ui::Screen::resetMain();
    ui::Screen::setMainNativeSize({c.width, c.height}, 2.0);
    ApplicationSetting settings;
    EXPECT_EQ(settings.IPADPro12(), c.expected) << c.width << " x " << c.height;
  }
}

TEST(ApplicationSetting, EveryAssignmentOfTheSevenNotifiesOnce) {
  auto& app = Application();
  auto delegate = std::make_shared<RecordingChangeDelegate>();
  app.setChangeDelegate(delegate);
  app.setSilence(false);  // unchanged value still notifies
  app.setToolsTimeout(2.0f);
  app.setIsToolsTimeout(true);
  app.setRightHandMode(true);
  app.setSaveInterval(10.0f);
  app.setAutoSave(false);
  app.setSensibility(1.5f);
  using P = ApplicationSettingProperty;
  EXPECT_EQ(delegate->changes, (std::vector<P>{P::silence, P::toolsTimeout, P::isToolsTimeout,
                                               P::rightHandMode, P::saveInterval, P::autoSave,
                                               P::sensibility}));
  delegate->changes.clear();
  app.setDrawingToolAutoHide(true);
  app.setMaxUndoRedo(3);
  app.setAudioPlayer(nullptr);
  app.setDelegateHandler(nullptr);
  EXPECT_TRUE(delegate->changes.empty());
  EXPECT_EQ(app.sensibility(), 1.5f);
}

TEST(ApplicationSetting, ForceValueScalesBySensibilityAndCapsAtOne) {
  auto& app = Application();
  EXPECT_DOUBLE_EQ(app.forceValue(0.25), 0.75);
  EXPECT_DOUBLE_EQ(app.forceValue(0.5), 1.0);
  EXPECT_DOUBLE_EQ(app.forceValue(0.0), 0.0);
  EXPECT_DOUBLE_EQ(app.forceValue(-0.1), -0.1 * 3.0);
  app.setSensibility(0.5f);
  EXPECT_DOUBLE_EQ(app.forceValue(1.0), 0.5);
}

TEST(ApplicationSetting, ErrorsGoToTheDelegateOrBeep) {
  const ErrorMessage all[] = {ErrorMessage::OK,
                              ErrorMessage::NoColorSelected,
                              ErrorMessage::CannotFillColor,
                              ErrorMessage::TextureFormatIncompatible,
                              ErrorMessage::ToolPatternNotNeed,
                              ErrorMessage::NoMoreHeap};
  auto beeps = [](ErrorMessage e) {
    return e == ErrorMessage::NoColorSelected || e == ErrorMessage::CannotFillColor ||
           e == ErrorMessage::NoMoreHeap;
  };
  auto& app = Application();
  const auto player = app.audioPlayer();
  ASSERT_TRUE(player);
  for (bool withDelegate : {false, true}) {
    for (bool silence : {false, true}) {
      auto handler = std::make_shared<testsupport::RecordedErrors>();
      app.setDelegateHandler(withDelegate ? handler : nullptr);
      app.setSilence(silence);
      for (auto error : all) {
        const int before = player->playCount();
        app.hanldeError(error);
        const bool expectBeep = !withDelegate && !silence && beeps(error);
        EXPECT_EQ(player->playCount() - before, expectBeep ? 1 : 0)
            << describe(error) << " delegate " << withDelegate << " silence " << silence;
      }
      EXPECT_EQ(handler->errors.size(), withDelegate ? std::size(all) : 0u);
    }
  }
}

TEST(ApplicationSetting, AMissingBeepIsReportedOnceAndLeavesErrorsSilent) {
  testsupport::TempResourceRoot emptyRoot;
  testsupport::ConsoleCapture console;
  ApplicationSetting settings;
  EXPECT_EQ(console.lines(), std::vector<std::string>{"Beep.mp3 isn't found"});
  EXPECT_FALSE(settings.audioPlayer());
  settings.hanldeError(ErrorMessage::NoMoreHeap);
  settings.errorSound();
}

TEST(ApplicationSetting, AnUnreadableBeepIsDroppedWithoutAMessage) {
  testsupport::TempResourceRoot root;
  root.write("Beep.mp3", "this is no sound at all");
  testsupport::ConsoleCapture console;
  ApplicationSetting settings;
  EXPECT_TRUE(console.lines().empty());
  EXPECT_FALSE(settings.audioPlayer());
}

}  // namespace

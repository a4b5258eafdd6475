#pragma once
// The settings of the system and the reporting of errors a user can cause. One object, the global
// Application(), created on first use; nothing is persisted. Main thread only.

#include <memory>

#include "ErrorMessage.h"

namespace audio {
class AudioPlayer;
}

namespace tessivarium {

// The settings whose assignment the host is told of, in this order.
enum class ApplicationSettingProperty {
  silence,
  toolsTimeout,
  isToolsTimeout,
  rightHandMode,
  saveInterval,
  autoSave,
  sensibility,
};

// The host's error delegate.
class DelegateErrorHandler {
 public:
  virtual ~DelegateErrorHandler() = default;
  virtual void receivedError(ErrorMessage error) = 0;
};

// The host's settings observer: told which setting was assigned; it reads the value itself.
class ApplicationSettingChangeDelegate {
 public:
  virtual ~ApplicationSettingChangeDelegate() = default;
  virtual void changedSetting(ApplicationSettingProperty property) = 0;
};

class ApplicationSetting {
 public:
  // Sets the defaults (without notifying), decides IPADPro12 from the main screen and loads the
  // beep "Beep.mp3" from the framework's bundle.
  ApplicationSetting();
  ~ApplicationSetting();
  ApplicationSetting(const ApplicationSetting&) = delete;
  ApplicationSetting& operator=(const ApplicationSetting&) = delete;

  const std::shared_ptr<DelegateErrorHandler>& delegateHandler() const { return delegateHandler_; }
  void setDelegateHandler(std::shared_ptr<DelegateErrorHandler> d) { delegateHandler_ = std::move(d); }
  const std::shared_ptr<ApplicationSettingChangeDelegate>& changeDelegate() const {
    return changeDelegate_;
  }
  void setChangeDelegate(std::shared_ptr<ApplicationSettingChangeDelegate> d) {
    changeDelegate_ = std::move(d);
  }

  // Every assignment of these seven notifies the change delegate, even of the value already held.
  bool silence() const { return silence_; }
  void setSilence(bool value);
  float toolsTimeout() const { return toolsTimeout_; }
  void setToolsTimeout(float value);
  bool isToolsTimeout() const { return isToolsTimeout_; }
  void setIsToolsTimeout(bool value);
  bool rightHandMode() const { return rightHandMode_; }
  void setRightHandMode(bool value);
  float saveInterval() const { return saveInterval_; }
  void setSaveInterval(float value);
  bool autoSave() const { return autoSave_; }
  void setAutoSave(bool value);
  float sensibility() const { return sensibility_; }
  void setSensibility(float value);

  const std::shared_ptr<audio::AudioPlayer>& audioPlayer() const { return audioPlayer_; }
  void setAudioPlayer(std::shared_ptr<audio::AudioPlayer> player) { audioPlayer_ = std::move(player); }
  bool drawingToolAutoHide() const { return drawingToolAutoHide_; }
  void setDrawingToolAutoHide(bool value) { drawingToolAutoHide_ = value; }
  std::int64_t maxUndoRedo() const { return maxUndoRedo_; }
  void setMaxUndoRedo(std::int64_t value) { maxUndoRedo_ = value; }

  // Whether the main screen is the 2732-pixel one; decided once at creation.
  bool IPADPro12() const { return IPADPro12_; }

  // The pressure of a normalised force: min(force x sensibility, 1), no lower bound.
  double forceValue(double force) const;
  // Reports a user-facing error to the delegate, or beeps for the errors that beep.
  void hanldeError(ErrorMessage error);
  // Plays the beep once, when there is a player.
  void errorSound();

 private:
  template <typename T>
  void assignAndNotify(T& field, T value, ApplicationSettingProperty property);

  std::shared_ptr<DelegateErrorHandler> delegateHandler_;
  std::shared_ptr<ApplicationSettingChangeDelegate> changeDelegate_;
  bool silence_ = false;
  float toolsTimeout_ = 1.0f;
  bool isToolsTimeout_ = false;
  bool rightHandMode_ = true;
  float saveInterval_ = 120.0f;
  bool autoSave_ = true;
  float sensibility_ = 3.0f;
  std::shared_ptr<audio::AudioPlayer> audioPlayer_;
  bool drawingToolAutoHide_ = false;
  std::int64_t maxUndoRedo_ = 40;
  bool IPADPro12_ = false;
};

// The process-wide settings object, created on first use (once, even when first used from two
// threads at the same time).
ApplicationSetting& Application();

// Drops the settings object so that the next use creates a fresh one (tests only).
void resetApplicationForTesting();

}  // namespace tessivarium

#include "Application.h"

#include <algorithm>

#include "audio/AudioPlayer.h"
#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "foundation/OnceValue.h"
#include "ui/Screen.h"

namespace tessivarium {
namespace {

foundation::OnceValue<ApplicationSetting>& applicationSlot() {
  static foundation::OnceValue<ApplicationSetting> slot(
      "Application used while it is created: the settings object must not use itself");
  return slot;
}

}  // namespace

ApplicationSetting::ApplicationSetting() {
  const auto native = ui::Screen::main().nativeBounds();
  IPADPro12_ = native.size.height == 2732.0 || native.size.width == 2732.0;

  const auto beep = foundation::Bundle::framework().pathForResource("Beep", "mp3");
  if (!beep) {
    foundation::consoleLine("Beep.mp3 isn't found");
    return;
  }
  try {
    audioPlayer_ = std::make_shared<audio::AudioPlayer>(*beep);
    audioPlayer_->prepareToPlay();
  } catch (const audio::AudioError&) {
    // A beep that cannot be opened leaves every error silent, as a missing one does.
  }
}

ApplicationSetting::~ApplicationSetting() = default;

template <typename T>
void ApplicationSetting::assignAndNotify(T& field, T value, ApplicationSettingProperty property) {
  field = value;
  if (changeDelegate_) changeDelegate_->changedSetting(property);
}

void ApplicationSetting::setSilence(bool v) { assignAndNotify(silence_, v, ApplicationSettingProperty::silence); }
void ApplicationSetting::setToolsTimeout(float v) {
  assignAndNotify(toolsTimeout_, v, ApplicationSettingProperty::toolsTimeout);
}
void ApplicationSetting::setIsToolsTimeout(bool v) {
  assignAndNotify(isToolsTimeout_, v, ApplicationSettingProperty::isToolsTimeout);
}
void ApplicationSetting::setRightHandMode(bool v) {
  assignAndNotify(rightHandMode_, v, ApplicationSettingProperty::rightHandMode);
}
void ApplicationSetting::setSaveInterval(float v) {
  assignAndNotify(saveInterval_, v, ApplicationSettingProperty::saveInterval);
}
void ApplicationSetting::setAutoSave(bool v) { assignAndNotify(autoSave_, v, ApplicationSettingProperty::autoSave); }
void ApplicationSetting::setSensibility(float v) {
  assignAndNotify(sensibility_, v, ApplicationSettingProperty::sensibility);
}

double ApplicationSetting::forceValue(double force) const {
  return std::min(force * static_cast<double>(sensibility_), 1.0);
}

void ApplicationSetting::hanldeError(ErrorMessage error) {
  if (delegateHandler_) {
    delegateHandler_->receivedError(error);
    return;
  }
  const bool beeps = error == ErrorMessage::NoColorSelected || error == ErrorMessage::CannotFillColor ||
                     error == ErrorMessage::NoMoreHeap;
  if (beeps && !silence_) errorSound();
}

void ApplicationSetting::errorSound() {
  if (audioPlayer_) audioPlayer_->play();
}

ApplicationSetting& Application() { return applicationSlot().get(); }

void resetApplicationForTesting() { applicationSlot().reset(); }

}  // namespace tessivarium

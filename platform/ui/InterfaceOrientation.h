#pragma once
// The orientation of the application's interface, as the status bar shows it. The host sets it
// when the device turns (there is no sensor here); it starts as portrait.
//
// Threads: main thread only.

#include <cstdint>

namespace ui {

enum class InterfaceOrientation : std::int64_t {
  Portrait = 1,
  PortraitUpsideDown = 2,
  LandscapeLeft = 3,
  LandscapeRight = 4,
};

constexpr bool isPortrait(InterfaceOrientation o) {
  return o == InterfaceOrientation::Portrait || o == InterfaceOrientation::PortraitUpsideDown;
}
constexpr bool isLandscape(InterfaceOrientation o) {
  return o == InterfaceOrientation::LandscapeLeft || o == InterfaceOrientation::LandscapeRight;
}

InterfaceOrientation statusBarOrientation();
void setStatusBarOrientation(InterfaceOrientation orientation);

}  // namespace ui

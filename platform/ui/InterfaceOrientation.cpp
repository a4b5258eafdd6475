#include "ui/InterfaceOrientation.h"

#include "foundation/Fatal.h"

namespace ui {

namespace {

InterfaceOrientation current = InterfaceOrientation::Portrait;

}  // namespace

InterfaceOrientation statusBarOrientation() { return current; }

void setStatusBarOrientation(InterfaceOrientation orientation) {
  if (!isPortrait(orientation) && !isLandscape(orientation)) {
    foundation::fatalError("Unknown interface orientation.");
  }
  current = orientation;
}

}  // namespace ui

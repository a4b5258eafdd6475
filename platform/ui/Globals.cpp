#include "ui/Globals.h"

#include "ui/FrameSource.h"
#include "ui/GPUView.h"
#include "ui/InterfaceOrientation.h"
#include "ui/Screen.h"

namespace ui {

void resetGlobals() {
  Screen::resetMain();
  setStatusBarOrientation(InterfaceOrientation::Portrait);
  FrameSource::main().setOrder({});
  GPUView::setDrawableWithheld({});
}

}  // namespace ui

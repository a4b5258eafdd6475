#pragma once
// The manager of a colour pick: its pickers hand the colour under the touch to the current tool,
// then end the pick.

#include "tools/colorPicker/AbstractPickerManager.h"

namespace tessivarium {

class ColorPickerManager : public AbstractPickerManager {
 public:
  // Installs a colour picker on each canvas, in order: nothing installed before is removed, a canvas
  // listed twice gets two, and `force` keeps its value. A missing canvas is a fatal stop.
  void pick(const Paints& paints);
};

}  // namespace tessivarium

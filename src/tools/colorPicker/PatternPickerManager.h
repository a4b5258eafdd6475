#pragma once
// The manager of a pattern pick: its pickers hand a stylus sample of the touch to the current tool,
// which picks the paint under it up onto its head.

#include "tools/colorPicker/AbstractPickerManager.h"

namespace tessivarium {

class PatternPickerManager : public AbstractPickerManager {
 public:
  // Installs a pattern picker on each canvas, as ColorPickerManager::pick does.
  void pick(const Paints& paints);
};

}  // namespace tessivarium

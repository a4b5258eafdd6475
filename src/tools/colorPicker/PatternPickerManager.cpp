#include "tools/colorPicker/PatternPickerManager.h"

#include "tools/colorPicker/PaintPatternPicker.h"

namespace tessivarium {

void PatternPickerManager::pick(const Paints& paints) {
  install(paints, &PaintPatternPicker::make, "PatternPickerManager.pick");
}

}  // namespace tessivarium

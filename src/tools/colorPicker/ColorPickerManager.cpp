#include "tools/colorPicker/ColorPickerManager.h"

#include "tools/colorPicker/PaintColorPicker.h"

namespace tessivarium {

void ColorPickerManager::pick(const Paints& paints) {
  install(paints, &PaintColorPicker::make, "ColorPickerManager.pick");
}

}  // namespace tessivarium

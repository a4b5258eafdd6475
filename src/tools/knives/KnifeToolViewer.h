#pragma once
// The viewer of the six knives: the thick-paint viewer, whose blade is measured from the knife's
// scene with the thick tools' margin; a blade does not stretch. Main thread only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class KnifeToolViewer : public AbstractDAEThickToolViewer {
 public:
  KnifeToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f);
};

}  // namespace tessivarium

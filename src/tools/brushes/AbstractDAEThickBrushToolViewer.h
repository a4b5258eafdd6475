#pragma once
// The base of the brush viewers (flat, fan, filbert and wide brushes): the thick tool-model viewer,
// whose loads also dress the scene's "Brush" mesh in the bristle picture "BrushBristles.png".
// The head is measured from the scene's markers as the thick viewer measures every tool. Main
// thread only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class AbstractDAEThickBrushToolViewer : public AbstractDAEThickToolViewer {
 public:
  AbstractDAEThickBrushToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale = 1.0f)
      : AbstractDAEThickToolViewer(tool, std::move(fileName), scale) {}

  // The thick viewer's load, then one material of the bristle picture (shininess 0.15) in place of
  // every material of the "Brush" geometry. A scene without that mesh, or a missing or unreadable
  // picture, keeps its materials, silently: the preview only looks plainer.
  void loads() override;
};

}  // namespace tessivarium

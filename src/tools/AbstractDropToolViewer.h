#pragma once
// The viewer of a drop tool: it shows the tool's scene in the canvas's brush view like any
// tool-model viewer, but builds no tool model when it is attached (a drop tool presses no head into
// the paint), and it lights the brush view in the tool's colour. Main thread only.

#include <string>

#include "tools/AbstractDAEThickToolViewer.h"

namespace tessivarium {

class AbstractDropTool;

class AbstractDropToolViewer : public AbstractDAEThickToolViewer {
 public:
  AbstractDropToolViewer(AbstractDropTool& tool, std::string fileName, float scale);

  // Counts as initialised first, so that neither this load nor a later touch measures a model or
  // runs initialisers; then the base attach (the scene into the brush view) and the light.
  void attachView() override;
  // The light of the current canvas's brush view takes the tool's colour; nothing without a current
  // canvas, a brush view or a light.
  void updateOnToolChange() override;

 private:
  AbstractDropTool* dropTool_;
};

}  // namespace tessivarium

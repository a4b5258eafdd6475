#include "tools/tubes/TubeSurface.h"

#include <vector>

#include "Artwork.h"
#include "components/DrawingPaint.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/tubes/TubePainting.h"
#include "utils/GpuRecords.h"

namespace tessivarium {

TubeSurface::TubeSurface(AbstractDrawingTool& tool) : DropSurface(tool) {
  initEncoders().push_back(std::make_shared<TubePainting>(tool));
}

void TubeSurface::doReset(const TouchInputs& touchInputs) {
  const std::shared_ptr<TouchInput> before = lastTouchInput();
  DropSurface::doReset(touchInputs);
  pathStartBuffer_.reset();
  if (!before || touchInputData().count() == 0) return;
  // Placed in the window as the step's own samples are.
  const double scale = AppManager().canvas()->artwork()->scale();
  const std::vector<float> start{static_cast<float>(before->location().x * scale - static_cast<double>(offset().x)),
                                 static_cast<float>(before->location().y * scale - static_cast<double>(offset().y)),
                                 before->force()};
  pathStartBuffer_ = makeFloatBuffer(start);
}

}  // namespace tessivarium

#include "tools/SoloDAEToolController.h"

#include "tools/DAEDialController.h"

namespace tessivarium {
namespace {

std::shared_ptr<DAEDialController>& dialSlot() {
  static std::shared_ptr<DAEDialController> dial;
  return dial;
}

}  // namespace

const std::shared_ptr<DAEDialController>& SOLO_DAE_TOOL_CONTROLLER() {
  auto& dial = dialSlot();
  if (!dial) dial = std::make_shared<DAEDialController>();
  return dial;
}

void resetSoloDAEToolControllerForTesting() { dialSlot().reset(); }

}  // namespace tessivarium

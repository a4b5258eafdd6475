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

void resetSoloDAEToolControllerForTesting() {
  // The dial holds its last tool, which holds the dial as its controller: let go of the tool
  // first, or the two keep each other alive once the slot is empty.
  if (const auto& dial = dialSlot()) dial->setChangeValue(nullptr);
  dialSlot().reset();
}

}  // namespace tessivarium

#include "tools/AbstractDAEToolViewer.h"

#include <numbers>

#include "Artwork.h"
#include "tools/ToolModel.h"
#include "tools/TouchInput.h"

namespace tessivarium {
namespace {

// Half the working window's depth across the head, twice it along the tool axis.
constexpr float kBorder = static_cast<float>(MAC_DEPTH) / 2;

}  // namespace

AbstractDAEToolViewer::AbstractDAEToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : DefaultToolViewer(tool, scale),
      fileName_(std::move(fileName)),
      border_(kBorder, kBorder, kBorder * 4) {}

void AbstractDAEToolViewer::dettachView() {
  DefaultToolViewer::dettachView();
  initialized_ = false;
}

void AbstractDAEToolViewer::updateSize() {
  if (const auto& model = toolModel()) {
    setSize({static_cast<std::size_t>(model->width()), static_cast<std::size_t>(model->height()),
             static_cast<std::size_t>(model->depth())});
  }
}

void AbstractDAEToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  if (!initialized_) loads();
  DefaultToolViewer::updateOnTouch(node, touchInput);
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  setEulerAngles(scene::Vector3(quarter - touchInput.altitudeAngle(), 0, quarter - touchInput.azimuthAngle()));
  node.setEulerAngles(*eulerAngles());
}

}  // namespace tessivarium

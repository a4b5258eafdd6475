#include "tools/brushes/BrushToolViewer.h"

#include <numbers>

#include "scene/Node.h"
#include "tools/TouchInput.h"

namespace tessivarium {
namespace {

constexpr float kHalfTurn = static_cast<float>(std::numbers::pi);
constexpr float kQuarterTurn = static_cast<float>(std::numbers::pi / 2);
constexpr float kFullTurn = static_cast<float>(std::numbers::pi * 2);
constexpr float kThreeQuarterTurn = static_cast<float>(std::numbers::pi / 2 * 3);
// The bend of a full press, π/16, of which a press gives 0.8.
constexpr float kBend = static_cast<float>(std::numbers::pi / 4 / 4);
constexpr float kPressShare = 0.8f;

}  // namespace

BoneBend boneBend(float rotation, float force) {
  const float a = rotation < kHalfTurn ? rotation : kFullTurn - rotation;
  const float t = -a / kQuarterTurn;
  const float u = 1 - t;
  BoneBend bend{kBend * force * kPressShare * u, -kBend * force * kPressShare * t};
  if (rotation > kQuarterTurn && rotation <= kThreeQuarterTurn) {
    bend = {-bend.x / 5, -bend.z / 5};
  } else if (rotation > kThreeQuarterTurn) {
    bend = {bend.x / 5, bend.z / 5};
  }
  return bend;
}

void BrushToolViewer::updateOnTouch(scene::Node& node, const TouchInput& touchInput) {
  AbstractDAEThickBrushToolViewer::updateOnTouch(node, touchInput);
  const float force = touchInput.force();
  const BoneBend bend = boneBend(rotation(), force);
  const scene::Vector3 angles(bend.x, 0, bend.z);
  const auto& content = toolContentNode();
  if (!content) return;
  for (const char* name : {"Bone2", "Bone3", "Bone4"}) {
    if (const auto bone = content->childNode(name, true)) bone->setEulerAngles(angles);
  }
  if (const auto last = content->childNode("Bone5", true)) {
    if (stretching()) last->setScale({1 + force * kPressShare * 0.5f, 1, 1});
    last->setEulerAngles(angles);
  }
}

}  // namespace tessivarium

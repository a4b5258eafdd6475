#include "tools/brushes/BristleCercle.h"

#include <algorithm>
#include <string>

#include "foundation/Console.h"

namespace tessivarium {
namespace {

std::string listed(const std::vector<std::int32_t>& numbers) {
  std::string text = "[";
  for (std::size_t i = 0; i < numbers.size(); ++i) text += (i ? ", " : "") + std::to_string(numbers[i]);
  return text + "]";
}

}  // namespace

BristleCercle::BristleCercle(std::int32_t index, SCNVector3 position, scene::Vector4 color, std::size_t resolution)
    : position_(position), color_(color), index_(index), indexes_(resolution) {}

void BristleCercle::updateIndexes(const std::vector<gpu::float3>& points,
                                  const std::vector<gpu::float3>& cerclePoints) {
  const std::size_t slots = std::min(indexes_.size(), cerclePoints.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const gpu::float3& p = points[i];
    const auto number = static_cast<std::int32_t>(i);
    if (p.z == position_.z) {
      for (std::size_t j = 0; j < slots; ++j) {
        if (p.x == cerclePoints[j].x && p.y == cerclePoints[j].y) indexes_[j].push_back(number);
      }
    }
    if (p.x == position_.x && p.y == position_.y && p.z == position_.z) centers_.push_back(number);
  }
  std::string slotLists = "[";
  for (std::size_t j = 0; j < indexes_.size(); ++j) slotLists += (j ? ", " : "") + listed(indexes_[j]);
  foundation::consoleLine("Bristle ring " + std::to_string(index_));
  foundation::consoleLine(slotLists + "]");
}

void BristleCercle::updateColors(std::vector<gpu::float4>& colors) const {
  const auto recolour = [&colors](std::int32_t number, float r, float g, float b) {
    if (number < 0 || static_cast<std::size_t>(number) >= colors.size()) return;
    gpu::float4& c = colors[static_cast<std::size_t>(number)];
    c.x = r, c.y = g, c.z = b;
  };
  for (const std::int32_t number : centers_) recolour(number, 1.0f, 1.0f, 1.0f);
  const float slots = static_cast<float>(indexes_.size());
  for (std::size_t j = 0; j < indexes_.size(); ++j) {
    for (const std::int32_t number : indexes_[j]) {
      recolour(number, static_cast<float>(index_) / 10.0f, static_cast<float>(j) / slots, 0.5f);
    }
  }
}

}  // namespace tessivarium

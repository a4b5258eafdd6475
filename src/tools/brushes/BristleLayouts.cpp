#include "tools/brushes/BristleLayouts.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "foundation/NumberText.h"
#include "tools/DAEToolDescriptorWrapper.h"
#include "tools/brushes/PatternGenerator.h"

namespace tessivarium {
namespace {

// No head is wider, longer or deeper than this many cells (the thick viewer refuses a measurement
// of 1024 cells on an axis), nor a coordinate farther out.
constexpr int kLongestRange = 1024;
constexpr float kFarthestCoordinate = 1 << 20;
// Lengths are checked against this before they become integers, so their sums stay in 32 bits.
constexpr float kLongestBristle = 2147483648.0f;

// A range of whole columns or slices, both ends included.
struct Range {
  int first = 0, last = -1;
};

// Int(f): a coordinate within kFarthestCoordinate, truncated.
int whole(float coordinate) { return static_cast<int>(coordinate); }

// The range Int(low) ... Int(high), or none with a problem when it is empty or longer than a head.
std::optional<Range> rangeOf(float low, float high, const char* what, std::string& problem) {
  const Range range{whole(low), whole(high)};
  if (range.last < range.first || range.last - range.first >= kLongestRange) {
    problem = std::string("the head's ") + what + " run from " + foundation::describe(low) + " to " +
              foundation::describe(high);
    return std::nullopt;
  }
  return range;
}

// UInt32(length), when the length is a number from above −1 to kLongestBristle (a length in
// (−1, 0) truncates to 0).
std::optional<std::uint32_t> wholeLength(float length) {
  if (!(length > -1.0f && length < kLongestBristle)) return std::nullopt;
  return static_cast<std::uint32_t>(length);
}

std::string lengthProblem(float length) {
  return "a bristle's base length is " + foundation::describe(length);
}

// The base length less 10, none below 10.
std::uint32_t shortened(std::uint32_t base) { return base < 10 ? 0 : base - 10; }

Bristle bristle(float x, const BristleHead& head, int slice, std::uint32_t length, float angle) {
  return Bristle(gpu::float4{x, head.left.y, static_cast<float>(slice), static_cast<float>(length)}, angle);
}

// The problem of a head with a point or radius that is no number or lies beyond any head.
std::string farProblem(const BristleHead& head) {
  for (const SCNVector3* p : {&head.left, &head.right, &head.top, &head.down, &head.headTop, &head.headLeft,
                              &head.headCenter}) {
    for (const float v : {p->x, p->y, p->z}) {
      if (!(std::fabs(v) < kFarthestCoordinate)) return "a point of the head lies at " + foundation::describe(v);
    }
  }
  if (!(std::fabs(head.headRadius) < kFarthestCoordinate)) {
    return "the head's radius is " + foundation::describe(head.headRadius);
  }
  return {};
}

// The checks common to the three layouts: every value finite and near, a range of slices.
std::optional<Range> slicesOf(const BristleHead& head, BristleLayout& layout) {
  layout.problem = farProblem(head);
  if (!layout.problem.empty()) return std::nullopt;
  return rangeOf(head.down.z, head.top.z, "slices", layout.problem);
}

BristleLayout failed(BristleLayout layout, std::string problem) {
  layout.bristles.clear();
  layout.problem = std::move(problem);
  return layout;
}

// The flat and filbert layouts: the columns Int(left.x) to Int(right.x), a cell kept on one keep
// draw, its bristle shorter(x) + next10() long, where shorter(x) is the column's base length less 10
// (none, with its problem, for a length that cannot be converted).
template <class Shorter>
BristleLayout layColumns(const BristleHead& head, PatternGenerator pattern, Shorter shorter) {
  BristleLayout layout;
  const auto slices = slicesOf(head, layout);
  if (!slices) return layout;
  const auto columns = rangeOf(head.left.x, head.right.x, "columns", layout.problem);
  if (!columns) return layout;
  for (int x = columns->first; x <= columns->last; ++x) {
    for (int z = slices->first; z <= slices->last; ++z) {
      if (pattern.next4() == 0) continue;
      std::string problem;
      const std::optional<std::uint32_t> length = shorter(x, problem);
      if (!length) return failed(std::move(layout), std::move(problem));
      layout.bristles.push_back(bristle(static_cast<float>(x), head, z, *length + pattern.next10(), 0));
    }
  }
  return layout;
}

}  // namespace

BristleHead bristleHeadOf(const DAEToolDescriptorWrapper& d) {
  return {d.left(), d.right(), d.top(), d.down(), d.headTop(), d.headLeft(), d.headCenter(), d.headRadius()};
}

BristleLayout layFlatBristles(const BristleHead& head) {
  const float baseLength = head.left.y - head.headTop.y;
  return layColumns(head, PatternGenerator(4, 4), [&](int, std::string& problem) -> std::optional<std::uint32_t> {
    const auto base = wholeLength(baseLength);
    if (!base) problem = lengthProblem(baseLength);
    return base ? std::optional(shortened(*base)) : std::nullopt;
  });
}

BristleLayout layFilbertBristles(const BristleHead& head) {
  const float h = head.left.y - head.headCenter.y;
  const float r2 = head.headRadius * head.headRadius;
  return layColumns(head, PatternGenerator(), [&](int x, std::string& problem) {
    const float d = static_cast<float>(x) - head.headCenter.x;
    const float q = r2 < d * d ? r2 : d * d;
    // b is a number: the head's values were checked near, so r2 - q is 0 or more.
    const float b = h + std::sqrt(r2 - q);
    const auto length = wholeLength(b - 10 > 0 ? b - 10 : 0);
    if (!length) problem = lengthProblem(b);
    return length;
  });
}

BristleLayout layFanBristles(const BristleHead& head) {
  BristleLayout layout;
  const auto slices = slicesOf(head, layout);
  if (!slices) return layout;
  const float r = head.headRadius;
  const float w = head.right.x - head.left.x;
  if (!(w >= 0 && w <= kLongestRange)) {
    return failed(std::move(layout), "the head's columns run from " + foundation::describe(head.left.x) + " to " +
                                         foundation::describe(head.right.x));
  }
  const float a0 = std::atan((head.headCenter.x - head.headLeft.x) / (head.headCenter.y - head.headLeft.y));
  if (std::isnan(a0)) return failed(std::move(layout), "the head's rim has no angle");
  const float step = (a0 * 2) / w;
  PatternGenerator pattern(2, 6);
  for (int i = 0; i < whole(w); ++i) {
    const float x = head.left.x + static_cast<float>(i);
    const float a = a0 - static_cast<float>(i) * step;
    const float px = head.headCenter.x - r * std::sin(a), py = head.headCenter.y - r * std::cos(a);
    const float dx = x - px, dy = head.left.y - py;
    const float distance = std::sqrt(dx * dx + dy * dy);
    const auto base = wholeLength(distance);
    const float angle = std::atan(dx / dy);
    if (!base) return failed(std::move(layout), lengthProblem(distance));
    // A column rooted on its own pivot has no direction to lean in and stays bare; its draws are
    // still made, so the columns after it keep the pattern they have in any other fan.
    const bool bare = std::isnan(angle);
    for (int z = slices->first; z <= slices->last; ++z) {
      if (pattern.next4() == 0 || pattern.next4() == 0) continue;
      const std::uint32_t length = shortened(*base) + pattern.next10();
      if (!bare) layout.bristles.push_back(bristle(x, head, z, length, angle));
    }
  }
  return layout;
}

}  // namespace tessivarium

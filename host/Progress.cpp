#include "Progress.h"

#include <algorithm>

namespace painthost {
namespace {

// Runs shorter than this show no bar at all.
constexpr std::chrono::milliseconds kMoment{500};
constexpr std::chrono::milliseconds kRedraw{100};
constexpr std::int64_t kBarWidth = 24;

}  // namespace

Progress::Progress(std::ostream& out, bool enabled, std::int64_t steps, std::int64_t samples)
    : out_(out), enabled_(enabled), steps_(steps), totalSamples_(samples) {}

std::string Progress::line(std::int64_t step, std::int64_t steps, std::int64_t samples, std::int64_t totalSamples,
                           const std::string& kind) {
  // Samples weigh most (strokes take the time); a script without strokes counts its steps.
  const double done = totalSamples > 0 ? static_cast<double>(samples) / static_cast<double>(totalSamples)
                                       : static_cast<double>(step) / static_cast<double>(std::max<std::int64_t>(steps, 1));
  const auto filled = std::clamp<std::int64_t>(static_cast<std::int64_t>(done * kBarWidth), 0, kBarWidth);
  std::string text = "[";  // appended to: GCC 12 warns falsely (-Wrestrict) of "[" + a temporary
  text.append(static_cast<std::size_t>(filled), '#').append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  return text + "] step " + std::to_string(step) + "/" + std::to_string(steps) + ", samples " + std::to_string(samples) +
         "/" + std::to_string(totalSamples) + ": " + kind;
}

void Progress::startStep(std::int64_t index, const std::string& kind) {
  step_ = index + 1;
  kind_ = kind;
  draw(false);
}

void Progress::addSamples(std::int64_t samples) {
  samples_ += samples;
  draw(false);
}

void Progress::draw(bool force) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && (now - start_ < kMoment || now - drawn_ < kRedraw)) return;
  drawn_ = now;
  const std::string text = line(step_, steps_, samples_, totalSamples_, kind_);
  out_ << '\r' << text << std::string(width_ > text.size() ? width_ - text.size() : 0, ' ') << std::flush;
  width_ = text.size();
}

void Progress::clear() {
  if (enabled_ && width_ > 0) out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}

void Progress::finish() {
  clear();
  enabled_ = false;
}

}  // namespace painthost

#pragma once
// The progress bar on standard error while a script plays: steps and samples done, and the kind
// of the current step. It shows only on a terminal, only once the run has lasted a moment, and is
// redrawn at most ten times a second; finish() clears it.

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace painthost {

class Progress {
 public:
  Progress(std::ostream& out, bool enabled, std::int64_t steps, std::int64_t samples);
  ~Progress() { finish(); }

  void startStep(std::int64_t index, const std::string& kind);
  void addSamples(std::int64_t samples);
  // Takes the bar off the line (so that another line can be written); the next update draws it again.
  void clear();
  // Clears the bar; nothing more is drawn.
  void finish();

  // The bar's text, e.g. "[#####     ] step 3/12, samples 40/120: stroke".
  static std::string line(std::int64_t step, std::int64_t steps, std::int64_t samples, std::int64_t totalSamples,
                          const std::string& kind);

 private:
  void draw(bool force);

  std::ostream& out_;
  bool enabled_;
  std::int64_t steps_, totalSamples_;
  std::int64_t step_ = 0, samples_ = 0;
  std::string kind_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now(), drawn_{};
  std::size_t width_ = 0;  // of the text last drawn, to clear it
};

}  // namespace painthost

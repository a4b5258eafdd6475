#pragma once
// A canvas that records its loads and clean-ups instead of building layers.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Surface.h"
#include "components/DrawingPaint.h"

namespace testsupport {

class FakeCanvas : public tessivarium::DrawingPaint {
 public:
  FakeCanvas(std::uint64_t paintId, std::int64_t width, std::int64_t height, double scale = 1.0,
             std::vector<std::string>* journal = nullptr)
      : DrawingPaint(paintId,
                     std::make_shared<tessivarium::Artwork>(
                         "fake", width, height,
                         tessivarium::Surface::FindSurface(tessivarium::SurfaceId::Flat),
                         tessivarium::PaintOrientation::landscape, scale)),
        journal_(journal) {}

  void loads() override {
    note("loads");
    ++loadCount;
    if (onLoads) onLoads();
  }
  void cleanResources() override {
    note("cleanResources");
    ++cleanCount;
  }

  int loadCount = 0;
  int cleanCount = 0;
  std::function<void()> onLoads;

 private:
  void note(const std::string& what) {
    if (journal_) journal_->push_back("canvas " + std::to_string(paintId()) + " " + what);
  }
  std::vector<std::string>* journal_;
};

}  // namespace testsupport

#pragma once
// A painting tool that records what the manager and the canvas ask of it.

#include <functional>
#include <string>
#include <vector>

#include "tools/DrawingTool.h"

namespace testsupport {

class FakeTool : public tessivarium::AbstractDrawingTool {
 public:
  explicit FakeTool(tessivarium::ToolType type, std::vector<std::string>* journal = nullptr)
      : AbstractDrawingTool(type), journal_(journal) {}

  void handleEnabled(bool force) override {
    note(std::string("enabled ") + (force ? "forced" : "unforced"));
    ++enabledCount;
    setEnabledOnCanvas(true);
  }
  void handleDisabled() override {
    note("disabled");
    ++disabledCount;
    AbstractDrawingTool::handleDisabled();
  }
  void dettachViewer() override {
    note("dettachViewer");
    ++detachCount;
  }
  void loads() override {
    note("loads");
    ++loadCount;
    if (onLoads) onLoads();
  }

  int enabledCount = 0;
  int disabledCount = 0;
  int detachCount = 0;
  int loadCount = 0;
  std::function<void()> onLoads;  // may throw, to fail the load

 private:
  void note(const std::string& what) {
    if (journal_) journal_->push_back(std::string(tessivarium::describe(toolType())) + " " + what);
  }
  std::vector<std::string>* journal_;
};

}  // namespace testsupport

#pragma once
// One batch of a recorded stroke: the samples a tool drew in one frame, in the order it received
// them, and the tool settings that applied to them. The tool-model tools write "rotation" (a
// float, the rotation of the tool's 3-D viewer), the drop tools "color" (a graphics::Color); a
// host may build batches with values of its own. A batch holds the very samples the tool drew
// and never changes after it is made.

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessivarium {

class TouchInput;

class CommandData {
 public:
  using ToolData = std::map<std::string, std::any>;

  CommandData(std::vector<std::shared_ptr<TouchInput>> touchInputs, std::optional<ToolData> toolData)
      : touchInputs_(std::move(touchInputs)), toolData_(std::move(toolData)) {}

  const std::vector<std::shared_ptr<TouchInput>>& touchInputs() const { return touchInputs_; }
  // None for a batch made without tool data.
  const std::optional<ToolData>& toolData() const { return toolData_; }

 private:
  std::vector<std::shared_ptr<TouchInput>> touchInputs_;
  std::optional<ToolData> toolData_;
};

}  // namespace tessivarium

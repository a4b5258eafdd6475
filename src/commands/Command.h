#pragma once
// A recorded stroke: the tool that painted it, when it began, and one batch of samples per drawn
// frame in drawing order. Each tool keeps its current one and hands it to the command manager at
// the end of a stroke; only the drop tools play one back. Main thread only.

#include <memory>
#include <vector>

#include "commands/CommandData.h"
#include "foundation/Clock.h"
#include "tools/ToolType.h"

namespace tessivarium {

class Command {
 public:
  // An empty record of a stroke of `toolType` begun at `date`.
  Command(ToolType toolType, foundation::Date date) : toolType_(toolType), date_(date) {}

  ToolType toolType() const { return toolType_; }
  // The batches, read, replaced or appended to in place (the tools add one per frame).
  const std::vector<std::shared_ptr<CommandData>>& data() const { return data_; }
  std::vector<std::shared_ptr<CommandData>>& data() { return data_; }
  void setData(std::vector<std::shared_ptr<CommandData>> data) { data_ = std::move(data); }
  const foundation::Date& date() const { return date_; }

 private:
  ToolType toolType_;
  std::vector<std::shared_ptr<CommandData>> data_;
  foundation::Date date_;
};

}  // namespace tessivarium

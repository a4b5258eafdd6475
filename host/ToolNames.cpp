#include "ToolNames.h"

#include <algorithm>

#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolFamilies.h"

namespace painthost {
namespace {

using tessivarium::AppManager;
using tessivarium::DrawingTool;

struct NamedTool {
  std::string name;
  std::shared_ptr<DrawingTool> (*make)();
};

// One row per tool field of the manager, by its getter's name.
const std::vector<NamedTool>& table() {
  static const std::vector<NamedTool> rows = {
#define TESS_NAMED_TOOL(Class, name, Name) \
  {#name, []() -> std::shared_ptr<DrawingTool> { return AppManager().name(); }},
      TESS_MANAGER_TOOL_FIELDS(TESS_NAMED_TOOL)
#undef TESS_NAMED_TOOL
  };
  return rows;
}

}  // namespace

const std::vector<std::string>& toolNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (const auto& row : table()) all.push_back(row.name);
    return all;
  }();
  return names;
}

bool isToolName(std::string_view name) {
  const auto& names = toolNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::shared_ptr<DrawingTool> toolNamed(std::string_view name) {
  for (const auto& row : table()) {
    if (row.name == name) return row.make();
  }
  return nullptr;
}

}  // namespace painthost

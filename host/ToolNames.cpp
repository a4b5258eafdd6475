#include "ToolNames.h"

#include <algorithm>
#include <iterator>
#include <numbers>

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

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

template <typename Has>
std::string namesOfToolsThat(Has has) {
  std::vector<std::string> names;
  for (const auto& name : toolNames()) {
    if (has(abilitiesOf(name))) names.push_back(name);
  }
  return joined(names);
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

std::string joinedToolNames() { return joined(toolNames()); }

ToolAbilities abilitiesOf(std::string_view name) {
  constexpr double kPi = std::numbers::pi;
  constexpr std::string_view kWideBrushes[] = {"smallWideBrush", "wideBrush", "bigWideBrush", "extraWideBrush"};
  if (!isToolName(name)) return {};
  // The thick-paint tools that carry a head of their own: the brushes and the knives. The knives'
  // blades turn a quarter turn either way, the bristle brushes all round; the wide brushes have no
  // dial. The paint passes of the wide and the round brushes take no drawing mode, so those lay
  // their paint wet whatever their wet-drawing flag says; the round brush holds its own ink and
  // takes no colour.
  constexpr DialRange kBlade{-kPi / 2, kPi / 2}, kAllRound{0, 2 * kPi};
  if (name.starts_with("knife")) return {.wetDrawing = true, .clean = true, .reset = true, .fill = true, .dial = kBlade};
  const bool wide = std::find(std::begin(kWideBrushes), std::end(kWideBrushes), name) != std::end(kWideBrushes);
  if (wide) return {.clean = true, .reset = true, .fill = true, .dial = std::nullopt};
  if (name == "roundBrush") return {.clean = true, .reset = true, .dial = kAllRound};
  if (name.ends_with("Brush")) return {.wetDrawing = true, .clean = true, .reset = true, .fill = true, .dial = kAllRound};
  if (name == "tube") return {.wetDrawing = true, .fill = true, .dial = std::nullopt};
  if (name == "sprayer") return {.fill = true, .dial = std::nullopt};
  if (name == "towel") return {.clean = true, .dial = std::nullopt};
  return {};
}

std::string toolsThat(bool ToolAbilities::*ability) {
  return namesOfToolsThat([ability](const ToolAbilities& a) { return a.*ability; });
}

std::string toolsWithTheDial() {
  return namesOfToolsThat([](const ToolAbilities& a) { return a.dial.has_value(); });
}

std::shared_ptr<DrawingTool> toolNamed(std::string_view name) {
  for (const auto& row : table()) {
    if (row.name == name) return row.make();
  }
  return nullptr;
}

}  // namespace painthost

#pragma once
// The painting tools a script can choose, by the application manager's names for them ("filbertBrush",
// "knife3", "sprayer"): the 26 tools of its registry and the three it keeps outside it, and what
// each offers a script: wet drawing, cleaning, resetting to its saved head, a colour and the dial's
// angle.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessivarium {
class DrawingTool;
}

namespace painthost {

// The angles the dial turns a tool through, in radians.
struct DialRange {
  double least = 0, most = 0;
};

// What a tool offers, as its flags and its controller say (checked against the engine's tools): a
// wet-drawing flag that no paint pass honours is not offered.
struct ToolAbilities {
  bool wetDrawing = false;  // canWetDrawing
  bool clean = false;       // canClean
  bool reset = false;       // canReset
  bool fill = false;        // canFillColor
  std::optional<DialRange> dial;
};

// The engine's default tool, current until a script chooses another.
inline constexpr const char* kStartingTool = "filbertBrush";

// Every name, in the manager's order.
const std::vector<std::string>& toolNames();
bool isToolName(std::string_view name);
// The names joined by ", ", for messages.
std::string joinedToolNames();

// The abilities of the tool of that name (none for a name that is not a tool's).
ToolAbilities abilitiesOf(std::string_view name);
// The names of the tools that have an ability, joined by ", ".
std::string toolsThat(bool ToolAbilities::*ability);
std::string toolsWithTheDial();

// The manager's tool of that name (made on first use); null for a name that is not a tool's.
std::shared_ptr<tessivarium::DrawingTool> toolNamed(std::string_view name);

}  // namespace painthost

#pragma once
// The painting tools a script can choose, by the application manager's names for them ("filbertBrush",
// "knife3", "sprayer"): the 26 tools of its registry and the three it keeps outside it.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessivarium {
class DrawingTool;
}

namespace painthost {

// Every name, in the manager's order.
const std::vector<std::string>& toolNames();
bool isToolName(std::string_view name);

// The manager's tool of that name (made on first use); null for a name that is not a tool's.
std::shared_ptr<tessivarium::DrawingTool> toolNamed(std::string_view name);

}  // namespace painthost

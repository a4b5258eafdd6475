#pragma once
// The check, before anything is painted, that every layer a script's steps name will be there: the
// steps are followed through the canvas's layer stack and its undo history as the engine keeps
// them. The history records a step only where the engine does (a hide or show that changes nothing,
// a stroke on a hidden layer and a selection are not recorded) and keeps every step it records
// until texture memory runs short; then it gives up its oldest steps, so that an undo may find
// nothing where the script meant a step to be taken back. The check counts the texture memory it
// can size (the layers and the whole-layer copies of the dry and wet steps; a stroke's or an
// import's copy it cannot), and where the history may have given way before an undo or redo
// reaches its step, it leaves the rest of the script to the run, which names a missing layer when
// it meets one.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Script.h"

namespace painthost {

// The texture memory the engine counts, in bytes, as the check may count on it.
struct HistoryMemory {
  // What the engine may still count before it reaches its limit, from the canvas as it starts.
  std::int64_t room = std::numeric_limits<std::int64_t>::max();
  std::int64_t layer = 0;          // one layer: its paint and its picture
  std::int64_t layerSnapshot = 0;  // the history's copy of a layer's whole paint (dry, wet)
};

// The layers a run starts with, back to front, by their hidden flags, and the current one.
struct StartingLayers {
  std::vector<bool> hidden{false};
  std::int64_t current = 0;
};

// Checks the layer positions of the steps, that no step deletes the only layer, and that the
// canvas never has more layers than a storage file holds. Throws BadInput naming the script
// (`name`) and the step. Returns a note naming the step from which texture memory decides what the
// history still holds, when there is one: the steps from there on are left to the run.
std::optional<std::string> checkLayerSteps(const Script& script, const StartingLayers& start, const HistoryMemory& memory,
                                           const std::string& name);

}  // namespace painthost

#pragma once
// Output files appear whole or not at all: each is written under a temporary name in its own
// folder and renamed over its final name once complete, so a failed or interrupted run never
// leaves a half-written picture or storage file.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace painthost {

// Calls `write` with a temporary path beside `target`, then renames it to `target`. A write that
// returns false, throws or leaves no file removes the temporary file and throws EngineFailure
// naming `target`.
void writeAtomically(const std::filesystem::path& target, const std::function<bool(const std::filesystem::path&)>& write);
void writeAtomically(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes);

}  // namespace painthost

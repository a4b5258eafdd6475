#include "gpu/CommandTrace.h"

namespace gpu {

void CommandTrace::start() {
  events_.clear();
  recording_ = true;
}

void CommandTrace::stop() { recording_ = false; }

void CommandTrace::clear() { events_.clear(); }

void CommandTrace::record(TraceEvent event) {
  if (recording_) events_.push_back(std::move(event));
}

std::vector<std::string> CommandTrace::kernelNames() const {
  std::vector<std::string> names;
  for (const DispatchRecord& d : dispatches()) names.push_back(d.kernelName);
  return names;
}

CommandTrace& commandTrace() {
  static CommandTrace trace;
  return trace;
}

}  // namespace gpu

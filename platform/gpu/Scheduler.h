#pragma once
// Runs committed command buffers one after the other, in commit order, never nested: a buffer
// committed while another one runs (from its work or its completion handlers) waits in line, and the
// outermost commit returns once the line is empty. Buffers committed together whose work is
// independent run their work side by side, then complete in order.

#include <deque>
#include <memory>
#include <vector>

namespace gpu {

class CommandBuffer;

class Scheduler {
 public:
  // Called by CommandBuffer::commit.
  void commit(std::shared_ptr<CommandBuffer> buffer);
  // Called by CommandBuffer::commitTogether for buffers it has checked.
  void commitTogether(const std::vector<std::shared_ptr<CommandBuffer>>& buffers);
  // Called by CommandBuffer::waitUntilCompleted for a committed buffer that has not run yet: runs the
  // line up to and including it. Fatal from inside a buffer's work (that buffer cannot complete first).
  void runUntilCompleted(const CommandBuffer& buffer);

 private:
  void drain(const CommandBuffer* until);
  void runOne(const std::shared_ptr<CommandBuffer>& buffer);

  std::deque<std::shared_ptr<CommandBuffer>> waiting_;
  bool running_ = false;
  bool inWork_ = false;
};

}  // namespace gpu

#pragma once
// A command buffer records work from its encoders and runs it when committed.
//
// Execution model: commit runs the buffer's work synchronously, in encoding order, then presents its
// drawables, marks it Completed and calls its completion handlers. Neighbouring dispatches that are
// independent of each other (Dispatch::independentOf) run side by side on the worker threads, each
// after the earlier ones it depends on. A buffer committed while another buffer's work or handlers
// run (a handler or a host-work item that commits) is queued and runs, with its handlers, right
// after; the outermost commit returns when everything queued has run, so handlers never nest. An
// uncommitted buffer does nothing. waitUntilCompleted returns at once after commit.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gpu/Types.h"

namespace gpu {

class BlitCommandEncoder;
class CommandQueue;
class ComputeCommandEncoder;
class Device;
class Dispatch;
class Drawable;
class GaussianBlur;
class Scheduler;

class CommandBuffer : public std::enable_shared_from_this<CommandBuffer> {
 public:
  using CompletedHandler = std::function<void(CommandBuffer& buffer)>;

  // Made by CommandQueue::makeCommandBuffer.
  explicit CommandBuffer(std::shared_ptr<CommandQueue> queue);
  ~CommandBuffer();

  CommandBuffer(const CommandBuffer&) = delete;
  CommandBuffer& operator=(const CommandBuffer&) = delete;

  // Opens an encoder. Only one encoder is open at a time, and none after commit (fatal otherwise).
  std::shared_ptr<ComputeCommandEncoder> makeComputeCommandEncoder();
  std::shared_ptr<BlitCommandEncoder> makeBlitCommandEncoder();

  // Adds a work item of another kit (the imaging kit's render into a texture, for instance). It runs
  // at commit in order with the buffer's other work and shows in the trace under `label`. No encoder
  // may be open.
  void encodeHostWork(std::string label, std::function<void()> work);

  // Presents `drawable` once the buffer's work has run.
  void present(std::shared_ptr<Drawable> drawable);

  // Runs after the work; added before commit only.
  void addCompletedHandler(CompletedHandler handler);

  void commit();
  // Commits the buffers, in their order, as buffers none of whose work writes what another one's
  // reads or writes: their work runs at once, side by side on the worker threads (each buffer's
  // items in order); then, buffer after buffer, each presents its drawables, completes and runs its
  // handlers. A buffer a handler commits runs after all of them. Committed while other buffers wait
  // or run (from a handler or a host-work item), or with one worker thread, they run one after the
  // other as commit runs them. Each must be committable (as commit checks), and all on one device;
  // their work may not commit (a fatal stop).
  static void commitTogether(const std::vector<std::shared_ptr<CommandBuffer>>& buffers);
  void waitUntilCompleted();
  CommandBufferStatus status() const { return status_; }

  const std::shared_ptr<CommandQueue>& commandQueue() const { return queue_; }
  const std::shared_ptr<Device>& device() const;

 private:
  friend class BlitCommandEncoder;
  friend class ComputeCommandEncoder;
  friend class GaussianBlur;
  friend class Scheduler;

  // A work item: a dispatch, or other work.
  struct WorkItem {
    std::shared_ptr<const Dispatch> dispatch;
    std::function<void()> work;
    void run() const;
  };

  // For the kit's encoders and shader objects: appends a work item (no trace record) and tracks the
  // encoder that is open.
  void appendWork(std::function<void()> work);
  void appendDispatch(std::shared_ptr<const Dispatch> dispatch);
  void encoderOpened(const void* encoder);
  void encoderEnded(const void* encoder);
  // Fatal unless new work may be encoded now (not committed, no encoder open); `what` names the call.
  void checkCanEncode(const char* what) const;

  // The checks and the trace record of a commit.
  void checkCommit();
  // For the scheduler: runs the work and presents; then the handlers.
  void runWork();
  void runWorkItems();
  // Runs work[first, end): one item, or dispatches that all say what they write, side by side where
  // they are independent.
  static void runDispatches(std::vector<WorkItem>& work, std::size_t first, std::size_t end);
  void presentDrawables();
  void runCompletedHandlers();

  std::shared_ptr<CommandQueue> queue_;
  std::vector<WorkItem> work_;
  std::vector<std::shared_ptr<Drawable>> drawables_;
  std::vector<CompletedHandler> handlers_;
  const void* openEncoder_ = nullptr;
  CommandBufferStatus status_ = CommandBufferStatus::NotEnqueued;
};

}  // namespace gpu

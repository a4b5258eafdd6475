#include "gpu/CommandBuffer.h"

#include <algorithm>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandQueue.h"
#include "gpu/CommandTrace.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "gpu/Dispatch.h"
#include "gpu/Drawable.h"
#include "gpu/Parallel.h"

namespace gpu {

CommandBuffer::CommandBuffer(std::shared_ptr<CommandQueue> queue) : queue_(std::move(queue)) {}

CommandBuffer::~CommandBuffer() = default;

const std::shared_ptr<Device>& CommandBuffer::device() const { return queue_->device(); }

void CommandBuffer::checkCanEncode(const char* what) const {
  if (status_ != CommandBufferStatus::NotEnqueued)
    foundation::fatalError(std::string(what) + ": the command buffer is already committed");
  if (openEncoder_ != nullptr)
    foundation::fatalError(std::string(what) + ": an encoder of the command buffer is still open");
}

std::shared_ptr<ComputeCommandEncoder> CommandBuffer::makeComputeCommandEncoder() {
  checkCanEncode("makeComputeCommandEncoder");
  auto encoder = std::make_shared<ComputeCommandEncoder>(shared_from_this());
  encoderOpened(encoder.get());
  if (commandTrace().isRecording()) commandTrace().record(EncoderRecord{this, EncoderKind::Compute, true});
  return encoder;
}

std::shared_ptr<BlitCommandEncoder> CommandBuffer::makeBlitCommandEncoder() {
  checkCanEncode("makeBlitCommandEncoder");
  auto encoder = std::make_shared<BlitCommandEncoder>(shared_from_this());
  encoderOpened(encoder.get());
  if (commandTrace().isRecording()) commandTrace().record(EncoderRecord{this, EncoderKind::Blit, true});
  return encoder;
}

void CommandBuffer::encodeHostWork(std::string label, std::function<void()> work) {
  checkCanEncode("encodeHostWork");
  if (!work) foundation::fatalError("encodeHostWork: \"" + label + "\" has no work");
  if (commandTrace().isRecording()) commandTrace().record(HostWorkRecord{this, label});
  appendWork(std::move(work));
}

void CommandBuffer::present(std::shared_ptr<Drawable> drawable) {
  if (!drawable) foundation::fatalError("present: no drawable");
  if (status_ != CommandBufferStatus::NotEnqueued)
    foundation::fatalError("present: the command buffer is already committed");
  if (commandTrace().isRecording()) commandTrace().record(PresentRecord{this, drawable});
  drawables_.push_back(std::move(drawable));
}

void CommandBuffer::addCompletedHandler(CompletedHandler handler) {
  if (!handler) foundation::fatalError("addCompletedHandler: no handler");
  if (status_ != CommandBufferStatus::NotEnqueued)
    foundation::fatalError("addCompletedHandler: the command buffer is already committed");
  handlers_.push_back(std::move(handler));
}

void CommandBuffer::checkCommit() {
  if (status_ != CommandBufferStatus::NotEnqueued)
    foundation::fatalError("commit: the command buffer is already committed");
  if (openEncoder_ != nullptr) foundation::fatalError("commit: an encoder of the command buffer is still open");
  if (commandTrace().isRecording()) commandTrace().record(CommitRecord{this});
}

void CommandBuffer::commit() {
  checkCommit();
  device()->scheduler().commit(shared_from_this());
}

void CommandBuffer::commitTogether(const std::vector<std::shared_ptr<CommandBuffer>>& buffers) {
  if (buffers.empty()) return;
  for (const auto& buffer : buffers) {
    if (!buffer) foundation::fatalError("commitTogether: no command buffer");
    if (buffer->device() != buffers.front()->device())
      foundation::fatalError("commitTogether: the command buffers are on different devices");
  }
  for (const auto& buffer : buffers) buffer->checkCommit();
  buffers.front()->device()->scheduler().commitTogether(buffers);
}

void CommandBuffer::waitUntilCompleted() {
  if (commandTrace().isRecording()) commandTrace().record(WaitRecord{this});
  switch (status_) {
    case CommandBufferStatus::Completed:
      return;
    case CommandBufferStatus::Committed:
      device()->scheduler().runUntilCompleted(*this);
      return;
    case CommandBufferStatus::Scheduled:
      foundation::fatalError("waitUntilCompleted: called from the command buffer's own work");
    case CommandBufferStatus::Error:
      foundation::fatalError("waitUntilCompleted: the command buffer's work stopped with an error");
    case CommandBufferStatus::NotEnqueued:
    case CommandBufferStatus::Enqueued:
      break;
  }
  foundation::fatalError("waitUntilCompleted: the command buffer is not committed");
}

void CommandBuffer::appendWork(std::function<void()> work) { work_.push_back({nullptr, std::move(work)}); }

void CommandBuffer::appendDispatch(std::shared_ptr<const Dispatch> dispatch) {
  work_.push_back({std::move(dispatch), nullptr});
}

void CommandBuffer::WorkItem::run() const {
  if (dispatch) {
    dispatch->pipeline().kernel()(*dispatch);
  } else {
    work();
  }
}

void CommandBuffer::encoderOpened(const void* encoder) { openEncoder_ = encoder; }

void CommandBuffer::encoderEnded(const void* encoder) {
  if (openEncoder_ == encoder) openEncoder_ = nullptr;
}

void CommandBuffer::runWork() {
  runWorkItems();
  presentDrawables();
}

void CommandBuffer::runWorkItems() {
  std::vector<WorkItem> work = std::move(work_);
  work_.clear();
  const auto declared = [&](std::size_t i) {
    return i < work.size() && work[i].dispatch && work[i].dispatch->pipeline().writtenSlots();
  };
  for (std::size_t i = 0; i < work.size();) {
    std::size_t end = i + 1;
    while (declared(i) && declared(end)) ++end;
    runDispatches(work, i, end);
    i = end;
  }
  work.clear();  // releases the resources the work held before the handlers run
}

void CommandBuffer::runDispatches(std::vector<WorkItem>& work, std::size_t first, std::size_t end) {
  if (end - first == 1) {
    work[first].run();
    return;
  }
  // Strands of dispatches, each of which depends on the one before it alone (a pass's repeat, a pass
  // over what the one before wrote), run in order on one thread. A strand waits for the strands of
  // what its first dispatch depends on: its wave is one after theirs. A wave's strands run at once.
  struct Strand {
    std::vector<std::size_t> items;
    std::size_t wave = 0;
  };
  std::vector<Strand> strands;
  std::vector<std::size_t> strandOf(end - first);
  std::vector<std::size_t> dependencies;
  std::size_t waves = 1;
  for (std::size_t j = first; j < end; ++j) {
    dependencies.clear();
    for (std::size_t i = first; i < j; ++i) {
      if (!work[j].dispatch->independentOf(*work[i].dispatch)) dependencies.push_back(i);
    }
    if (dependencies.size() == 1) {
      Strand& before = strands[strandOf[dependencies[0] - first]];
      if (before.items.back() == dependencies[0]) {
        before.items.push_back(j);
        strandOf[j - first] = strandOf[dependencies[0] - first];
        continue;
      }
    }
    Strand strand{{j}, 0};
    for (const std::size_t i : dependencies) {
      strand.wave = std::max(strand.wave, strands[strandOf[i - first]].wave + 1);
    }
    waves = std::max(waves, strand.wave + 1);
    strandOf[j - first] = strands.size();
    strands.push_back(std::move(strand));
  }
  std::vector<const Strand*> wave;
  for (std::size_t w = 0; w < waves; ++w) {
    wave.clear();
    for (const Strand& strand : strands) {
      if (strand.wave == w) wave.push_back(&strand);
    }
    parallelFor(0, wave.size(), 1, [&](std::size_t a, std::size_t b) {
      for (std::size_t k = a; k < b; ++k) {
        for (const std::size_t item : wave[k]->items) work[item].run();
      }
    });
  }
}

void CommandBuffer::presentDrawables() {
  std::vector<std::shared_ptr<Drawable>> drawables = std::move(drawables_);
  drawables_.clear();
  for (auto& drawable : drawables) drawable->present();
}

void CommandBuffer::runCompletedHandlers() {
  std::vector<CompletedHandler> handlers = std::move(handlers_);
  handlers_.clear();
  for (auto& handler : handlers) handler(*this);
}

}  // namespace gpu

#pragma once
// The command trace, for tests: while recording, every encoder opened and ended, dispatch, blit, blur
// copy, host-work item, present, commit, wait and pipeline build is appended as it is encoded or
// called, in program order. When not recording nothing is kept and nothing is copied.
//
//   gpu::commandTrace().start();
//   ... encode and commit ...
//   auto dispatches = gpu::commandTrace().dispatches();
//   EXPECT_EQ(dispatches[0].kernelName, "texture_copy");
//   EXPECT_EQ(dispatches[0].textures.at(3), target);

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "gpu/Types.h"

namespace gpu {

class Buffer;
class CommandBuffer;
class Drawable;
class Texture;

enum class EncoderKind { Compute, Blit };

struct EncoderRecord {
  const CommandBuffer* commandBuffer = nullptr;
  EncoderKind kind = EncoderKind::Compute;
  bool begin = true;  // false: the encoder ended
};

struct BoundBufferRecord {
  std::shared_ptr<Buffer> buffer;
  std::size_t offset = 0;
  std::vector<std::uint8_t> bytes;  // the buffer's bytes from the offset on, as they were at dispatch
};

struct DispatchRecord {
  const CommandBuffer* commandBuffer = nullptr;
  std::string kernelName;
  std::map<std::int64_t, std::shared_ptr<Texture>> textures;  // bound indices only
  std::map<std::int64_t, BoundBufferRecord> buffers;          // bound indices only
  Size threadgroupsPerGrid;
  Size threadsPerThreadgroup;
};

enum class BlitKind { TextureToTexture, TextureToBuffer, BufferToTexture, GenerateMipmaps };

// The requested copy, before clipping. Unused fields stay empty or 0.
struct BlitRecord {
  const CommandBuffer* commandBuffer = nullptr;
  BlitKind kind = BlitKind::TextureToTexture;
  std::shared_ptr<Texture> sourceTexture{};
  std::shared_ptr<Buffer> sourceBuffer{};
  std::size_t sourceSlice = 0, sourceLevel = 0;
  Origin sourceOrigin{};
  Size size{};
  std::shared_ptr<Texture> destinationTexture{};
  std::shared_ptr<Buffer> destinationBuffer{};
  std::size_t destinationSlice = 0, destinationLevel = 0;
  Origin destinationOrigin{};
  std::size_t bufferOffset = 0, bytesPerRow = 0, bytesPerImage = 0;
};

struct BlurRecord {
  const CommandBuffer* commandBuffer = nullptr;
  std::shared_ptr<Texture> source, destination;
  float sigma = 0;
};

struct HostWorkRecord {
  const CommandBuffer* commandBuffer = nullptr;
  std::string label;
};

struct PresentRecord {
  const CommandBuffer* commandBuffer = nullptr;
  std::shared_ptr<Drawable> drawable;
};

struct CommitRecord {
  const CommandBuffer* commandBuffer = nullptr;
};

struct WaitRecord {
  const CommandBuffer* commandBuffer = nullptr;
};

struct PipelineRecord {
  std::string functionName;
};

using TraceEvent = std::variant<EncoderRecord, DispatchRecord, BlitRecord, BlurRecord, HostWorkRecord,
                                PresentRecord, CommitRecord, WaitRecord, PipelineRecord>;

class CommandTrace {
 public:
  // Clears the trace and starts recording.
  void start();
  // Stops recording; what was recorded stays.
  void stop();
  void clear();
  bool isRecording() const { return recording_; }

  // Appends an event when recording (the kit's own use).
  void record(TraceEvent event);

  const std::vector<TraceEvent>& events() const { return events_; }
  std::vector<DispatchRecord> dispatches() const { return only<DispatchRecord>(); }
  std::vector<BlitRecord> blits() const { return only<BlitRecord>(); }
  std::vector<BlurRecord> blurs() const { return only<BlurRecord>(); }
  std::vector<HostWorkRecord> hostWork() const { return only<HostWorkRecord>(); }
  std::vector<PresentRecord> presents() const { return only<PresentRecord>(); }
  std::vector<CommitRecord> commits() const { return only<CommitRecord>(); }
  std::vector<WaitRecord> waits() const { return only<WaitRecord>(); }
  std::vector<PipelineRecord> pipelineBuilds() const { return only<PipelineRecord>(); }
  // The kernel names of the dispatches, in order.
  std::vector<std::string> kernelNames() const;

 private:
  template <class Record>
  std::vector<Record> only() const {
    std::vector<Record> out;
    for (const TraceEvent& e : events_)
      if (const Record* r = std::get_if<Record>(&e)) out.push_back(*r);
    return out;
  }

  bool recording_ = false;
  std::vector<TraceEvent> events_;
};

// The one trace of the process.
CommandTrace& commandTrace();

}  // namespace gpu

#include "StorageFile.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <istream>
#include <new>
#include <system_error>

#include "HostErrors.h"

namespace painthost {
namespace {

constexpr std::array<char, 8> kMagic = {'T', 'S', 'V', 'P', 'A', 'I', 'N', 'T'};
constexpr std::size_t kHeaderBytes = 36;
constexpr std::size_t kChecksumAt = 28;
// Width, height, scale, current layer and layer count, before the first layer.
constexpr std::size_t kCanvasBytes = 36;
// A layer's hidden flag, width, height and depth, before its arrays.
constexpr std::size_t kLayerHeadBytes = 25;
constexpr int kCompressionLevel = 3;
constexpr std::uint64_t kChecksumStart = 0xcbf29ce484222325ull;
// The file is read through this many bytes at a time.
constexpr std::size_t kChunkBytes = std::size_t{1} << 17;

std::uint64_t fnv1a(std::uint64_t hash, const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

// Little-endian numbers put into a buffer.
class Fields {
 public:
  void u8(std::uint8_t v) { bytes_.push_back(v); }
  void u32(std::uint32_t v) { little(v, 4); }
  void u64(std::uint64_t v) { little(v, 8); }
  void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
  void f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void little(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  std::vector<std::uint8_t> bytes_;
};

// Little-endian numbers taken from a buffer the caller has sized.
class FieldReader {
 public:
  explicit FieldReader(const std::uint8_t* at) : at_(at) {}
  std::uint8_t u8() { return *at_++; }
  std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
  std::uint64_t u64() { return little(8); }
  std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
  double f64() { return std::bit_cast<double>(u64()); }

 private:
  std::uint64_t little(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{at_[i]} << (8 * i);
    at_ += n;
    return v;
  }
  const std::uint8_t* at_;
};

std::string sizesText(std::int64_t w, std::int64_t h, std::int64_t d) {
  return std::to_string(w) + " x " + std::to_string(h) + " x " + std::to_string(d);
}

[[noreturn]] void damaged(const std::string& name, const std::string& reason) {
  throw BadInput(name + ": damaged storage file: " + reason);
}

// What zstd reports: out of memory as such, anything else with its reason.
std::size_t checked(std::size_t code, const std::function<void(const std::string&)>& fail) {
  if (!ZSTD_isError(code)) return code;
  if (ZSTD_getErrorCode(code) == ZSTD_error_memory_allocation) throw std::bad_alloc();
  fail(ZSTD_getErrorName(code));
  return code;
}

}  // namespace

// The records compressed as they are given, each chunk of the frame written as it is made.
class StorageWriter::Compressor {
 public:
  Compressor(std::ostream& out, std::uint64_t rawSize) : out_(out), buffer_(ZSTD_CStreamOutSize()) {
    if (!context_) throw std::bad_alloc();
    // One thread, whatever the painter's thread count, so that the file's bytes do not depend on
    // it; the pledged size puts the records' size into the frame, as the reader checks it.
    check(ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_compressionLevel, kCompressionLevel));
    check(ZSTD_CCtx_setPledgedSrcSize(context_.get(), rawSize));
  }
  void add(const std::uint8_t* bytes, std::size_t size) {
    ZSTD_inBuffer in{bytes, size, 0};
    while (in.pos < in.size) step(in, ZSTD_e_continue);
  }
  void end() {
    ZSTD_inBuffer in{nullptr, 0, 0};
    while (step(in, ZSTD_e_end) != 0) {
    }
  }
  std::uint64_t written() const { return written_; }

 private:
  std::size_t step(ZSTD_inBuffer& in, ZSTD_EndDirective mode) {
    ZSTD_outBuffer out{buffer_.data(), buffer_.size(), 0};
    const std::size_t left = check(ZSTD_compressStream2(context_.get(), &out, &in, mode));
    out_.write(reinterpret_cast<const char*>(buffer_.data()), static_cast<std::streamsize>(out.pos));
    written_ += out.pos;
    return left;
  }
  static std::size_t check(std::size_t code) {
    return checked(code, [](const std::string& reason) { throw EngineFailure("storage file: compression failed: " + reason); });
  }

  std::ostream& out_;
  std::unique_ptr<ZSTD_CCtx, std::size_t (*)(ZSTD_CCtx*)> context_{ZSTD_createCCtx(), ZSTD_freeCCtx};
  std::vector<std::uint8_t> buffer_;
  std::uint64_t written_ = 0;
};

StorageWriter::StorageWriter(std::iostream& file, const StoredCanvas& canvas, std::uint32_t layers, std::int64_t cellsWide,
                             std::int64_t cellsHigh)
    : file_(file),
      layers_(layers),
      cellsWide_(cellsWide),
      cellsHigh_(cellsHigh),
      rawSize_(kCanvasBytes + std::uint64_t{layers} * (kLayerHeadBytes + 3 * 4 * static_cast<std::uint64_t>(cellsWide) *
                                                                               static_cast<std::uint64_t>(cellsHigh))) {
  // The header is filled in once the frame's size and checksum are known.
  const std::array<char, kHeaderBytes> blank{};
  file_.write(blank.data(), blank.size());
  compressor_ = std::make_unique<Compressor>(file_, rawSize_);
  Fields fields;
  fields.i64(canvas.width);
  fields.i64(canvas.height);
  fields.f64(canvas.scale);
  fields.i64(canvas.currentLayer);
  fields.u32(layers);
  compressor_->add(fields.bytes().data(), fields.bytes().size());
}

StorageWriter::~StorageWriter() = default;

void StorageWriter::add(bool hidden, const tessivarium::ArtworkRawData& record) {
  if (added_ == layers_) throw EngineFailure("storage file: more layers than the " + std::to_string(layers_) + " it was begun for");
  if (record.width() != cellsWide_ || record.height() != cellsHigh_ || record.depth() != 1) {
    throw EngineFailure("storage file: layer " + std::to_string(added_) + " holds " +
                        sizesText(record.width(), record.height(), record.depth()) + " cells, not " +
                        sizesText(cellsWide_, cellsHigh_, 1));
  }
  Fields fields;
  fields.u8(hidden ? 1 : 0);
  fields.i64(record.width());
  fields.i64(record.height());
  fields.i64(record.depth());
  compressor_->add(fields.bytes().data(), fields.bytes().size());
  for (const auto* array : {&record.grid(), &record.wet(), &record.dry()}) compressor_->add(array->data(), array->size());
  ++added_;
}

std::uint64_t StorageWriter::finish() {
  if (added_ != layers_) {
    throw EngineFailure("storage file: " + std::to_string(added_) + " of its " + std::to_string(layers_) + " layers written");
  }
  compressor_->end();
  const std::uint64_t compressedSize = compressor_->written();

  Fields header;
  for (const char c : kMagic) header.u8(static_cast<std::uint8_t>(c));
  header.u32(kStorageVersion);
  header.u64(rawSize_);
  header.u64(compressedSize);
  // The checksum covers the frame after the header's sizes: the frame is read back.
  std::uint64_t checksum = fnv1a(kChecksumStart, header.bytes().data(), kChecksumAt);
  file_.flush();
  file_.seekg(static_cast<std::streamoff>(kHeaderBytes));
  std::vector<std::uint8_t> chunk(kChunkBytes);
  for (std::uint64_t left = compressedSize; left > 0 && file_;) {
    file_.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size())));
    const auto got = static_cast<std::size_t>(file_.gcount());
    checksum = fnv1a(checksum, chunk.data(), got);
    left -= got;
  }
  header.u64(checksum);
  file_.seekp(0);
  file_.write(reinterpret_cast<const char*>(header.bytes().data()), static_cast<std::streamsize>(header.bytes().size()));
  file_.flush();
  return kHeaderBytes + compressedSize;
}

// The frame of a storage file being loaded, read from the file a chunk at a time and decompressed
// into the caller's arrays.
class StorageReader::Decompressor {
 public:
  Decompressor(std::istream& file, std::uint64_t compressedSize, const std::string& name)
      : file_(file), left_(compressedSize), name_(name), chunk_(kChunkBytes) {
    if (!context_) throw std::bad_alloc();
    refill();
  }

  // The size the frame gives for what it holds, from its first bytes.
  unsigned long long contentSize() const { return ZSTD_getFrameContentSize(chunk_.data(), input_.size); }

  // Fills `size` bytes at `to`, or refuses the file when the frame ends first.
  void read(std::uint8_t* to, std::size_t size) {
    ZSTD_outBuffer out{to, size, 0};
    while (out.pos < out.size) {
      if (ended_ || !step(out)) damaged(name_, "its records end early");
    }
  }

  // Checks that the frame ends here and that nothing follows it.
  void finish() {
    std::uint8_t extra = 0;
    ZSTD_outBuffer out{&extra, 1, 0};
    while (!ended_) {
      if (!step(out)) damaged(name_, "its compressed records end before their frame does");
      if (out.pos != 0) damaged(name_, "bytes after its last layer");
    }
    if (input_.pos < input_.size || left_ > 0) damaged(name_, "its compressed records hold more than one zstd frame");
  }

 private:
  // One call of the decompressor, with more of the file when its input is used up; false when it
  // could make no progress.
  bool step(ZSTD_outBuffer& out) {
    if (input_.pos == input_.size) refill();
    const std::size_t before = out.pos, used = input_.pos;
    const std::size_t hint = checked(ZSTD_decompressStream(context_.get(), &out, &input_),
                                     [&](const std::string& reason) { damaged(name_, "its records do not decompress: " + reason); });
    ended_ = hint == 0;
    return ended_ || out.pos != before || input_.pos != used;
  }
  void refill() {
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(left_, chunk_.size()));
    file_.read(reinterpret_cast<char*>(chunk_.data()), static_cast<std::streamsize>(size));
    const auto got = static_cast<std::size_t>(file_.gcount());
    if (got != size) throw BadInput(name_ + ": cannot be read");
    left_ -= got;
    input_ = ZSTD_inBuffer{chunk_.data(), got, 0};
  }

  std::istream& file_;
  std::uint64_t left_;  // compressed bytes not yet read from the file
  const std::string& name_;
  std::vector<std::uint8_t> chunk_;
  ZSTD_inBuffer input_{nullptr, 0, 0};
  std::unique_ptr<ZSTD_DCtx, std::size_t (*)(ZSTD_DCtx*)> context_{ZSTD_createDCtx(), ZSTD_freeDCtx};
  bool ended_ = false;
};

StorageReader::StorageReader(const std::filesystem::path& path) : name_(path.string()) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw BadInput(name_ + ": no such storage file");
  const std::uint64_t size = std::filesystem::file_size(path, error);
  file_.open(path, std::ios::binary);
  if (!file_ || error) throw BadInput(name_ + ": cannot be read");

  std::array<std::uint8_t, kHeaderBytes> header{};
  file_.read(reinterpret_cast<char*>(header.data()), header.size());
  const auto got = static_cast<std::size_t>(file_.gcount());
  if (got < kMagic.size() || std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0) {
    throw BadInput(name_ + ": not a storage file of tessivarium-paint");
  }
  if (got < kHeaderBytes) throw BadInput(name_ + ": truncated storage file: its header is incomplete");
  FieldReader fields(header.data() + kMagic.size());
  const std::uint32_t version = fields.u32();
  if (version != kStorageVersion) {
    throw BadInput(name_ + ": storage file of format version " + std::to_string(version) + "; this program reads version " +
                   std::to_string(kStorageVersion));
  }
  const std::uint64_t rawSize = fields.u64(), compressedSize = fields.u64(), checksum = fields.u64();
  // Compared without adding to the header's claim, which may be near 2^64.
  const std::uint64_t following = size - kHeaderBytes;
  if (following < compressedSize) {
    throw BadInput(name_ + ": truncated storage file: " + std::to_string(following) +
                   " bytes of compressed records follow its header, which gives " + std::to_string(compressedSize));
  }
  if (following > compressedSize) damaged(name_, "bytes after its records");

  std::uint64_t hash = fnv1a(kChecksumStart, header.data(), kChecksumAt);
  std::vector<std::uint8_t> chunk(kChunkBytes);
  for (std::uint64_t left = compressedSize; left > 0;) {
    file_.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(std::min<std::uint64_t>(left, chunk.size())));
    const auto read = static_cast<std::size_t>(file_.gcount());
    if (read == 0) throw BadInput(name_ + ": cannot be read");
    hash = fnv1a(hash, chunk.data(), read);
    left -= read;
  }
  if (hash != checksum) damaged(name_, "its checksum does not match");

  file_.seekg(static_cast<std::streamoff>(kHeaderBytes));
  records_ = std::make_unique<Decompressor>(file_, compressedSize, name_);
  // The frame's own size is compared before anything is decompressed, so that a header claiming
  // gigabytes over a small frame costs nothing. The writer always gives the frame its size: a frame
  // without one is refused, even where the header claims the size that stands for "unknown".
  const unsigned long long frameSize = records_->contentSize();
  if (frameSize == ZSTD_CONTENTSIZE_UNKNOWN) {
    damaged(name_, "its compressed frame does not give the size of its records");
  }
  if (frameSize != rawSize) {
    damaged(name_, "its header gives " + std::to_string(rawSize) + " bytes of records, its compressed frame another size");
  }
  std::array<std::uint8_t, kCanvasBytes> stored{};
  records_->read(stored.data(), stored.size());
  FieldReader in(stored.data());
  canvas_.width = in.i64();
  canvas_.height = in.i64();
  canvas_.scale = in.f64();
  canvas_.currentLayer = in.i64();
  layers_ = in.u32();
  if (layers_ == 0 || layers_ > kMostLayers) damaged(name_, std::to_string(layers_) + " layers");
  if (canvas_.currentLayer < 0 || canvas_.currentLayer >= static_cast<std::int64_t>(layers_)) {
    damaged(name_, "its current layer " + std::to_string(canvas_.currentLayer) + " is not one of its layers");
  }
}

StorageReader::~StorageReader() = default;

StoredPainting StorageReader::read(std::int64_t cellsWide, std::int64_t cellsHigh) {
  StoredPainting painting;
  static_cast<StoredCanvas&>(painting) = canvas_;
  painting.records.reserve(layers_);
  const std::size_t arrayBytes = static_cast<std::size_t>(cellsWide) * static_cast<std::size_t>(cellsHigh) * 4;
  for (std::uint32_t i = 0; i < layers_; ++i) {
    std::array<std::uint8_t, kLayerHeadBytes> head{};
    records_->read(head.data(), head.size());
    FieldReader in(head.data());
    const std::uint8_t hidden = in.u8();
    const std::string layer = "layer " + std::to_string(i);
    if (hidden > 1) damaged(name_, layer + " has the hidden flag " + std::to_string(hidden) + ", not 0 or 1");
    const std::int64_t w = in.i64(), h = in.i64(), d = in.i64();
    if (w != cellsWide || h != cellsHigh || d != 1) {
      damaged(name_, layer + " holds " + sizesText(w, h, d) + " cells, not the " + sizesText(cellsWide, cellsHigh, 1) +
                         " of the canvas's layers");
    }
    std::vector<std::uint8_t> grid(arrayBytes), wet(arrayBytes), dry(arrayBytes);
    for (auto* array : {&grid, &wet, &dry}) records_->read(array->data(), array->size());
    painting.hidden.push_back(hidden == 1);
    painting.records.emplace_back(w, h, d, std::move(grid), std::move(wet), std::move(dry));
  }
  records_->finish();
  return painting;
}

std::uint64_t storageChecksum(const std::vector<std::uint8_t>& file) {
  const std::uint64_t header = fnv1a(kChecksumStart, file.data(), kChecksumAt);
  return fnv1a(header, file.data() + kHeaderBytes, file.size() - kHeaderBytes);
}

}  // namespace painthost

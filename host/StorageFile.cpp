#include "StorageFile.h"

#include <zstd.h>

#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "HostErrors.h"

namespace painthost {
namespace {

constexpr std::array<char, 8> kMagic = {'T', 'S', 'V', 'P', 'A', 'I', 'N', 'T'};
constexpr std::size_t kHeaderBytes = 36;
constexpr std::size_t kChecksumAt = 28;
// Larger records than any canvas the painter makes are refused before anything is allocated.
constexpr std::uint64_t kLargestRecords = std::uint64_t{1} << 33;
constexpr int kCompressionLevel = 3;

std::uint64_t fnv1a(std::uint64_t hash, const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

class Writer {
 public:
  void bytes(const std::vector<std::uint8_t>& b) { out_.insert(out_.end(), b.begin(), b.end()); }
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u32(std::uint32_t v) { little(v, 4); }
  void u64(std::uint64_t v) { little(v, 8); }
  void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
  void f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }
  std::vector<std::uint8_t>& out() { return out_; }

 private:
  void little(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  std::vector<std::uint8_t> out_;
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size, const std::string& name) : data_(data), size_(size), name_(name) {}
  std::uint8_t u8() { return take(1)[0]; }
  std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
  std::uint64_t u64() { return little(8); }
  std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
  double f64() { return std::bit_cast<double>(u64()); }
  std::vector<std::uint8_t> bytes(std::uint64_t n) {
    const std::uint8_t* at = take(n);
    return std::vector<std::uint8_t>(at, at + n);
  }
  std::size_t left() const { return size_ - at_; }
  [[noreturn]] void refuse(const std::string& reason) const { throw BadInput(name_ + ": damaged storage file: " + reason); }

 private:
  const std::uint8_t* take(std::uint64_t n) {
    if (n > left()) refuse("its records end early");
    const std::uint8_t* at = data_ + at_;
    at_ += static_cast<std::size_t>(n);
    return at;
  }
  std::uint64_t little(int n) {
    const std::uint8_t* at = take(static_cast<std::uint64_t>(n));
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{at[i]} << (8 * i);
    return v;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  const std::string& name_;
};

// width x height x depth x 4, or none when a size is not positive or the product is out of reach.
std::optional<std::uint64_t> arrayBytes(std::int64_t w, std::int64_t h, std::int64_t d) {
  if (w <= 0 || h <= 0 || d <= 0) return std::nullopt;
  const auto uw = static_cast<std::uint64_t>(w), uh = static_cast<std::uint64_t>(h), ud = static_cast<std::uint64_t>(d);
  if (uw > kLargestRecords || uh > kLargestRecords / uw || ud > kLargestRecords / (uw * uh)) return std::nullopt;
  const std::uint64_t bytes = uw * uh * ud * 4;
  if (bytes > kLargestRecords) return std::nullopt;
  return bytes;
}

}  // namespace

std::uint64_t StoredPainting::recordBytes() const {
  std::uint64_t total = 0;
  for (const auto& r : records) total += r.grid().size() + r.wet().size() + r.dry().size();
  return total;
}

std::vector<std::uint8_t> encodeStorage(const StoredPainting& painting) {
  Writer payload;
  payload.i64(painting.width);
  payload.i64(painting.height);
  payload.f64(painting.scale);
  payload.i64(painting.currentLayer);
  payload.u32(static_cast<std::uint32_t>(painting.records.size()));
  for (std::size_t i = 0; i < painting.records.size(); ++i) {
    const auto& r = painting.records[i];
    payload.u8(i < painting.hidden.size() && painting.hidden[i] ? 1 : 0);
    payload.i64(r.width());
    payload.i64(r.height());
    payload.i64(r.depth());
    payload.bytes(r.grid());
    payload.bytes(r.wet());
    payload.bytes(r.dry());
  }
  const std::vector<std::uint8_t>& raw = payload.out();

  // One thread, whatever the painter's thread count, so that the file's bytes do not depend on it.
  std::vector<std::uint8_t> compressed(ZSTD_compressBound(raw.size()));
  const std::size_t size = ZSTD_compress(compressed.data(), compressed.size(), raw.data(), raw.size(), kCompressionLevel);
  if (ZSTD_isError(size)) throw EngineFailure(std::string("storage file: compression failed: ") + ZSTD_getErrorName(size));
  compressed.resize(size);

  Writer file;
  for (const char c : kMagic) file.u8(static_cast<std::uint8_t>(c));
  file.u32(kStorageVersion);
  file.u64(raw.size());
  file.u64(compressed.size());
  file.u64(0);  // the checksum, filled in below
  file.bytes(compressed);
  const std::uint64_t checksum = storageChecksum(file.out());
  for (int i = 0; i < 8; ++i) file.out()[kChecksumAt + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
  return std::move(file.out());
}

StoredPainting decodeStorage(const std::vector<std::uint8_t>& file, const std::string& name) {
  if (file.size() < kMagic.size() || std::memcmp(file.data(), kMagic.data(), kMagic.size()) != 0) {
    throw BadInput(name + ": not a storage file of tessivarium-paint");
  }
  if (file.size() < kHeaderBytes) throw BadInput(name + ": truncated storage file: its header is incomplete");
  Reader header(file.data() + kMagic.size(), kHeaderBytes - kMagic.size(), name);
  const std::uint32_t version = header.u32();
  if (version != kStorageVersion) {
    throw BadInput(name + ": storage file of format version " + std::to_string(version) + "; this program reads version " +
                   std::to_string(kStorageVersion));
  }
  const std::uint64_t rawSize = header.u64(), compressedSize = header.u64(), checksum = header.u64();
  if (file.size() - kHeaderBytes < compressedSize) {
    throw BadInput(name + ": truncated storage file: " + std::to_string(file.size()) + " of " +
                   std::to_string(kHeaderBytes + compressedSize) + " bytes");
  }
  if (file.size() - kHeaderBytes > compressedSize) throw BadInput(name + ": damaged storage file: bytes after its records");
  if (storageChecksum(file) != checksum) throw BadInput(name + ": damaged storage file: its checksum does not match");
  if (rawSize > kLargestRecords) throw BadInput(name + ": damaged storage file: its records claim " + std::to_string(rawSize) + " bytes");

  // The frame's own size is compared before anything is allocated, so that a header claiming
  // gigabytes over a small frame costs nothing.
  const std::uint8_t* frame = file.data() + kHeaderBytes;
  const unsigned long long frameSize = ZSTD_getFrameContentSize(frame, static_cast<std::size_t>(compressedSize));
  if (frameSize != rawSize) {
    throw BadInput(name + ": damaged storage file: its header gives " + std::to_string(rawSize) +
                   " bytes of records, its compressed frame another size");
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(rawSize));
  const std::size_t got = ZSTD_decompress(raw.data(), raw.size(), frame, static_cast<std::size_t>(compressedSize));
  if (ZSTD_isError(got) || got != rawSize) {
    throw BadInput(name + ": damaged storage file: its records do not decompress to " + std::to_string(rawSize) + " bytes");
  }

  Reader in(raw.data(), raw.size(), name);
  StoredPainting painting;
  painting.width = in.i64();
  painting.height = in.i64();
  painting.scale = in.f64();
  painting.currentLayer = in.i64();
  const std::uint32_t layers = in.u32();
  if (layers == 0 || layers > kMostLayers) in.refuse(std::to_string(layers) + " layers");
  if (painting.currentLayer < 0 || painting.currentLayer >= static_cast<std::int64_t>(layers)) {
    in.refuse("its current layer " + std::to_string(painting.currentLayer) + " is not one of its layers");
  }
  for (std::uint32_t i = 0; i < layers; ++i) {
    painting.hidden.push_back(in.u8() != 0);
    const std::int64_t w = in.i64(), h = in.i64(), d = in.i64();
    const auto bytes = arrayBytes(w, h, d);
    if (!bytes) in.refuse("layer " + std::to_string(i) + " has sizes " + std::to_string(w) + " x " + std::to_string(h) + " x " + std::to_string(d));
    auto grid = in.bytes(*bytes);
    auto wet = in.bytes(*bytes);
    auto dry = in.bytes(*bytes);
    painting.records.emplace_back(w, h, d, std::move(grid), std::move(wet), std::move(dry));
  }
  if (in.left() != 0) in.refuse("bytes after its last layer");
  return painting;
}

std::uint64_t storageChecksum(const std::vector<std::uint8_t>& file) {
  const std::uint64_t header = fnv1a(0xcbf29ce484222325ull, file.data(), kChecksumAt);
  return fnv1a(header, file.data() + kHeaderBytes, file.size() - kHeaderBytes);
}

StoredPainting readStorageFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw BadInput(path.string() + ": no such storage file");
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw BadInput(path.string() + ": cannot be read");
  return decodeStorage(bytes, path.string());
}

}  // namespace painthost

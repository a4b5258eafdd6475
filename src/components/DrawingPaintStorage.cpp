// The canvas's storage records: the layers handed to the host as plain records, and rebuilt from
// them without ever losing the painting the canvas holds.

#include <limits>
#include <string>
#include <type_traits>

#include "ErrorMessage.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

// Why a record cannot be a layer, or empty when it can.
std::string refusal(const ArtworkRawData& r) {
  if (r.width() <= 0 || r.height() <= 0 || r.depth() <= 0) return "its sizes are not positive";
  if (r.depth() != 1) return "a layer has depth 1, not " + std::to_string(r.depth());
  const auto w = static_cast<std::uint64_t>(r.width()), h = static_cast<std::uint64_t>(r.height());
  if (w > std::numeric_limits<std::uint64_t>::max() / 4 / h) return "its sizes overflow a byte count";
  const std::uint64_t bytes = w * h * 4;
  const struct {
    const char* name;
    const std::vector<std::uint8_t>& array;
  } arrays[] = {{"grid", r.grid()}, {"wet", r.wet()}, {"dry", r.dry()}};
  for (const auto& a : arrays) {
    if (a.array.size() != bytes)
      return std::string("its ") + a.name + " array holds " + std::to_string(a.array.size()) + " bytes, not " +
             std::to_string(bytes);
  }
  return {};
}

void checkRecords(const std::vector<ArtworkRawData>& data) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::string why = refusal(data[i]);
    if (why.empty()) continue;
    foundation::consoleLine("Storage record " + std::to_string(i) + " refused: " + why);
    throw Error(ErrorMessage::TextureFormatIncompatible);
  }
}

// A new layer at `index` holding the record's paint. Throws Error(NoMoreHeap) when the layer, or a
// temporary texture a record of another size needs, cannot be made; nothing is left behind then.
std::shared_ptr<ArtworkTextures> layerFrom(DrawingPaint& paint, std::int64_t index, const ArtworkRawData& r) {
  auto layer = ArtworkTextures::make(paint, index);
  const bool loaded = TextureUtil::loadRawData(layer->gridTexture(), r.grid(), r.width(), r.height(), r.depth()) &&
                      TextureUtil::loadRawData(layer->wetTexture(), r.wet(), r.width(), r.height(), r.depth()) &&
                      TextureUtil::loadRawData(layer->dryTexture(), r.dry(), r.width(), r.height(), r.depth());
  if (!loaded) {
    layer->cleanResources();
    throw Error(ErrorMessage::NoMoreHeap);
  }
  return layer;
}

}  // namespace

std::vector<ArtworkRawData> DrawingPaint::getStorageData() {
  std::vector<ArtworkRawData> records;
  records.reserve(layers_.size());
  for (const auto& layer : layers_)
    records.emplace_back(*layer->gridTexture(), *layer->wetTexture(), *layer->dryTexture());
  return records;
}

void DrawingPaint::setStorageData(const std::vector<ArtworkRawData>& data) { replaceLayers(data); }

void DrawingPaint::setStorageData(std::vector<ArtworkRawData>&& data) { replaceLayers(data); }

template <typename Records>
void DrawingPaint::replaceLayers(Records& data) {
  if (data.empty()) {
    foundation::consoleLine("Data of Storagedata cnnot be empty.");
    return;
  }
  checkRecords(data);

  // The new layers are all built before any old one is given up: a failure half-way releases only
  // the new ones and the canvas keeps its painting.
  std::vector<std::shared_ptr<ArtworkTextures>> rebuilt;
  rebuilt.reserve(data.size());
  try {
    for (std::size_t i = 0; i < data.size(); ++i) {
      rebuilt.push_back(layerFrom(*this, static_cast<std::int64_t>(i), data[i]));
      if constexpr (!std::is_const_v<Records>) {
        const ArtworkRawData& r = data[i];
        data[i] = ArtworkRawData(r.width(), r.height(), r.depth(), {}, {}, {});
      }
    }
  } catch (...) {
    for (const auto& layer : rebuilt) layer->cleanResources();
    throw;
  }

  for (const auto& layer : layers_) layer->cleanResources();
  layers_ = std::move(rebuilt);
  for (const auto& layer : layers_) {
    const auto& view = layer->metalView();
    addSubview(view);
    sendSubviewToBack(*view);
    view->setDelegate(layer);
  }
  // The history's steps name the layers just given up; undoing one would bring them back.
  releaseHistory();
  updateLayers();
  redraw(DrawingMode::Recreated);
}

std::optional<graphics::Color> DrawingPaint::pickColor(double x, double y) {
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    if (auto color = (*it)->pickColor(*this, x, y)) return color;
  }
  return showSurface_ ? backgroundColor() : std::nullopt;
}

}  // namespace tessivarium

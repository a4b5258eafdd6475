#include "tools/ToolModel.h"

#include <string>
#include <string_view>

#include "Artwork.h"
#include "ErrorMessage.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "components/RawData.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/Texture2Unit.h"
#include "tools/ToolEncoder.h"
#include "tools/ToolSurface.h"
#include "tools/TouchInput.h"
#include "utils/MetalUtil.h"
#include "utils/TextureUtil.h"

namespace tessivarium {

namespace {

// Prints "<label><seconds since start>" when the buffer has run, unless debugging is off.
void addTimingLine(gpu::CommandBuffer& buffer, std::string label, foundation::Date start) {
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::None) return;
  buffer.addCompletedHandler([label = std::move(label), start](gpu::CommandBuffer&) {
    foundation::consoleLine(label + foundation::describe(foundation::Date::now().timeIntervalSince(start)));
  });
}

}  // namespace

ToolModel::ToolModel(DefaultToolViewer& toolViewer, std::int64_t width, std::int64_t height, std::int64_t depth)
    : toolViewer_(&toolViewer), width_(width), height_(height), depth_(depth) {}

ToolModel::~ToolModel() = default;

std::shared_ptr<gpu::TextureDescriptor> ToolModel::makeDescriptor(bool threeD) const {
  auto descriptor = gpu::TextureDescriptor::make();
  descriptor->width = static_cast<std::size_t>(width_);
  descriptor->height = static_cast<std::size_t>(height_);
  if (threeD) descriptor->depth = static_cast<std::size_t>(depth_);
  descriptor->textureType = threeD ? gpu::TextureType::Type3D : gpu::TextureType::Type2D;
  descriptor->pixelFormat = DefaultPixelFormat;
  return descriptor;
}

const std::shared_ptr<gpu::TextureDescriptor>& ToolModel::textureDescriptor() {
  if (!textureDescriptor_) textureDescriptor_ = makeDescriptor(true);
  return textureDescriptor_;
}
void ToolModel::setTextureDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor) {
  textureDescriptor_ = std::move(descriptor);
}

const std::shared_ptr<gpu::TextureDescriptor>& ToolModel::texture2DDescriptor() {
  if (!texture2DDescriptor_) texture2DDescriptor_ = makeDescriptor(false);
  return texture2DDescriptor_;
}
void ToolModel::setTexture2DDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor) {
  texture2DDescriptor_ = std::move(descriptor);
}

const std::shared_ptr<gpu::Texture>& ToolModel::madeFrom(std::shared_ptr<gpu::Texture>& slot, bool threeD) {
  if (!slot) slot = AppManager().makeTexture(threeD ? *textureDescriptor() : *texture2DDescriptor());
  return slot;
}

const std::shared_ptr<gpu::Texture>& ToolModel::colorTexture0() { return madeFrom(colorTexture0_, true); }
void ToolModel::setColorTexture0(std::shared_ptr<gpu::Texture> texture) { colorTexture0_ = std::move(texture); }
const std::shared_ptr<gpu::Texture>& ToolModel::colorTexture1() { return madeFrom(colorTexture1_, true); }
void ToolModel::setColorTexture1(std::shared_ptr<gpu::Texture> texture) { colorTexture1_ = std::move(texture); }
const std::shared_ptr<gpu::Texture>& ToolModel::savedColorTexture() { return madeFrom(savedColorTexture_, true); }
void ToolModel::setSavedColorTexture(std::shared_ptr<gpu::Texture> texture) {
  savedColorTexture_ = std::move(texture);
}
const std::shared_ptr<gpu::Texture>& ToolModel::previewHeightTexture() {
  return madeFrom(previewHeightTexture_, false);
}
void ToolModel::setPreviewHeightTexture(std::shared_ptr<gpu::Texture> texture) {
  previewHeightTexture_ = std::move(texture);
}
const std::shared_ptr<gpu::Texture>& ToolModel::previewColorTexture() {
  return madeFrom(previewColorTexture_, false);
}
void ToolModel::setPreviewColorTexture(std::shared_ptr<gpu::Texture> texture) {
  previewColorTexture_ = std::move(texture);
}

void ToolModel::setToolPattern(const RawData& rawData) {
  const auto& descriptor = *textureDescriptor();
  const bool sameShape = rawData.width() == static_cast<std::int64_t>(descriptor.width) &&
                         rawData.height() == static_cast<std::int64_t>(descriptor.height) &&
                         rawData.depth() == static_cast<std::int64_t>(descriptor.depth);
  // The bytes are checked too: a host's short pattern would otherwise be read past its end.
  if (!sameShape || rawData.grid().size() != static_cast<std::size_t>(width_ * height_ * depth_ * 4)) {
    throw Error(ErrorMessage::TextureFormatIncompatible);
  }
  TextureUtil::loadRawData(colorTexture0(), rawData.grid(), width_, height_, depth_);
}

void ToolModel::swapTexture() {
  auto first = colorTexture0();
  setColorTexture0(colorTexture1());
  setColorTexture1(std::move(first));
}

void ToolModel::clean() {
  const foundation::Date start;
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  encodeClean(AppManager().requiredCurrentPaint("ToolModel.clean"), *buffer);
  addTimingLine(*buffer, "Execution time: ", start);
  buffer->commit();
}

void ToolModel::encodeClean(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  for (const auto& pass : toolViewer().tool().getInitializers()) pass->encode(paint, buffer);
}

void ToolModel::blit(const std::shared_ptr<gpu::Texture>& from, const std::shared_ptr<gpu::Texture>& to) {
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeBlitCommandEncoder();
  copyTexture(*encoder, from, to);
  encoder->endEncoding();
  buffer->commit();
}

void ToolModel::reset() {
  const auto& from = savedColorTexture();
  blit(from, colorTexture0());
}

void ToolModel::savePattern() {
  const auto& from = colorTexture0();
  blit(from, savedColorTexture());
}

void ToolModel::pickPattern(const TouchInput& touchInput, float rotation) {
  clean();
  const foundation::Date start;
  DrawingPaint& paint = AppManager().requiredCurrentPaint("ToolModel.pickPattern");
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();

  AbstractDrawingTool& tool = toolViewer().tool();
  const float keptRotation = tool.rotation();
  tool.setRotation(rotation);

  ToolSurface& surface = *tool.toolSurface();
  surface.setOrigin(std::nullopt);
  surface.reset({std::make_shared<TouchInput>(touchInput)});
  const auto found = surface.getModel();
  if (!found) foundation::fatalError("ToolModel.pickPattern: the tool's viewer has no tool model");
  ToolModel& model = *found;

  // Both working copies start as the emptied head.
  const auto& copy = EncodersProvider().getTextureCopy();
  copy->setFrom(model.colorTexture0());
  copy->setTo(model.colorTexture1());
  copy->encode(paint, *buffer);

  // Every visited layer's pickup reads the emptied head and writes, bottom layer first, into the
  // other copy: the extra exchange after each pass undoes the pass's own.
  const ToolType type = tool.toolType();
  const auto current = paint.currentLayer();
  if (!current) foundation::fatalError("ToolModel.pickPattern: the canvas has no layers");
  const std::int64_t currentIndex = current->index();
  for (const auto& layer : paint.layers()) {
    surface.encodeLoads(*layer, *buffer);
    const bool onCurrent = layer->index() == currentIndex;
    model.encodePickup(type, onCurrent && paint.showSurface() ? paint.backgroundColor() : std::nullopt, paint,
                       *buffer);
    if (onCurrent) break;
    model.swapTexture();
  }

  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Height) {
    encodeHeightPreview(paint, *buffer);
    paint.redraw(DrawingMode::Refresh);
  }
  tool.setRotation(keptRotation);
  addTimingLine(*buffer, "Clean time: ", start);
  buffer->commit();
  surface.touchEnd();
}

void ToolModel::encodePickup(ToolType type, const std::optional<graphics::Color>& color, DrawingPaint& paint,
                             gpu::CommandBuffer& buffer) {
  const auto pickup = DAEEncoders().getPickupEncoder(type);
  // The registry may have cleared the pass's colour on hand-out; only the surface's is set here.
  if (color) pickup->setColor(color);
  pickup->encode(paint, buffer);
}

void ToolModel::encodeHeightPreview(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  DAEPaintingShow().encode(paint, buffer);
}

void ToolModel::cleanResources() {
  for (const auto* texture : {&colorTexture0(), &colorTexture1(), &savedColorTexture(), &previewHeightTexture(),
                              &previewColorTexture()}) {
    // A texture the device could not make was never counted.
    if (*texture) AppManager().releaseTexture(**texture);
  }
}

}  // namespace tessivarium

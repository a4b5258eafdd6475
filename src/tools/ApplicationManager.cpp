#include "tools/ApplicationManager.h"

#include <algorithm>
#include <new>
#include <string>

#include "Application.h"
#include "Artwork.h"
#include "Surface.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "foundation/OnceValue.h"
#include "gpu/CommandQueue.h"
#include "gpu/Device.h"
#include "gpu/GaussianBlur.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "imaging/Context.h"
#include "tools/DrawingTool.h"
#include "tools/RegionWorkingSets.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolFamilies.h"
#include "ui/Screen.h"

namespace tessivarium {
namespace {

constexpr std::int64_t kMegabyte = 1024 * 1024;

// A start-up that fails (a missing device) leaves the slot empty, so it can be tried again.
foundation::OnceValue<ApplicationManager>& managerSlot() {
  static foundation::OnceValue<ApplicationManager> slot(
      "AppManager used while it starts: what the manager makes at start-up must not use it");
  return slot;
}

std::shared_ptr<FilbertBrushTool>& defaultToolSlot() {
  static std::shared_ptr<FilbertBrushTool> tool;
  return tool;
}

// Width x height x depth x 4 bytes a texture, whatever its format.
std::int64_t bytesCounted(std::size_t width, std::size_t height, std::size_t depth) {
  return static_cast<std::int64_t>(width * height * std::max<std::size_t>(depth, 1) * 4);
}

std::int64_t bytesCounted(const gpu::Texture* texture) {
  return texture ? bytesCounted(texture->width(), texture->height(), texture->depth()) : 0;
}

std::string heapLine(const char* verb, std::size_t width, std::size_t height, std::int64_t bytes,
                     std::int64_t heap) {
  return std::string(verb) + std::to_string(width) + " " + std::to_string(height) + " " +
         std::to_string(bytes / kMegabyte) + " M -> Heap size = " + std::to_string(heap / kMegabyte) + " M";
}

}  // namespace

const std::shared_ptr<FilbertBrushTool>& DefaultTool() {
  auto& tool = defaultToolSlot();
  if (!tool) tool = std::make_shared<FilbertBrushTool>();
  return tool;
}

const graphics::Color& SOLVENT_COLOR() {
  static const graphics::Color color = graphics::Color::fromRGBA(1.0, 1.0, 1.0, 0.0);
  return color;
}

ApplicationManager& AppManager() { return managerSlot().get(); }

std::weak_ptr<ApplicationManager> LivingAppManager() { return managerSlot().weak(); }

void resetAppManagerForTesting() {
  managerSlot().reset();
  defaultToolSlot().reset();
}

ApplicationManager::ApplicationManager()
    : limitedHeap_(Application().IPADPro12() ? 1024 : 300), device_(gpu::systemDefaultDevice()) {
  if (!device_) foundation::fatalError("No GPU device: the system needs one to paint");
  surfaceTextures_ = std::make_shared<SurfaceWorkingTextures>();
  regionWorkingSets_ = std::make_unique<RegionWorkingSets>();
  defaultTool_ = DefaultTool();
  currentTool_ = defaultTool_;
  tube_.tool = std::make_shared<TubeTool>();
  sprayer_.tool = std::make_shared<SprayerTool>();
}

ApplicationManager::~ApplicationManager() = default;

const std::shared_ptr<gpu::CommandQueue>& ApplicationManager::commandQueue() {
  if (!commandQueue_) commandQueue_ = device_->makeCommandQueue();
  return commandQueue_;
}

const std::shared_ptr<imaging::Context>& ApplicationManager::ciContext() {
  if (!ciContext_) ciContext_ = imaging::Context::make(device_);
  return ciContext_;
}

const std::shared_ptr<gpu::GaussianBlur>& ApplicationManager::blur() {
  if (!blur_) blur_ = std::make_shared<gpu::GaussianBlur>(device_, 0.0f);
  return blur_;
}

std::shared_ptr<gpu::Texture> ApplicationManager::makeTexture(const gpu::TextureDescriptor& descriptor) {
  std::shared_ptr<gpu::Texture> texture;
  try {
    texture = device_->makeTexture(descriptor);
  } catch (const std::bad_alloc&) {
    // Memory the machine cannot give is missing texture memory like any other.
  }
  if (!texture || texture->width() != descriptor.width) Application().hanldeError(ErrorMessage::NoMoreHeap);
  const auto bytes = bytesCounted(texture.get());
  heapSize_ += bytes;
  foundation::consoleLine(heapLine("Make: ", descriptor.width, descriptor.height, bytes, heapSize_));
  return texture;
}

std::shared_ptr<gpu::Texture> ApplicationManager::makeTexture(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) {
    foundation::fatalError("makeTexture: a texture needs a positive width and height, not " +
                           std::to_string(width) + " x " + std::to_string(height));
  }
  auto descriptor = gpu::TextureDescriptor::make();
  descriptor->textureType = gpu::TextureType::Type2D;
  descriptor->width = static_cast<std::size_t>(width);
  descriptor->height = static_cast<std::size_t>(height);
  descriptor->depth = 1;
  descriptor->pixelFormat = DefaultPixelFormat;
  return makeTexture(*descriptor);
}

void ApplicationManager::releaseTexture(const gpu::Texture& texture) {
  const auto bytes = bytesCounted(&texture);
  heapSize_ -= bytes;
  foundation::consoleLine(heapLine("Release: ", texture.width(), texture.height(), bytes, heapSize_));
}

bool ApplicationManager::isReachMaxHeap() const { return heapSize_ >= limitedHeap_ * kMegabyte; }

bool ApplicationManager::hasRoomFor(std::int64_t bytes) const { return heapSize_ + bytes <= limitedHeap_ * kMegabyte; }

std::int64_t ApplicationManager::countedBytes(const gpu::TextureDescriptor& descriptor) {
  return bytesCounted(descriptor.width, descriptor.height, descriptor.depth);
}

std::int64_t ApplicationManager::countedBytes(const gpu::Texture& texture) { return bytesCounted(&texture); }

double ApplicationManager::screenRatio(const DrawingPaint& paint) const {
  if (!canvas_) foundation::fatalError("screenRatio needs a main canvas");
  const double nativeHeight = ui::Screen::main().nativeBounds().size.height;
  const std::int64_t canvasWidth = canvas_->artwork()->width();
  const double base = nativeHeight / static_cast<double>(canvasWidth * 2);
  const std::int64_t paintWidth = paint.artwork()->width();
  if (canvasWidth == paintWidth) return base * 0.05;
  const double ratio = static_cast<double>(canvasWidth) / static_cast<double>(paintWidth);
  const double scale = canvas_->artwork()->scale();
  if (scale == 1.0) return base * 0.05 * ratio * scale;
  foundation::consoleLine(foundation::describe(scale) + " " + foundation::describe(ratio));
  return base * 0.05 * ratio * scale * 2.0;
}

void ApplicationManager::setSurfaceTextures(std::shared_ptr<SurfaceWorkingTextures> textures) {
  if (!textures) foundation::fatalError("The manager's working textures cannot be absent");
  surfaceTextures_ = std::move(textures);
}

DrawingPaint& ApplicationManager::requiredCurrentPaint(std::string_view operation) const {
  if (!currentPaint_) foundation::fatalError(std::string(operation) + ": no current canvas");
  return *currentPaint_;
}

void ApplicationManager::setCurrentPaint(std::shared_ptr<DrawingPaint> paint) {
  if (managerDelegate_) managerDelegate_->currentPaintWillChange(currentPaint_);
  currentPaint_ = std::move(paint);
  if (managerDelegate_) managerDelegate_->currentPaintDidChange(currentPaint_);
}

std::shared_ptr<DrawingPaint> ApplicationManager::makePalette(std::string name, std::int64_t width,
                                                              std::int64_t height) {
  const auto id = MainPaintId + 1 + static_cast<std::uint64_t>(palettes_.size());
  auto flat = Surface::FindSurface(SurfaceId::Flat);
  if (!flat) foundation::fatalError("The surface table has no flat surface");
  auto artwork = std::make_shared<Artwork>(std::move(name), width, height, std::move(flat),
                                           PaintOrientation::landscape, DefaultScale);
  auto palette = std::make_shared<DrawingPaint>(id, std::move(artwork), false);
  palette->setLayerMode(LayerMode::Page);
  palettes_.push_back(palette);
  return palette;
}

std::shared_ptr<DrawingPaint> ApplicationManager::createPalette() { return makePalette("", 400, 350); }

std::shared_ptr<DrawingPaint> ApplicationManager::createPalette(std::int64_t width, std::int64_t height) {
  return makePalette("Palette", width, height);
}

bool ApplicationManager::isPalette(const DrawingPaint& paint) const { return paint.paintId() != MainPaintId; }

template <typename T>
const std::shared_ptr<T>& ApplicationManager::madeOnFirstUse(ToolSlot<T>& slot) {
  if (!slot.tool) {
    slot.tool = std::make_shared<T>();
    madeTools_.push_back(slot.tool->toolType());
  }
  return slot.tool;
}

// The filbert brush is the default tool itself, so the field, defaultTool and the first current
// tool are one object.
template <>
const std::shared_ptr<FilbertBrushTool>& ApplicationManager::madeOnFirstUse(ToolSlot<FilbertBrushTool>& slot) {
  if (!slot.tool) slot.tool = DefaultTool();
  return slot.tool;
}

#define TESS_TOOL_ACCESSORS(Class, name, Name)                                                   \
  const std::shared_ptr<Class>& ApplicationManager::name() { return madeOnFirstUse(name##_); } \
  void ApplicationManager::set##Name(std::shared_ptr<Class> tool) { name##_.tool = std::move(tool); }
TESS_MANAGER_TOOL_FIELDS(TESS_TOOL_ACCESSORS)
#undef TESS_TOOL_ACCESSORS

const std::vector<std::shared_ptr<DrawingTool>>& ApplicationManager::tools() {
  if (!toolsBuilt_) {
    tools_ = {tube(),           knife1(),         knife2(),          knife3(),
              knife4(),         knife5(),         knife6(),          bigFilbertBrush(),
              filbertBrush(),   smallFilbertBrush(), bigFlatBrush(), flatBrush(),
              smallFlatBrush(), extraWideBrush(), bigWideBrush(),    wideBrush(),
              smallWideBrush(), bigFanBrush(),    fanBrush(),        smallFanBrush(),
              dryer(),          wetter(),         fluffyMop(),       turpentine(),
              towel(),          roller()};
    toolsBuilt_ = true;
  }
  return tools_;
}

void ApplicationManager::setTools(std::vector<std::shared_ptr<DrawingTool>> tools) {
  tools_ = std::move(tools);
  toolsBuilt_ = true;
}

std::shared_ptr<DrawingTool> ApplicationManager::findDrawingTool(const DrawingPaint*, ToolType type) {
  for (const auto& tool : tools()) {
    if (tool->toolType() == type) return tool;
  }
  foundation::fatalError("Not supported");
}

void ApplicationManager::setCurrentTool(std::shared_ptr<DrawingTool> tool) {
  if (!tool) foundation::fatalError("The current tool cannot be absent");
  if (managerDelegate_) managerDelegate_->currentToolWillChange(currentTool_);
  currentTool_->setEnabled(false);
  currentTool_ = std::move(tool);
  currentTool_->setEnabled(true);
  if (currentPaint_) currentPaint_->enabledCurrentTool(false);
  if (managerDelegate_) managerDelegate_->currentToolDidChange(currentTool_);
}

void ApplicationManager::loads() {
  surfaceTextures_->loads();
  for (const auto& tool : std::vector(tools())) tool->loads();
  if (canvas_) canvas_->loads();
  for (const auto& palette : std::vector(palettes_)) palette->loads();
}

void ApplicationManager::cleanResources() {
  for (const auto& palette : std::vector(palettes_)) palette->cleanResources();
  if (canvas_) {
    canvas_->cleanResources();
    canvas_.reset();
    setCurrentPaint(nullptr);
  }
  palettes_.clear();
  for (const auto& tool : std::vector(tools())) tool->dettachViewer();
  regionWorkingSets_->release();
}

}  // namespace tessivarium

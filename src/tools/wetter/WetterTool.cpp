#include "tools/wetter/WetterTool.h"

#include "tools/DAEEncoders.h"
#include "tools/wetter/WetterDAEEncoders.h"

namespace tessivarium {
namespace {

const FanDryerTwin kWetter{
    ToolType::wetter,
    []() -> std::shared_ptr<AbstractToolEncoderShader> { return DAEEncoders().getWetterInitializer(); },
    []() -> std::shared_ptr<AbstractToolEncoderShader> { return DAEEncoders().getWetterEncoder(); },
};

}  // namespace

WetterTool::WetterTool() : FanDryerTool(kWetter) {}

}  // namespace tessivarium

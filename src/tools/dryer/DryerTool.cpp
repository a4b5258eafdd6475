#include "tools/dryer/DryerTool.h"

#include "tools/DAEEncoders.h"
#include "tools/dryer/DryerDAEEncoders.h"

namespace tessivarium {
namespace {

const FanDryerTwin kDryer{
    ToolType::dryer,
    []() -> std::shared_ptr<AbstractToolEncoderShader> { return DAEEncoders().getDryerInitializer(); },
    []() -> std::shared_ptr<AbstractToolEncoderShader> { return DAEEncoders().getDryerEncoder(); },
};

}  // namespace

DryerTool::DryerTool() : FanDryerTool(kDryer) {}

}  // namespace tessivarium

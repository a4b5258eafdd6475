#include "tools/DAEPassInputs.h"

#include "tools/ToolModel.h"

namespace tessivarium {

DAEDescriptorSource* descriptorSourceOf(ToolModel& model) { return dynamic_cast<DAEDescriptorSource*>(&model); }

}  // namespace tessivarium

#include "tools/sprayer/SprayerPainting.h"

#include "tools/EncodersProvider.h"
#include "tools/sprayer/SprayerEncoder.h"

namespace tessivarium {

SprayerPainting::SprayerPainting(const DrawingTool& tool) : DropPainting(tool, EncodersProvider().getSprayer()) {}

}  // namespace tessivarium

#include "tools/tubes/TubePainting.h"

#include "tools/EncodersProvider.h"
#include "tools/tubes/MacAddSphere.h"

namespace tessivarium {

TubePainting::TubePainting(const DrawingTool& tool) : DropPainting(tool, EncodersProvider().getAddSphere()) {}

}  // namespace tessivarium

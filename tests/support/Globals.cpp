#include "Globals.h"

#include "FatalStop.h"
#include "foundation/Bundle.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Random.h"
#include "scene/Globals.h"
#include "gpu/TestControls.h"
#include "graphics/ImageContext.h"
#include "ui/Globals.h"
#include "Application.h"
#include "Artwork.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/EncodersProvider.h"
#include "kernels/Kernels.h"
#include "utils/ImageFilters.h"

namespace testsupport {

void resetGlobals() {
  installThrowingFatalHandler();
  foundation::setConsoleSink({});
  foundation::setTimeSource({});
  foundation::seedRandom(12345);
  foundation::Bundle::framework().setRoot(foundation::Bundle::defaultRoot());
  foundation::Bundle::main().setRoot(foundation::Bundle::defaultRoot());
  tessivarium::resetAppManagerForTesting();
  tessivarium::resetApplicationForTesting();
  tessivarium::resetArtworkPresetsForTesting();
  tessivarium::resetDebugSwitches();
  tessivarium::resetEncodersProviderForTesting();
  kernels::registerAll();
  tessivarium::resetImageFiltersForTesting();
  scene::resetGlobals();
  graphics::resetImageContexts();
  gpu::resetForTesting();
  ui::resetGlobals();
}

}  // namespace testsupport

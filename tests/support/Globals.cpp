#include "Globals.h"

#include "Application.h"
#include "Artwork.h"
#include "FatalStop.h"
#include "foundation/Bundle.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Random.h"
#include "gpu/TestControls.h"
#include "graphics/ImageContext.h"
#include "kernels/Kernels.h"
#include "scene/Globals.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DebugSwitches.h"
#include "tools/EncodersProvider.h"
#include "tools/SoloDAEToolController.h"
#include "ui/Globals.h"
#include "utils/DAEResourceManager.h"
#include "utils/ImageFilters.h"

namespace testsupport {

void resetGlobals() {
  installThrowingFatalHandler();
  foundation::setConsoleSink({});
  foundation::setTimeSource({});
  foundation::seedRandom(12345);
  foundation::Bundle::framework().setRoot(foundation::Bundle::defaultRoot());
  foundation::Bundle::main().setRoot(foundation::Bundle::defaultRoot());

  // The system's globals first: they hold objects of the kits below.
  tessivarium::resetEncodersProviderForTesting();
  tessivarium::resetDAEEncodersForTesting();
  tessivarium::resetImageFiltersForTesting();
  tessivarium::resetAppManagerForTesting();
  tessivarium::resetApplicationForTesting();
  tessivarium::resetArtworkPresetsForTesting();
  tessivarium::resetDebugSwitches();
  tessivarium::resetDAECacheManagerForTesting();
  tessivarium::resetSoloDAEToolControllerForTesting();

  scene::resetGlobals();
  graphics::resetImageContexts();
  gpu::resetForTesting();
  ui::resetGlobals();
  // Registering is idempotent; it puts back any kernel a test replaced.
  kernels::registerAll();
}

}  // namespace testsupport

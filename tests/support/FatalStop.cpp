#include "FatalStop.h"

#include "foundation/Fatal.h"

namespace testsupport {

void installThrowingFatalHandler() {
  foundation::setFatalHandler([](std::string_view message) { throw FatalStop(std::string(message)); });
}

}  // namespace testsupport

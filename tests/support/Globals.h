#pragma once
// Every test starts from fresh globals: the test main calls resetGlobals() before each test.

#include <functional>

namespace testsupport {

// Resets every global created on first use, every platform setting a test may change (sinks,
// clocks, bundle roots, failure injection) and installs the throwing fatal handler.
void resetGlobals();

}  // namespace testsupport

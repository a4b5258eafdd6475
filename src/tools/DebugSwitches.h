#pragma once
// Debug switches of the tool-model engine. The system never changes them; tests may, and the test
// harness puts them back before every test.

namespace tessivarium {

enum class KnifeDebugMode { None, Trace, Height, Complete };

// While not None, every pass prints how long building its pipeline took.
inline KnifeDebugMode DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
inline bool DEBUG_CFD = false;
inline bool DEBUG_HEIGHT = false;
inline bool TOTAL_HEIGHT = false;

// Puts every switch back to its starting value.
inline void resetDebugSwitches() {
  DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
  DEBUG_CFD = false;
  DEBUG_HEIGHT = false;
  TOTAL_HEIGHT = false;
}

}  // namespace tessivarium

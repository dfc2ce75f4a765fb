#include "app/display.h"

namespace linkmate {

// A Windows program always runs on a desktop.
bool HaveDisplay() { return true; }

}  // namespace linkmate

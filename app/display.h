// Whether the window can be shown at all: a desktop session to show it in; and where the
// program's own texts (its usage, its version, a refused option) reach the operator.
#pragma once

#include <string>

namespace linkmate {

bool HaveDisplay();

// Prints `text` to the standard output (the error output for an error) where the operator reads
// it. A Windows window program has no console of its own: it writes to where its output goes,
// else to the console it was started from, else shows a box.
void TellOperator(const std::string& text, bool error);

}  // namespace linkmate

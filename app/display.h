// Whether the window can be shown at all: a desktop session to show it in.
#pragma once

namespace linkmate {

bool HaveDisplay();

}  // namespace linkmate

#!/usr/bin/env bash
# Retakes the README's screenshots offscreen: a virtual converter as COM1, the window connected
# and read, each page saved to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target linkmate-shots
QT_QPA_PLATFORM=offscreen build/tools/linkmate-shots docs

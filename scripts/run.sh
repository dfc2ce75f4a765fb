#!/usr/bin/env bash
# Builds LINKMATE, starts the virtual converter as COM1 and runs the tool against it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

build/tools/linkmate-sim --com 1 > build/linkmate-sim.out &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q "registered as COM1" build/linkmate-sim.out 2>/dev/null && break; sleep 0.1; done
echo "virtual converter: $(head -n 1 build/linkmate-sim.out), registered as COM1"

build/tools/linkmate-cli --port 1 copy

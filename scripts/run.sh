#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual converter as COM1 and opens the window,
# ready to connect (Ternix-A, COM1, Connect). Closing the window stops the converter.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<'MSG'
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open here.
Run this script in a desktop session, or on a virtual display:
    xvfb-run -a scripts/run.sh
Without any display, the command-line tool works against the same virtual converter:
    build/tools/linkmate-sim --com 1 &   build/tools/linkmate-cli --port 1 read
MSG
    exit 1
fi

build/tools/linkmate-sim --com 1 > build/linkmate-sim.out &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q "registered as COM1" build/linkmate-sim.out 2>/dev/null && break; sleep 0.1; done
echo "virtual converter on $(head -n 1 build/linkmate-sim.out), registered as COM1"

build/app/linkmate

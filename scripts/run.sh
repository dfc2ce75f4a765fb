#!/usr/bin/env bash
# Installs what is missing, builds, starts a virtual converter on the lowest free COM number and
# opens the window with that port and Ternix-A chosen, ready to connect. Closing the window stops
# the converter. Run it again for a second, independent pair.
set -euo pipefail
cd "$(dirname "$0")/.."

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

scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

# The lowest COM number that is free: the converter refuses (status 2) a number that points
# elsewhere, so try them in turn.
out=$(mktemp)
sim=""
trap 'rm -f "$out"; [[ -n "$sim" ]] && { kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true; }' EXIT
for port in 1 2 3 4 5 6 7 8; do
    build/tools/linkmate-sim --com "$port" >"$out" 2>&1 &
    sim=$!
    for _ in $(seq 50); do
        grep -q "registered as COM$port" "$out" && break
        kill -0 "$sim" 2>/dev/null || break
        sleep 0.1
    done
    if grep -q "registered as COM$port" "$out"; then
        echo "virtual converter on $(head -n 1 "$out"), registered as COM$port"
        build/app/linkmate --model A --port "$port"
        exit 0
    fi
    wait "$sim" 2>/dev/null || true
    sim=""
done
echo "no free COM number (COM1 to COM8 all point somewhere); free one in the window's Ports dialog" >&2
exit 1

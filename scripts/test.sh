#!/usr/bin/env bash
# Builds LINKMATE and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/test.sh --windows    the core, linkmate.exe (Win32 window), linkmate-cli.exe and their
#                                tests cross-built for Windows in build/windows/ and run under Wine
#                                in a private prefix there; the installer built, installed and
#                                uninstalled there
set -euo pipefail
cd "$(dirname "$0")/.."

werror=()
[[ "${CI:-}" == "true" ]] && werror=(-DLINKMATE_WERROR=ON)

if [[ "${1:-}" == "--windows" ]]; then
    scripts/install-deps.sh --windows
    host=build/windows-host
    cross=build/windows
    # The Linux ends of the Windows tests' lines: the virtual converter, the serial peer, and the
    # command-line tool whose write frame the window's must equal.
    cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKMATE_GUI=OFF -DLINKMATE_BENCH=OFF \
        "${werror[@]}"
    cmake --build "$host" --target linkmate-sim com_peer linkmate-cli
    cmake -S . -B "$cross" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" \
        -DLINKMATE_HOST_TOOLS="$PWD/$host" "${werror[@]}"
    cmake --build "$cross"

    # A private prefix made afresh: the registry starts empty and nothing of the user's own Wine
    # is touched. No .NET or browser engine is installed into it (they would ask with a window).
    export WINEPREFIX="$PWD/$cross/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # The registry key's name is Chinese; Wine passes names through the locale's character set.
    export LC_ALL=C.UTF-8
    wineserver --kill 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # One server for the whole run (the prefix's set-up included) instead of one per program;
    # stopped however the run ends.
    wineserver --persistent 2>/dev/null
    trap 'wineserver --kill' EXIT
    wineboot --init >/dev/null 2>&1
    # One after another: the tests' COM numbers are fixed.
    ctest --test-dir "$cross" --output-on-failure
    echo "Skipped under Wine, and why:"
    grep -h -A1 ': Skipped$' "$cross/Testing/Temporary/LastTest.log" | grep -v -e ': Skipped$' -e '^--$' | sed 's/^/  /' || true
    echo "  The window tests that drive Qt's own widgets (tests/gui/ but framework_test, tests/gui/qt/) are"
    echo "  the Qt backend's: on Win32 the framework's test runs, and the window end to end from outside"
    echo "windows: installed, built and tested in ${SECONDS} s"
    exit
fi

scripts/install-deps.sh

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == "--sanitize" ]]; then
    build_dir=build-asan
    options=(-DCMAKE_BUILD_TYPE=Debug -DLINKMATE_SANITIZE=ON -DLINKMATE_BENCH=OFF)
fi

cmake -S . -B "$build_dir" -G Ninja "${options[@]}" "${werror[@]}"
cmake --build "$build_dir"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
ctest --test-dir "$build_dir" --output-on-failure -j 2

#!/usr/bin/env bash
# Builds LINKMATE and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == "--sanitize" ]]; then
    build_dir=build-asan
    options=(-DCMAKE_BUILD_TYPE=Debug -DLINKMATE_SANITIZE=ON -DLINKMATE_BENCH=OFF)
fi
[[ "${CI:-}" == "true" ]] && options+=(-DLINKMATE_WERROR=ON)

cmake -S . -B "$build_dir" -G Ninja "${options[@]}"
cmake --build "$build_dir"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
ctest --test-dir "$build_dir" --output-on-failure -j 2

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/install-deps.sh
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLINKMATE_FUZZ=ON -DLINKMATE_TESTS=OFF -DLINKMATE_BENCH=OFF -DLINKMATE_GUI=OFF
cmake --build build-fuzz --target decode_frame_fuzz reg_file_fuzz

for target in decode:decode_frame_fuzz reg:reg_file_fuzz; do
    seeds="tests/fuzz/seeds/${target%%:*}"
    corpus="build-fuzz/corpus-${target%%:*}"
    mkdir -p "$corpus"
    echo "== ${target#*:} for ${seconds}s"
    log="build-fuzz/${target#*:}.log"
    if ! "build-fuzz/tests/fuzz/${target#*:}" -max_total_time="$seconds" -print_final_stats=1 \
        "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz target ${target#*:} failed"
        exit 1
    fi
    grep -E "^Done|^stat::number_of_executed_units" "$log"
done

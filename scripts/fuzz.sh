#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, starting from the
# seed corpus committed under tests/fuzz/corpus/<target>/ (new inputs go to build-fuzz/corpus/).
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 60 s, every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(decode_frame_fuzz exchange_fuzz reg_file_fuzz profile_store_fuzz message_catalogue_fuzz telnet_fuzz)

scripts/install-deps.sh
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLINKMATE_FUZZ=ON -DLINKMATE_TESTS=OFF -DLINKMATE_BENCH=OFF -DLINKMATE_GUI=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]}"

for target in "${targets[@]}"; do
    options=(-max_total_time="$seconds" -timeout=2 -print_final_stats=1)
    # The profile parser must stay fast on anything up to the largest file it will read.
    [[ "$target" == reg_file_fuzz ]] && options+=(-max_len=1048576)
    [[ "$target" == profile_store_fuzz ]] && options+=(-max_len=65536)
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target for ${seconds}s"
    log="build-fuzz/$target.log"
    if ! "build-fuzz/tests/fuzz/$target" "${options[@]}" "$corpus" "tests/fuzz/corpus/$target" \
        >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz target $target failed"
        exit 1
    fi
    # The last status line carries the coverage (cov: edges, ft: features, corp: inputs).
    grep -E "^#[0-9]+" "$log" | tail -n 1
    grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::peak_rss_mb" "$log"
done

#!/usr/bin/env bash
# Runs every benchmark once, briefly, and writes the README's figures table (between its two
# markers) from what they print, so that no figure in it is typed by hand.
#   scripts/figures.sh [BUILD]           rewrite the table in README.md (default BUILD: build)
#   scripts/figures.sh --check [BUILD]   print the table, change nothing
# Either way the run fails only when a benchmark fails to run or leaves out a figure the table
# needs, never because a figure is slow: the machine may be loaded.
#
# A new benchmark is one line in `benchmarks` below; without a rows_<name> function of its own, its
# "name: value unit" lines become rows as they are.
# Markdown code spans are backticks in single quotes here, not shell expansions.
# shellcheck disable=SC2016
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
if [[ "${1:-}" == "--check" ]]; then
    check=true
    shift
fi
build="${1:-build}"

# Each: the program in $build/bench/ and its arguments (kept small: this runs in CI).
benchmarks=(
    "exchange_bench 100"
    "profile_bench 50"
    "startup_bench 10"
    "fleet_bench 3"
    "line_bench 3"
    "find_bench 5"
    "exchange_gap_bench 3"
    "discovery_bench 20"
    "line_soak 50"
    "network_bench 10"
)

out="$(mktemp -d "${TMPDIR:-/tmp}/linkmate-figures-XXXXXX")"
trap 'rm -rf "$out"' EXIT
failed=()

load1() { cut -d' ' -f1 /proc/loadavg; }

for entry in "${benchmarks[@]}"; do
    read -r name args <<<"$entry"
    load1 >"$out/$name.load"
    # From the build folder: the benchmarks find their own test data relative to it.
    # shellcheck disable=SC2086
    if ! (cd "$build" && "bench/$name" $args) >"$out/$name.txt" 2>"$out/$name.err"; then
        failed+=("$name")
        echo "figures: $name $args failed:" >&2
        sed 's/^/  /' "$out/$name.err" >&2
    fi
done

# The value of `key` (and its unit) as benchmark `bench` printed it; "—" and a failure when absent
# (noted in a file: the calls run in subshells).
v() {
    local line
    line="$(grep -m1 "^$2: " "$out/$1.txt" 2>/dev/null || true)"
    if [[ -z "$line" ]]; then
        [[ " ${failed[*]} " == *" $1 "* ]] || echo "$1: $2" >>"$out/missing"
        printf '—'
        return
    fi
    # Only the number and its unit: what follows in parentheses is the benchmark's own remark.
    line="${line#*: }"
    line="${line%% (*}"
    printf '%s' "$line"
}
# The number alone.
n() { v "$@" | cut -d' ' -f1; }
load() { cat "$out/$1.load"; }
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"; }

rows_exchange_bench() {
    local b=exchange_bench l
    l="$(load $b)"
    row '`ReadConfig`, unpaced pty' "$(v $b read_unpaced_median)" "$(v $b read_unpaced_p99)" "$l"
    row 'Write (`WriteAndVerify`), unpaced pty' "$(v $b write_unpaced_median)" "$(v $b write_unpaced_p99)" "$l"
    local rate
    for rate in 57600 19200; do
        row "\`ReadConfig\`, paced $rate bit/s (line time of its two requests and replies: $(v $b line_time_read_paced_${rate}_traced); ratio $(n $b read_paced_${rate}_traced_to_line_time))" \
            "$(v $b read_paced_${rate}_traced_median)" "$(v $b read_paced_${rate}_traced_p99)" "$l"
        row "the virtual converter's turnaround at $rate bit/s, from the confirming request's reply in a Read's trace" \
            "$(v $b turnaround_paced_${rate}_traced_median)" "largest: $(v $b turnaround_paced_${rate}_traced_max)" "$l"
        row "Write, paced $rate bit/s (line time of frame, acknowledgement and read-back: $(v $b line_time_write_paced_${rate}_traced); ratio $(n $b write_paced_${rate}_traced_to_line_time))" \
            "$(v $b write_paced_${rate}_traced_median)" "$(v $b write_paced_${rate}_traced_p99)" "$l"
    done
}

rows_profile_bench() {
    local b=profile_bench l
    l="$(load $b)"
    row '`SaveProfile` (22 values, fsync + rename)' "$(v $b save_profile_median)" '' "$l"
    row '`LoadProfile`' "$(v $b load_profile_median)" '' "$l"
    row '`LoadProfile` of a 1 MiB file: many keys / many values / one long continued hex value' \
        "$(n $b load_profile_1mib_many_keys) / $(n $b load_profile_1mib_many_values) / $(v $b load_profile_1mib_continued_hex)" '' "$l"
}

rows_startup_bench() {
    local b=startup_bench l
    l="$(load $b)"
    row "window start to first paint, offscreen (its peer written directly in Qt Widgets: $(v $b startup_to_first_paint_qt_peer_median))" \
        "$(v $b startup_to_first_paint_app_median) (ratio $(n $b startup_ratio_app_to_peer))" '' "$l"
    row "processor time of that start, user + system (the peer: $(v $b startup_cpu_qt_peer_median))" \
        "$(v $b startup_cpu_app_median) (ratio $(n $b startup_cpu_ratio_app_to_peer))" '' "$l"
    row "peak resident memory at first paint (the peer: $(v $b peak_rss_qt_peer_median))" \
        "$(v $b peak_rss_app_median) ($(v $b peak_rss_app_minus_peer))" '' "$l"
}

rows_fleet_bench() {
    local b=fleet_bench
    row '`linkmate-cli write` + verify, paced 57600 bit/s: one converter / eight at once / eight in turn' \
        "$(n $b cli_write_verify_one_converter_median) / $(n $b cli_write_verify_eight_at_once_median) / $(v $b cli_write_verify_eight_sequential_median)" \
        "eight at once: $(n $b eight_at_once_to_one) × one" "$(load $b)"
}

rows_line_bench() {
    local b=line_bench
    row '`linkmate-cli apply`, paced 57600 bit/s: 1 / 8 / 16 / 32 stations' \
        "$(n $b apply_1_stations_median) / $(n $b apply_8_stations_median) / $(n $b apply_16_stations_median) / $(v $b apply_32_stations_median)" \
        "32 stations: $(n $b apply_32_stations_to_one) × one" "$(load $b)"
}

rows_find_bench() {
    local b=find_bench
    row "finding a Ternix-B on COM3 and a Ternix-A on COM5 among COM1..COM8 (\`FindConverters\`; $(n $b find_silent_ports_opened) of the others open and stay silent)" \
        "$(v $b find_eight_ports)" "largest: $(v $b find_eight_ports_max)" "$(load $b)"
    row 'asking the Ternix-B'"'"'s port alone (at the Ternix-A'"'"'s rate first)' \
        "$(v $b probe_ternix_b_alone)" "largest: $(v $b probe_ternix_b_alone_max)" "$(load $b)"
}

rows_exchange_gap_bench() {
    local b=exchange_gap_bench
    row 'the window during a silent Read, offscreen: largest event-loop gap / Cancel until idle' \
        "$(n $b silent_read_event_loop_gap_median) / $(v $b cancel_to_idle_median)" \
        "largest: $(n $b silent_read_event_loop_gap_max) / $(v $b cancel_to_idle_max)" "$(load $b)"
}

rows_discovery_bench() {
    local b=discovery_bench
    row 'finding the serial devices from udev records, 8 / 64 ttys' \
        "$(n $b from_udev_records_8_ttys) / $(v $b from_udev_records_64_ttys)" '' "$(load $b)"
}

rows_line_soak() {
    local b=line_soak run rate what
    for run in 0.001 0.01 0.01_echo; do
        rate="${run%_echo}"
        what="noisy line, $rate per byte both ways"
        [[ "$run" == *_echo ]] && what="$what, echoing adapter"
        row "$what, $(n $b line_soak_${run}_read_cycles) cycles: reads ok / failed / undetected; writes ok / failed (of them taken by the converter) / undetected" \
            "$(n $b line_soak_${run}_read_ok) / $(n $b line_soak_${run}_read_clean_failures) / $(n $b line_soak_${run}_read_undetected); $(n $b line_soak_${run}_write_ok) / $(n $b line_soak_${run}_write_clean_failures) ($(n $b line_soak_${run}_write_false_failures)) / $(n $b line_soak_${run}_write_undetected)" \
            "longest failure, read / write: $(n $b line_soak_${run}_read_longest_failure) / $(v $b line_soak_${run}_write_longest_failure)" "$(load $b)"
    done
}

rows_network_bench() {
    local b=network_bench l
    l="$(load $b)"
    row 'Read / Write through ser2net on loopback, RFC 2217 with `chardelay: false`, paced 57600 bit/s (on a pty: '"$(n $b pty_read_median) / $(v $b pty_write_median))" \
        "$(n $b rfc2217_read_median) / $(v $b rfc2217_write_median)" "ratio to the pty: $(n $b rfc2217_read_ratio) / $(n $b rfc2217_write_ratio)" "$l"
    row 'Read through ser2net with its default character delay' \
        "$(v $b rfc2217_read_median_chardelay)" "ratio to the pty: $(n $b rfc2217_read_ratio_chardelay)" "$l"
    row '32 converters behind one ser2net (`chardelay: false`), one Read each at once / one alone' \
        "$(n $b fleet_32_reads_at_once_median) / $(v $b fleet_one_read_median)" "ratio: $(n $b fleet_ratio)" "$l"
    row 'the same 32 on their pseudo-terminals, no server: at once / one alone' \
        "$(n $b fleet_32_reads_at_once_median_pty) / $(v $b fleet_one_read_median_pty)" "ratio: $(n $b fleet_ratio_pty)" "$l"
    row 'processor time of one of the 32 Reads at once, the tool'"'"'s own: through ser2net / on a pty' \
        "$(n $b fleet_reader_cpu_per_read) / $(v $b fleet_reader_cpu_per_read_pty)" "" "$l"
}

# A benchmark without rows of its own: each of its lines as it is.
rows_plain() {
    local b="$1" l key value
    l="$(load "$b")"
    while IFS= read -r line; do
        [[ "$line" == *": "* ]] || continue
        key="${line%%: *}"
        value="${line#*: }"
        row "\`$b\` $key" "$value" '' "$l"
    done <"$out/$b.txt"
}

table() {
    local cpu cores
    cpu="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
    cores="$(nproc)"
    echo "Written by \`scripts/figures.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): ${cpu:-unknown processor}, $cores cores;"
    echo "build folder \`$build\`. The last column is the load average (1 minute) when the benchmark"
    echo "started: with other work on the machine, times grow with it."
    echo
    echo '| what | median | 99th percentile / largest | load |'
    echo '|---|---|---|---|'
    local entry name
    for entry in "${benchmarks[@]}"; do
        read -r name _ <<<"$entry"
        if [[ " ${failed[*]} " == *" $name "* ]]; then
            row "\`$name\`" 'failed to run' '' "$(load "$name")"
        elif declare -F "rows_$name" >/dev/null; then
            "rows_$name"
        else
            rows_plain "$name"
        fi
    done
}

table >"$out/table.md"
cat "$out/table.md"
ok=true
((${#failed[@]} == 0)) || ok=false
if [[ -s "$out/missing" ]]; then
    ok=false
    echo "figures: figures the table needs were not printed:" >&2
    sed 's/^/  /' "$out/missing" >&2
fi

if ! $check && $ok; then
    begin='<!-- figures: begin (written by scripts/figures.sh) -->'
    end='<!-- figures: end -->'
    if ! grep -qF "$begin" README.md || ! grep -qF "$end" README.md; then
        echo "figures: README.md lacks the markers" >&2
        exit 1
    fi
    awk -v begin="$begin" -v end="$end" -v table="$out/table.md" '
        $0 == begin { print; while ((getline line < table) > 0) print line; skip = 1; next }
        $0 == end { skip = 0 }
        !skip { print }' README.md >"$out/README.md"
    cat "$out/README.md" >README.md
    echo "figures: README.md rewritten" >&2
fi

$ok

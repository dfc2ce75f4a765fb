#!/bin/sh
# linkmate-cli.exe under Wine (Winsock) against the (Linux) virtual converter served on TCP:
# RFC 2217 and raw TCP read, the wrong model over RFC 2217 gets the model hint, a port nobody
# listens on is refused by name.
#   cli_over_network.sh SIM WINE CLI.EXE
set -u
sim=$1 wine=$2 cli=$3
work=$(mktemp -d)
cleanup() {
    [ -n "${simpid:-}" ] && kill "$simpid" 2>/dev/null && wait "$simpid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

"$sim" --model A --listen-rfc2217 0 --listen 0 >"$work/sim.log" 2>&1 &
simpid=$!
for _ in $(seq 100); do
    [ "$(grep -c listening "$work/sim.log")" = 2 ] && break
    sleep 0.05
done
rfc=$(grep -o 'rfc2217://[^ ]*' "$work/sim.log")
raw=$(grep -o 'socket://[^ ]*' "$work/sim.log")
[ -n "$rfc" ] && [ -n "$raw" ] || { echo "the virtual converter did not listen:"; cat "$work/sim.log"; exit 1; }

failures=0
run() {  # EXPECTED-STATUS(0 or nonzero) EXPECTED-TEXT ARGS...
    want=$1 text=$2; shift 2
    "$wine" "$cli" "$@" >"$work/out.txt" 2>&1
    status=$?
    echo "--- linkmate-cli.exe $* (exit $status)"
    cat "$work/out.txt"
    if { [ "$want" = 0 ] && [ "$status" -ne 0 ]; } || { [ "$want" != 0 ] && [ "$status" -eq 0 ]; } ||
        ! grep -qF -- "$text" "$work/out.txt"; then
        echo "FAIL: expected exit $want and \"$text\""
        failures=$((failures + 1))
    fi
}
run 0 CanBTR0 --device "$rfc" read
run 0 "raw TCP" --device "$raw" read
run 1 "use --model A (Ternix-A)" --model B --device "$rfc" read
run 1 "refused the connection" --device rfc2217://127.0.0.1:1 read
[ "$failures" -eq 0 ]

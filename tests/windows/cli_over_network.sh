#!/bin/sh
# linkmate-cli.exe under Wine (Winsock) against the (Linux) virtual converter served on TCP:
# RFC 2217 and raw TCP read, the wrong model over RFC 2217 gets the model hint, a port nobody
# listens on is refused by name. Then COM numbers in the registry's port map: COM5, which the
# system does not have, leads to the server for --port, ports and find; COM6, which the system
# has (a Wine dosdevices link to a second converter on a pty), stays the system's port.
#   cli_over_network.sh SIM WINE CLI.EXE
set -u
sim=$1 wine=$2 cli=$3
work=$(mktemp -d)
mapkey='HKEY_CURRENT_USER\Software\应用程序向导生成的本地应用程序\PortMap'
link="$WINEPREFIX/dosdevices/com6"
cleanup() {
    [ -n "${simpid:-}" ] && kill "$simpid" 2>/dev/null && wait "$simpid" 2>/dev/null
    [ -n "${ptypid:-}" ] && kill "$ptypid" 2>/dev/null && wait "$ptypid" 2>/dev/null
    "$wine" reg delete "$mapkey" /f >/dev/null 2>&1
    rm -f "$link"
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

"$sim" -v >"$work/pty.log" 2>&1 &
ptypid=$!
for _ in $(seq 100); do
    [ -s "$work/pty.log" ] && break
    sleep 0.05
done
device=$(head -n 1 "$work/pty.log")
case "$device" in
    /dev/*) ln -sfn "$device" "$link" ;;
    *) echo "the second virtual converter did not start: $device"; exit 1 ;;
esac
"$wine" reg add "$mapkey" /v COM5 /t REG_SZ /d "$rfc" /f >/dev/null 2>&1
"$wine" reg add "$mapkey" /v COM6 /t REG_SZ /d "$raw" /f >/dev/null 2>&1
run 0 CanBTR0 --port 5 read
# The system's COM6 is read, not the raw TCP port its entry names.
run 0 CanBTR0 --port 6 read
grep -q "read request" "$work/pty.log" || { echo "FAIL: COM6 did not reach the system's port"; failures=$((failures + 1)); }
grep -q "raw TCP" "$work/out.txt" && { echo "FAIL: COM6 went to the server"; failures=$((failures + 1)); }
run 0 "serial device server (RFC 2217)" ports
grep -q "^COM5  $rfc " "$work/out.txt" || { echo "FAIL: ports does not list COM5 as $rfc"; failures=$((failures + 1)); }
grep "^COM6 " "$work/out.txt" | grep -qF "the system has this port" ||
    { echo "FAIL: ports does not say that COM6's entry is not used"; failures=$((failures + 1)); }
run 0 "Ternix-A (57600 bit/s)" find
grep -q "^COM5 .*Ternix-A" "$work/out.txt" || { echo "FAIL: find did not find the converter behind COM5"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]

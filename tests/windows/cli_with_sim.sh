#!/bin/sh
# linkmate-cli.exe under Wine against the (Linux) virtual converter, reached as COM<n> through a
# link in the Wine prefix's dosdevices folder.
#   cli_with_sim.sh SIM COM WINE CLI.EXE COMMAND
# Passes when the tool exits 0 and the converter saw what the command sends: a read request for
# "read", a read request and a write frame for "copy". "read" also saves the profile under a
# Chinese application name, which reg.exe must list with its 22 values, and exports it in
# regedit's form.
set -u
sim=$1 com=$2 wine=$3 cli=$4 command=$5
work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/com$com"
cleanup() {
    [ -n "${simpid:-}" ] && kill "$simpid" 2>/dev/null && wait "$simpid" 2>/dev/null
    rm -f "$link"
    rm -rf "$work"
}
trap cleanup EXIT

"$sim" -v >"$work/sim.log" 2>&1 &
simpid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.log" ] && break
    sleep 0.05
done
device=$(head -n 1 "$work/sim.log")
case "$device" in
    /dev/*) ;;
    *) echo "the virtual converter did not start: $device"; exit 1 ;;
esac
ln -sfn "$device" "$link"

app=配置工具-$$
save=""
[ "$command" = read ] && save="--save-profile $app"
# shellcheck disable=SC2086
"$wine" "$cli" --port "$com" --model A "$command" $save >"$work/out.txt" 2>&1
status=$?
echo "--- linkmate-cli.exe --port $com $command (exit $status)"
cat "$work/out.txt"
echo "--- the virtual converter"
cat "$work/sim.log"
[ "$status" -eq 0 ] || exit 1
grep -q "read request" "$work/sim.log" || { echo "no read request arrived"; exit 1; }
if [ "$command" = copy ]; then
    grep -q "write frame" "$work/sim.log" || { echo "no write frame arrived"; exit 1; }
fi
if [ "$command" = read ]; then
    grep -q "CanBTR0" "$work/out.txt" || { echo "the configuration was not printed"; exit 1; }
    key="HKEY_CURRENT_USER\\Software\\应用程序向导生成的本地应用程序\\$app"
    values=$("$wine" reg query "$key\\LINKMATE" 2>&1 | grep -c "REG_")
    "$wine" "$cli" export --app "$app" -o "$work/profile.reg" >/dev/null 2>&1
    bom=$(head -c 2 "$work/profile.reg" 2>/dev/null | od -An -tx1 | tr -d ' ')
    "$wine" reg delete "$key" /f >/dev/null 2>&1
    echo "--- reg query: $values values under the Chinese key; export begins with $bom"
    [ "$values" = 22 ] || { echo "reg query lists $values values under $key, not 22"; exit 1; }
    [ "$bom" = fffe ] || { echo "export did not write UTF-16LE with its byte-order mark ($bom)"; exit 1; }
fi
exit 0

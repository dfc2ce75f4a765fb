#!/bin/sh
# linkmate.exe under Wine against the (Linux) virtual converter as COM<n>, driven from outside
# through window messages: Connect, Read, Default and its Undo (the pages as read again), the
# interval between frames changed to 7 (typed, then stepped by the Up key, which goes on from the
# typed number, and is kept in its range), Write. The
# frame the converter received must be, byte for byte, the one the command-line tool sends for
# the same change ("set TranSpace=7") to a converter in the same state.
# With "keyboard" the operator uses the keyboard alone: Alt+C connects, Alt+R reads, Ctrl+Tab
# twice to the CAN page, Alt+D (Default: the page has no other D) and Ctrl+Z to take it back, Alt+I
# and the identifier typed over the old one, Alt+C to Acceptance Code
# (never disconnecting), Tab to the tab row, Alt+W writes; the tool's change is "set CanID=...".
#   window_with_sim.sh SIM HOST_CLI COM WINE LINKMATE.EXE DRIVER.EXE [keyboard]
set -u
sim=$1 cli=$2 com=$3 wine=$4 exe=$5 driver=$6 mode=${7:-messages}
work=$(mktemp -d)
link="$WINEPREFIX/dosdevices/com$com"
cleanup() {
    for pid in ${simpid:-} ${otherpid:-}; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -f "$link"
    rm -rf "$work"
}
trap cleanup EXIT

# The device of the converter logging to $1, once it has said it.
device_of() {
    for _ in $(seq 100); do
        [ -s "$1" ] && break
        sleep 0.05
    done
    head -n 1 "$1"
}
# The hex bytes of the first write frame in a converter's log.
write_frame() { grep "write frame" "$1" | head -n 1 | sed 's/^[^R]*RX //; s/  (.*$//'; }

"$sim" -v >"$work/sim.log" 2>&1 &
simpid=$!
device=$(device_of "$work/sim.log")
case "$device" in /dev/*) ;; *) echo "the virtual converter did not start: $device"; exit 1 ;; esac
ln -sfn "$device" "$link"

# The window's control identifiers: Connect 1014, Default 1, Read 2, Write 12321, Undo 1122, the
# interval 1012, the status line 1120, the tab row 12320; on the CAN page Baudrate 1000,
# Identifier(Tx) 1005, Acceptance Code 1032 (1034 for the first half of the pair).
if [ "$mode" = keyboard ]; then
    steps="alt C expect 1120 'Connected to COM$com' \
        alt R expect 1120 'read from the converter' answer \
        press Ctrl+Tab press Ctrl+Tab focus 1000 \
        alt D expect 1120 'factory values' press Ctrl+Z expect 1120 'Undone:' \
        alt I focus 1005 text '00 00 07 FF' expect 1120 'edited since' \
        alt C focus 1032,1034 expect 1120 'Connected to COM$com' \
        tabto 12320 \
        alt W expect 1120 'written to the converter' answer"
    change="CanID=00 00 07 FF"
else
    steps="click 1014 expect 1120 'Connected to COM$com' \
        click 2 expect 1120 'read from the converter' answer \
        click 1 expect 1120 'factory values' enabled 1122 \
        click 1122 expect 1120 'Undone:' expect 1120 'read from the converter' \
        page 0 type 1012 500 arrow 1012 Up equals 1012 10 \
        type 1012 6 arrow 1012 Up equals 1012 7 expect 1120 'edited since' \
        click 12321 expect 1120 'written to the converter' answer"
    change="TranSpace=7"
fi
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
    timeout 150 \"$wine\" \"$exe\" --port $com --model A &
    \"$wine\" \"$driver\" window 'Trellian v2.0' $steps close
    echo \$? >\"$work/driver.status\"
    wait
" >"$work/window.log" 2>&1
status=$(cat "$work/driver.status" 2>/dev/null || echo 1)
echo "--- the window, driven (exit $status)"
cat "$work/window.log"
echo "--- the virtual converter"
cat "$work/sim.log"
[ "$status" -eq 0 ] || exit 1

"$sim" -v >"$work/other.log" 2>&1 &
otherpid=$!
other=$(device_of "$work/other.log")
"$cli" --device "$other" --model A set "$change" >"$work/cli.log" 2>&1 || { cat "$work/cli.log"; exit 1; }
window_frame=$(write_frame "$work/sim.log")
cli_frame=$(write_frame "$work/other.log")
echo "--- the window wrote:   $window_frame"
echo "--- the tool wrote:     $cli_frame"
[ -n "$window_frame" ] || { echo "no write frame arrived from the window"; exit 1; }
[ "$window_frame" = "$cli_frame" ] || { echo "the frames differ"; exit 1; }
exit 0

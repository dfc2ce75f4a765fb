#!/usr/bin/env bash
# Retakes the README's screenshots: a virtual converter as COM1, the window connected and read,
# each page saved to docs/.
#   scripts/screenshots.sh            the Qt window, offscreen
#   scripts/screenshots.sh --windows  linkmate.exe under Wine on a virtual X display
#                                     (docs/windows-*.png), driven from outside
#   scripts/screenshots.sh --all      every window and box in English and Chinese, for reading
#                                     each text in its place: build/shots/, not committed
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == "--windows" ]]; then
    scripts/install-deps.sh --windows
    host=build/windows-host
    cross=build/windows
    cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINKMATE_GUI=OFF -DLINKMATE_BENCH=OFF >/dev/null
    cmake --build "$host" --target linkmate-sim
    cmake -S . -B "$cross" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" >/dev/null
    cmake --build "$cross" --target linkmate window_driver

    export WINEPREFIX="$PWD/$cross/shots-wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=C.UTF-8
    wineserver --kill 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineserver --persistent 2>/dev/null
    work=$(mktemp -d)
    trap 'kill "${simpid:-}" 2>/dev/null; wineserver --kill; rm -rf "$work"' EXIT
    wineboot --init >/dev/null 2>&1
    # Wine draws the frames itself (there is no window manager).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

    "$host/tools/linkmate-sim" >"$work/sim.log" 2>&1 &
    simpid=$!
    for _ in $(seq 100); do [[ -s "$work/sim.log" ]] && break; sleep 0.05; done
    ln -sfn "$(head -n 1 "$work/sim.log")" "$WINEPREFIX/dosdevices/com7"
    exe=$(winepath -w "$cross/app/linkmate.exe")
    out=$(winepath -w "$PWD/docs")
    # The server started above has no display: windows made under it fail with "no driver could
    # be loaded". The next one starts inside the virtual display.
    wineserver --kill
    wineserver --wait 2>/dev/null || true
    driver="$cross/tests/windows/window_driver.exe"
    for lang in en zh_CN; do
        suffix=$([[ $lang == en ]] && echo "" || echo "-$lang")
        # The status line's texts are the language's; the port's name is the same in both.
        read=$([[ $lang == en ]] && echo "expect 1120 'read from the converter'" || echo "")
        # Wine's Tahoma (behind the dialog fonts) has no Chinese: the Chinese window is drawn in
        # WenQuanYi Micro Hei instead, as Windows draws it in its own CJK font.
        fonts=""
        if [[ $lang == zh_CN ]]; then
            for face in Tahoma 'MS Shell Dlg' 'Microsoft Sans Serif'; do
                fonts+="wine reg add 'HKCU\\Software\\Wine\\Fonts\\Replacements' /v '$face' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1; "
            done
        fi
        # Twice at most: the first window of a fresh prefix has been seen not to come up.
        for attempt in 1 2; do
        xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
            $fonts
            timeout 90 wine '$exe' --port 7 --model A --lang $lang &
            wine '$driver' window 'Trellian v2.0' click 1014 expect 1120 COM7 click 2 $read answer \
                page 0 shot '$out\\windows-page-conversion$suffix.png' \
                page 1 shot '$out\\windows-page-serial$suffix.png' \
                page 2 shot '$out\\windows-page-can$suffix.png' \
                key F1 shotbox '$out\\windows-about$suffix.png' answer close && touch '$work/done'
            wait"
        [[ -e "$work/done" ]] && break
        done
        rm -f "$work/done"
    done
    ls -l docs/windows-*.png
    exit
fi

scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target linkmate-shots
if [[ "${1:-}" == "--all" ]]; then
    rm -rf build/shots
    QT_QPA_PLATFORM=offscreen build/tools/linkmate-shots --all build/shots
    exit
fi
QT_QPA_PLATFORM=offscreen build/tools/linkmate-shots docs

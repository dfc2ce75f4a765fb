#!/usr/bin/env bash
# Retakes the README's screenshots: a virtual converter as COM1, the window connected and read,
# each page saved to docs/.
#   scripts/screenshots.sh            the Qt window, offscreen
#   scripts/screenshots.sh --windows  linkmate.exe under Wine on a virtual X display, in English
#                                     and Chinese (docs/windows-*.png), driven from outside
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
    # Wine draws the frames itself (there is no window manager), and the dialog fonts borrow
    # their Chinese glyphs from WenQuanYi Micro Hei, as Windows' own fonts link to SimSun.
    cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    for font in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
            /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done

    "$host/tools/linkmate-sim" >"$work/sim.log" 2>&1 &
    simpid=$!
    for _ in $(seq 100); do [[ -s "$work/sim.log" ]] && break; sleep 0.05; done
    ln -sfn "$(head -n 1 "$work/sim.log")" "$WINEPREFIX/dosdevices/com1"
    exe=$(winepath -w "$cross/app/linkmate.exe")
    driver="$cross/tests/windows/window_driver.exe"
    for lang in en zh_CN; do
        suffix=$([[ $lang == en ]] && echo "" || echo "-$lang")
        out=$(winepath -w "$PWD/docs")
        xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
            wine '$exe' --port 1 --model A --lang $lang &
            wine '$driver' window 'Trellian v2.0' click 1014 expect 1120 COM1 click 2 answer \
                page 0 shot '$out\\windows-page-conversion$suffix.png' \
                page 1 shot '$out\\windows-page-serial$suffix.png' \
                page 2 shot '$out\\windows-page-can$suffix.png' \
                key F1 shotbox '$out\\windows-about$suffix.png' answer close
            wait"
    done
    ls -l docs/windows-*.png
    exit
fi

scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target linkmate-shots
QT_QPA_PLATFORM=offscreen build/tools/linkmate-shots docs

#!/usr/bin/env bash
# Installs the Debian packages that building and testing LINKMATE needs, when any is missing.
# Usage: scripts/install-deps.sh [--windows]
#   --windows  also what the Windows build and its tests need: the MinGW-w64 cross compiler, the
#              GoogleTest sources to build with it, Wine to run the result, icotool for the
#              window's icons, NSIS for the installer, and Wine's own fonts (the dialog font, the
#              caption buttons' symbols)
set -euo pipefail

# The tests run one window test on a virtual X server (for the selection clipboard); the
# translations need Qt's language tools, Qt's own Chinese texts and a font with Chinese glyphs;
# the icons are drawn from SVG by rsvg-convert and the AppStream description checked by appstreamcli;
# the system's reasons in Chinese come from the C library's translations (libc-l10n), read
# without a generated locale. The network tests put a real serial device server (ser2net) on
# 127.0.0.1 in front of the virtual converter.
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev clang libclang-rt-14-dev
          qt6-base-dev qt6-svg-dev fonts-liberation fonts-dejavu-core xvfb xauth dpkg-dev file
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-wqy-microhei
          nlohmann-json3-dev librsvg2-bin appstream libudev-dev libc-l10n ser2net)
if [[ "${1:-}" == "--windows" ]]; then
    packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine icoutils nsis)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the package as a user would (apt-get install ./linkmate_*.deb, without the recommended
# packages), runs its three programs, opens and closes the window on a virtual display, purges it
# and checks that none of its files is left. Needs root; CI runs it. Installs xvfb, xauth, xdotool
# and openbox for the window when they are missing.
# Usage: packaging/install_check.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
mapfile -t files < <(dpkg-deb -c "$deb" | awk '{print $6}' | sed -e 's|^\./|/|' | grep -v '/$')

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends "$deb"
linkmate-cli --version
linkmate-cli help read >/dev/null
linkmate-sim --help >/dev/null
linkmate --version
# The system's reasons in Chinese come from the C library's own catalogue, which the package
# brings; no locale is generated.
test -s /usr/share/locale/zh_CN/LC_MESSAGES/libc.mo

# The window on a virtual display with a window manager: it must open and close when the
# operator closes it (Alt+F4 asks it as the title bar's close button does), with status 0. The
# tools for this come after the package, so they cannot stand in for a dependency it lacks.
tools=()
for p in xvfb xauth xdotool openbox; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || tools+=("$p")
done
[[ ${#tools[@]} -eq 0 ]] || apt-get install -y --no-install-recommends "${tools[@]}"
home=$(mktemp -d)
HOME=$home XDG_CONFIG_HOME=$home/.config timeout 120 xvfb-run -a bash -c '
    openbox &
    linkmate &
    pid=$!
    window=$(timeout 60 xdotool search --sync --pid "$pid" | head -n 1)
    [[ -n $window ]] || { echo "the window did not open"; kill "$pid"; exit 1; }
    echo "the window opened: $(xdotool getwindowname "$window")"
    # Until the window manager has taken the window, activating it can fail: ask again.
    for _ in {1..30}; do
        timeout 10 xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null || true
        kill -0 "$pid" 2>/dev/null || break
        sleep 1
    done
    kill -0 "$pid" 2>/dev/null && { echo "the window did not close"; kill "$pid"; exit 1; }
    status=0
    wait "$pid" || status=$?
    echo "the window closed with status $status"
    exit "$status"
'
rm -rf "$home"
apt-get purge -y linkmate

left=0
for f in "${files[@]}"; do
    if [[ -e $f || -L $f ]]; then
        echo "left after the purge: $f"
        left=1
    fi
done
if dpkg-query -W -f='${Status}' linkmate 2>/dev/null | grep -q installed; then
    echo "dpkg still knows the package"
    left=1
fi
[[ $left -eq 0 ]] && echo "installed, ran and purged without a trace: ${#files[@]} files"
exit $left

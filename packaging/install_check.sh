#!/usr/bin/env bash
# Installs the package as a user would (apt-get install ./linkmate_*.deb), runs its three programs,
# purges it and checks that none of its files is left. Needs root; CI runs it.
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

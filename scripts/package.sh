#!/usr/bin/env bash
# Builds the Debian package from a release build in build-release/ (hardened, stripped):
# build-release/linkmate_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
werror=()
[[ "${CI:-}" == "true" ]] && werror=(-DLINKMATE_WERROR=ON)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINKMATE_TESTS=OFF -DLINKMATE_BENCH=OFF \
    "${werror[@]}"
cmake --build build-release
cd build-release
rm -f linkmate_*.deb
cpack -G DEB >/dev/null
ls linkmate_*.deb

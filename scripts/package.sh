#!/usr/bin/env bash
# Builds the Debian package from a release build in build-release/ (hardened, stripped):
# build-release/linkmate_<version>_amd64.deb. Two runs give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The same sources give the same package, byte for byte: the build's dates (the resources built
# into the window, every file in the package) are the changelog's last entry's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l packaging/debian/changelog -STimestamp)}
export SOURCE_DATE_EPOCH
werror=()
[[ "${CI:-}" == "true" ]] && werror=(-DLINKMATE_WERROR=ON)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLINKMATE_TESTS=OFF -DLINKMATE_BENCH=OFF \
    "${werror[@]}"
cmake --build build-release
cd build-release
rm -f linkmate_*.deb
cpack -G DEB >/dev/null
ls linkmate_*.deb

#!/usr/bin/env bash
# Proves the README's two commands on a clean system: makes a minimal Debian 12 with debootstrap,
# clones this repository's committed HEAD into it, runs scripts/test.sh there, then starts
# scripts/run.sh on a virtual display and waits for the window to come up. Everything it mounts
# is unmounted and the system removed, however the check ends.
#   scripts/fresh-check.sh [--keep]   --keep leaves the system in place and prints where
# Needs root (debootstrap, chroot, mounts). The bare system is cached as a tarball under
# ${LINKMATE_FRESH_CACHE:-/var/cache/linkmate-fresh} and unpacked afresh for every run, so a
# second run skips only the download of the base system, never a step of the README.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [[ $(id -u) -ne 0 ]]; then
    echo "fresh-check: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi
keep=false
[[ "${1:-}" == "--keep" ]] && keep=true

started=$SECONDS
phase() { echo "fresh-check: $1 ($((SECONDS - started)) s)"; }

command -v debootstrap >/dev/null || {
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
}

# The base system comes from the same Debian archive that this machine's apt uses.
mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
         grep -v -e security -e '^$' | head -n 1 || true)
if [[ -z "$mirror" ]]; then
    mirror=$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
             /etc/apt/sources.list 2>/dev/null || true)
fi
[[ -n "$mirror" ]] || { echo "fresh-check: no Debian archive found in this machine's apt sources" >&2; exit 2; }

cache=${LINKMATE_FRESH_CACHE:-/var/cache/linkmate-fresh}
base=$cache/bookworm-minbase.tar
mkdir -p "$cache"
if [[ ! -s "$base" ]]; then
    phase "making a minimal Debian 12"
    tmp=$(mktemp -d)
    debootstrap --variant=minbase bookworm "$tmp" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log" >&2; rm -rf "$tmp"; exit 1; }
    tar -C "$tmp" -cf "$base.part" . && mv "$base.part" "$base"
    rm -rf "$tmp"
else
    phase "using the cached minimal Debian 12 ($base)"
fi

root=$(mktemp -d /var/tmp/linkmate-fresh.XXXXXX)
mounts=()
cleanup() {
    local status=$?
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -l "${mounts[i]}" 2>/dev/null || true
    done
    if $keep; then
        echo "fresh-check: the system is left in $root"
    else
        rm -rf --one-file-system "$root"
    fi
    exit "$status"
}
trap cleanup EXIT
chmod 755 "$root"
tar -C "$root" -xf "$base"

# The system reaches packages the way this machine does: its sources, apt settings and resolver.
rm -f "$root"/etc/apt/sources.list
cp -a /etc/apt/sources.list.d/. "$root/etc/apt/sources.list.d/"
find "$root/etc/apt/sources.list.d" -type f ! -name '*.sources' ! -name '*.list' -delete
[[ -f /etc/apt/sources.list ]] && cp /etc/apt/sources.list "$root/etc/apt/sources.list"
cp -a /etc/apt/apt.conf.d/. "$root/etc/apt/apt.conf.d/" 2>/dev/null || true
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

for m in proc sys dev dev/pts; do
    mkdir -p "$root/$m"
    mount --bind "/$m" "$root/$m"
    mounts+=("$root/$m")
done
mkdir -p "$root/run/lock" "$root/tmp" && chmod 1777 "$root/tmp"

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive CI="${CI:-}" /bin/bash -c "$1"
}

# What a newcomer has before the README: git, and the repository.
phase "installing git"
in_root 'apt-get update -qq && apt-get install -y -qq --no-install-recommends git ca-certificates >/dev/null'
git clone -q --no-hardlinks "$repo" "$root/root/linkmate"

phase "scripts/test.sh"
in_root 'cd /root/linkmate && scripts/test.sh' > "$root/test.log" 2>&1 || {
    tail -n 60 "$root/test.log"
    echo "fresh-check: scripts/test.sh failed on the fresh system" >&2
    exit 1
}
grep -E 'tests passed|tests failed' "$root/test.log"
phase "scripts/test.sh passed"

# The window: run.sh under xvfb-run; xdotool (the check's own tool, not the README's) looks for
# the window's caption while it runs, then ends it.
phase "scripts/run.sh"
in_root 'apt-get install -y -qq --no-install-recommends xdotool >/dev/null'
in_root 'cd /root/linkmate && xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    scripts/run.sh > /root/run.log 2>&1 & run=\$!
    for _ in \$(seq 600); do
        id=\$(xdotool search --name \"Trellian\" 2>/dev/null | head -n 1)
        [[ -n \"\$id\" ]] && break
        kill -0 \$run 2>/dev/null || break
        sleep 0.2
    done
    if [[ -z \"\$id\" ]]; then cat /root/run.log; exit 1; fi
    echo \"window up: \$(xdotool getwindowname \$id)\"
    xdotool windowkill \$id
    for _ in \$(seq 50); do kill -0 \$run 2>/dev/null || break; sleep 0.1; done
    kill \$run 2>/dev/null; wait \$run 2>/dev/null; true
"' || { echo "fresh-check: the window did not come up on the fresh system" >&2; exit 1; }
phase "passed"

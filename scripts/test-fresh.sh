#!/usr/bin/env bash
# Proves the two README commands on a machine where nothing was installed by
# hand: a minimal Debian 12 root (mmdebstrap), a clean clone of the current
# commit inside it, then `make test` and a headless `make run` in it.
# A machine that already has a package hides a missing install step; this does not.
#
# The base root is cached (FOTELLO_FRESH_CACHE, default ~/.cache/fotello-fresh)
# and unpacked anew for every run. FOTELLO_FRESH_KEEP=1 keeps the root afterwards.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
cache="${FOTELLO_FRESH_CACHE:-$HOME/.cache/fotello-fresh}"
base="$cache/bookworm-base.tar"
work="$(mktemp -d "${TMPDIR:-/tmp}/fotello-fresh.XXXXXX")"
root="$work/root"
shots="$repo/build/fresh"
stage_start=0
stage() { stage_start=$(date +%s); say "$*"; }
stage_end() { say "$1: $(($(date +%s) - stage_start)) s"; }

. "$repo/scripts/fresh-root.sh"

if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=FOTELLO_FRESH_CACHE,FOTELLO_FRESH_KEEP "$0" "$@"
fi
if ! command -v mmdebstrap > /dev/null; then
    say "installing mmdebstrap"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap > /dev/null
fi

total_start=$(date +%s)
mkdir -p "$cache" "$root" "$shots"

# The same package sources apt uses here.
sources=(/etc/apt/sources.list.d/*.sources)
[ -f /etc/apt/sources.list ] && sources+=(/etc/apt/sources.list)
mirrors=()
for f in "${sources[@]}"; do
    [ -f "$f" ] && grep -q 'debian' "$f" && mirrors+=("$f")
done

if [ ! -s "$base" ]; then
    stage "making the base root (minimal Debian 12 with make, git, sudo, ca-certificates)"
    mmdebstrap --quiet --format=tar --variant=apt --include=make,git,sudo,ca-certificates \
        bookworm "$base.part" "${mirrors[@]}"
    mv "$base.part" "$base"
    stage_end "base root"
else
    say "base root from the cache: $base"
fi

stage "unpacking the root and cloning the current commit"
tar -C "$root" -xf "$base"
commit="$(git -C "$repo" rev-parse HEAD)"
git clone --quiet --no-local "$repo" "$root/work/fotello"
git -C "$root/work/fotello" checkout --quiet --detach "$commit"
mount_root
stage_end "unpack and clone ($(git -C "$repo" log -1 --format='%h %s' "$commit"))"


stage "make test in the fresh root"
in_root bash -c 'cd /work/fotello && make test'
stage_end "make test"

stage "make run in the fresh root, headless"
# The smoke's own tools come after make test, so they cannot hide a missing step.
in_root bash -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    x11-utils x11-apps procps > /dev/null'
in_root bash /work/fotello/scripts/fresh-smoke.sh /tmp/fotello-run.xwd
cp "$root/tmp/fotello-run.xwd" "$shots/make-run.xwd"
if command -v convert > /dev/null; then
    convert "xwd:$shots/make-run.xwd" "$shots/make-run.png" && rm -f "$shots/make-run.xwd"
fi
stage_end "make run"

# The Debian package: built in this root, installed on another bare one.
stage "make deb in the fresh root, then the package on a bare root"
in_root bash -c 'cd /work/fotello && make deb'
cp "$root"/work/fotello/build/fotello_*.deb "$shots/"
FOTELLO_FRESH_KEEP=0 "$repo/scripts/test-deb.sh" "$(ls "$shots"/fotello_*.deb | tail -1)"
stage_end "make deb and the package"

say "fresh machine passed in $(($(date +%s) - total_start)) s; screenshot in $shots"

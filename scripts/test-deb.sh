#!/usr/bin/env bash
# Installs the Debian package (make deb) on a bare Debian 12 root, with its
# dependencies from the mirror, starts Fotello under Xvfb from the menu
# entry's command line on a folder with a picture, hands it a file from a
# second start, then purges the package and checks nothing of ours is left.
#   scripts/test-deb.sh [build/fotello_*.deb]
# The bare root is the fresh-machine check's (scripts/test-fresh.sh) cache;
# the screenshot goes to build/fresh/deb-run.png.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
deb="${1:-$(ls "$repo"/build/fotello_*.deb 2> /dev/null | tail -1)}"
cache="${FOTELLO_FRESH_CACHE:-$HOME/.cache/fotello-fresh}"
base="$cache/bookworm-base.tar"
shots="$repo/build/fresh"
. "$repo/scripts/fresh-root.sh"
fail() { say "FAILED: $*"; exit 1; }

[ -n "$deb" ] && [ -f "$deb" ] || fail "no package: run make deb first, or name it"
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=FOTELLO_FRESH_CACHE,FOTELLO_FRESH_KEEP "$0" "$deb"
fi
[ -s "$base" ] || fail "no bare root in $base: scripts/test-fresh.sh makes it"

work="$(mktemp -d "${TMPDIR:-/tmp}/fotello-deb.XXXXXX")"
root="$work/root"

start=$(date +%s)
say "unpacking a bare root for $(basename "$deb")"
mkdir -p "$root" "$shots"
tar -C "$root" -xf "$base"
mount_root
cp "$deb" "$root/tmp/"

say "installing the package and its dependencies from the mirror"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" > /dev/null
# The check's own tools come after, so they cannot hide a missing dependency.
in_root bash -c 'cp -a /var/lib/dpkg/status /tmp/status.ours'
in_root apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils x11-apps procps > /dev/null

say "starting the menu entry's command on a folder with a picture, under Xvfb"
# One script in the root: the window's title names the folder; a second start
# with a file ends at once and leaves one window.
cat > "$root/tmp/run-entry.sh" << 'INNER'
#!/usr/bin/env bash
set -euo pipefail
entry=/usr/share/applications/io.github.fotello.Fotello.desktop
mkdir -p /tmp/fotos
cp "$(ls /usr/lib/fotello/amostras/*.jpg | head -1)" /tmp/fotos/
picture="$(ls /tmp/fotos/*.jpg | head -1)"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
[ -n "$exec_line" ] || { echo "no Exec line in $entry"; exit 1; }
Xvfb :42 -screen 0 1280x800x24 -nolisten tcp > /tmp/xvfb.log 2>&1 &
xvfb=$!
export DISPLAY=:42
# A loaded machine may take long to bring the server up: wait for it, up to a minute.
for _ in $(seq 1 300); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.2; done
xdpyinfo > /dev/null 2>&1 || { echo "Xvfb never answered:"; cat /tmp/xvfb.log; exit 1; }
# The field code %f is the file or folder the desktop hands over.
${exec_line//%f//tmp/fotos} > /tmp/fotello.log 2>&1 &
app=$!
title=""
for _ in $(seq 1 60); do
    kill -0 "$app" 2> /dev/null || { echo "fotello ended:"; cat /tmp/fotello.log; exit 1; }
    title="$(xwininfo -root -tree | grep -o '"fotos[^"]*Fotello"' || true)"
    [ -n "$title" ] && break
    sleep 1
done
[ -n "$title" ] || { echo "no window titled by its folder:"; xwininfo -root -tree; cat /tmp/fotello.log; exit 1; }
echo "window: $title"
sleep 2 # the strip's thumbnails come in just after the window
xwd -root -silent -out /tmp/deb-run.xwd
# A second start hands its file over and ends at once.
timeout 20 ${exec_line//%f/$picture}
windows="$(xwininfo -root -tree | grep -c 'Fotello"' || true)"
kill -0 "$app" || { echo "the first instance ended"; exit 1; }
echo "second start ended; windows named Fotello: $windows"
kill -TERM "$app"; wait "$app" || true
kill -TERM "$xvfb"; wait "$xvfb" || true
INNER
in_root bash /tmp/run-entry.sh
cp "$root/tmp/deb-run.xwd" "$shots/deb-run.xwd"
if command -v convert > /dev/null; then
    convert "xwd:$shots/deb-run.xwd" "$shots/deb-run.png" && rm -f "$shots/deb-run.xwd"
fi

say "purging the package"
installed="$(in_root dpkg-query -L fotello | grep -E '^/(usr|etc)/' || true)"
in_root apt-get purge -y -qq fotello > /dev/null
left=""
while read -r f; do
    [ -n "$f" ] || continue
    [ -e "$root$f" ] && [ ! -d "$root$f" ] && left+="$f"$'\n'
done <<< "$installed"
# Anything named after us outside the user's own folders and the temporary one.
left+="$(cd "$root" && find usr etc var opt -name '*fotello*' -not -path 'var/log/*' 2> /dev/null || true)"
if in_root dpkg-query -W fotello > /dev/null 2>&1 &&
    [ -n "$(in_root dpkg-query -W -f='${Status}' fotello | grep -v not-installed || true)" ]; then
    left+=$'\n'"dpkg still knows the package"
fi
[ -z "$(tr -d '[:space:]' <<< "$left")" ] || fail "left after purge:"$'\n'"$left"
say "package installed, started from its menu entry and purged cleanly in $(($(date +%s) - start)) s; screenshot in $shots"

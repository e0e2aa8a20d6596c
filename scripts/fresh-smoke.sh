#!/usr/bin/env bash
# Inside a fresh root: `make run` with no display must open the window under
# Xvfb. Waits for the window, grabs the screen into $1, then closes it.
set -euo pipefail
out="${1:-/tmp/fotello-run.xwd}"
cd /work/fotello
unset DISPLAY WAYLAND_DISPLAY
make run > /tmp/make-run.log 2>&1 &
run=$!

display="" auth="" found=0
# Whether process $1 was started, at any depth, by process $2.
descends_from() {
    local pid="$1"
    while [ -n "$pid" ] && [ "$pid" -gt 1 ]; do
        [ "$pid" = "$2" ] && return 0
        pid="$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2> /dev/null)"
    done
    return 1
}
for _ in $(seq 1 180); do
    if ! kill -0 "$run" 2> /dev/null; then
        echo "make run ended before its window appeared:"; cat /tmp/make-run.log; exit 1
    fi
    # Other X servers may run on the machine (a chroot sees every process):
    # only the one make run started counts.
    while read -r line; do
        [ -n "$line" ] || continue
        descends_from "${line%% *}" "$run" || continue
        display="$(grep -oE ' :[0-9]+' <<< "$line" | head -1 | tr -d ' ')"
        auth="$(grep -oE -- '-auth [^ ]+' <<< "$line" | cut -d' ' -f2 || true)"
        if DISPLAY="$display" XAUTHORITY="$auth" xwininfo -root -tree 2> /dev/null |
            grep -q '"Fotello"'; then
            found=1
            break
        fi
    done <<< "$(pgrep -a Xvfb || true)"
    [ "$found" = 1 ] && break
    sleep 1
done
if [ "$found" != 1 ]; then
    echo "no Fotello window after 180 s:"; cat /tmp/make-run.log; exit 1
fi
sleep 2 # the strip's thumbnails come in just after the window
DISPLAY="$display" XAUTHORITY="$auth" xwd -root -silent -out "$out"
for pid in $(pgrep -x fotello || true); do
    descends_from "$pid" "$run" && kill -TERM "$pid"
done
wait "$run" || true
echo "window seen on $display and closed"
cat /tmp/make-run.log

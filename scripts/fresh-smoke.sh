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
for _ in $(seq 1 180); do
    if ! kill -0 "$run" 2> /dev/null; then
        echo "make run ended before its window appeared:"; cat /tmp/make-run.log; exit 1
    fi
    line="$(pgrep -a Xvfb | head -1 || true)"
    if [ -n "$line" ]; then
        display="$(grep -oE ' :[0-9]+' <<< "$line" | head -1 | tr -d ' ')"
        auth="$(grep -oE -- '-auth [^ ]+' <<< "$line" | cut -d' ' -f2 || true)"
        if DISPLAY="$display" XAUTHORITY="$auth" xwininfo -root -tree 2> /dev/null |
            grep -q '"Fotello"'; then
            found=1
            break
        fi
    fi
    sleep 1
done
if [ "$found" != 1 ]; then
    echo "no Fotello window after 180 s:"; cat /tmp/make-run.log; exit 1
fi
sleep 2 # the strip's thumbnails come in just after the window
DISPLAY="$display" XAUTHORITY="$auth" xwd -root -silent -out "$out"
pkill -TERM -f '/bin/fotello$' || true
wait "$run" || true
echo "window seen on $display and closed"
cat /tmp/make-run.log

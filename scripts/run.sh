#!/usr/bin/env bash
# Starts the built Fotello in its folder of sample pictures.
set -euo pipefail
build="${1:-build}"
bin="$(cd "$build/bin" && pwd)"
cd "$bin/amostras"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Sem tela gráfica (DISPLAY/WAYLAND_DISPLAY vazios): executando sob xvfb-run."
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$bin/fotello"
fi
exec "$bin/fotello"

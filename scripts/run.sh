#!/usr/bin/env bash
# Launches the program; with no display (a server, a CI box) it runs under Xvfb.
set -euo pipefail
binary="$1"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$binary"
fi
echo "No display found: starting mimoran under xvfb-run."
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$binary"

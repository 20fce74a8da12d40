#!/usr/bin/env bash
# Pictures of the Windows edition as a person sees it: the staged program
# (build-win/stage, from `make windows`) under wine, in a real window with a
# window manager on Xvfb, driven by mouse and keyboard; the pictures are read
# from Xvfb's frame buffer. Writes docs/windows-{menu,question,dialog}.png.
set -euo pipefail
cd "$(dirname "$0")/.."
stage=$PWD/build-win/stage
[ -f "$stage/mimoran.exe" ] || { echo "run make windows first"; exit 1; }
export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$PWD/build-win/wineprefix-shots
wine=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine) ||
  { echo "wine not found (Debian: wine64)" >&2; exit 1; }
fb=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -fbdir "$fb" -nolisten tcp 3>"$fb/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$fb/display" ] && break; sleep 0.1; done
[ -s "$fb/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fb/display")"
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$fb"' EXIT
sleep 1
openbox >/dev/null 2>&1 &

shot() { sleep 1.5; convert "xwd:$fb/Xvfb_screen0" "docs/windows-$1.png"; echo "docs/windows-$1.png"; }
window() { # the visible window with this title
  for _ in $(seq 1 40); do
    w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.5
  done
  echo "no window '$1'" >&2
  exit 1
}
# Clicks the middle of a control given in twips (left, top, width, height)
# of the window's client area; 15 twips are one pixel at 100 %.
click() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + ($2 + $4 / 2) / 15)) $((Y + ($3 + $5 / 2) / 15)) click 1
}

"$wine" wineboot -i >/dev/null 2>&1 || true
"$wine" "$stage/mimoran.exe" >/dev/null 2>&1 &
menu=$(window 'Mimoran！２')
shot menu
click "$menu" 360 5880 2655 735          # お勉強の開始
calk=$(window 'Calk')
sleep 1
click "$calk" 7320 4680 1575 1335        # 学習スタート (inside its frame)
shot question
xdotool type --delay 100 7
xdotool key Return
sleep 0.5
xdotool key Return
shot dialog

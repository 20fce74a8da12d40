#!/usr/bin/env bash
# Installs the setup program silently into a fresh wine prefix, starts the
# installed program under Xvfb, waits for the menu window with its Japanese
# title, then uninstalls and checks that nothing of the program is left.
# Usage: test-installer.sh SETUP.exe
set -euo pipefail

setup=$(readlink -f "$1")
[ -f "$setup" ] || { echo "no installer at $1 (build the windows_package target first)"; exit 1; }
export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine) ||
  { echo "wine not found (Debian: wine64)" >&2; exit 1; }
work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
display=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# A display of our own for the program's window: Xvfb picks a free one and
# names it when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
display=":$(head -n1 "$work/display")"
export DISPLAY=$display

"$wine" wineboot -i >/dev/null 2>&1
wineserver -w

"$wine" "$setup" /S >/dev/null 2>&1 || fail "the installer exited with $?"
wineserver -w
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData | grep -v /Public/ | head -n1)
app_dir="$user_dir/Local/Programs/Mimoran"
shortcut="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/Mimoran！.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mimoran'

[ -f "$app_dir/mimoran.exe" ] || fail "mimoran.exe was not installed per user"
[ -f "$app_dir/platforms/qwindows.dll" ] || fail "the Windows platform plugin was not installed"
[ -f "$app_dir/fonts/ipagp.ttf" ] || fail "the fonts were not installed"
[ -f "$shortcut" ] || fail "no Start-menu entry"
"$wine" reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry"
echo "installed into ${app_dir#$WINEPREFIX/}"

# Starts the installed program and waits for its menu window; prints how long
# that took. Twice: the first start in a prefix loads everything cold.
start_program() {
  local t0 title="" w
  t0=$(date +%s%N)
  "$wine" "$app_dir/mimoran.exe" >/dev/null 2>&1 &
  for _ in $(seq 1 600); do
    for w in $(xdotool search --onlyvisible --name 'Mimoran' 2>/dev/null); do
      title=$(xprop -id "$w" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
      [ "$title" = "Mimoran！２" ] && break 2
    done
    sleep 0.1
  done
  [ "$title" = "Mimoran！２" ] || fail "the menu window did not appear (last title seen: '$title')"
  echo "the installed program showed its menu ($title) $(( ($(date +%s%N) - t0) / 1000000 )) ms after its start ($1)"
  "$wine" taskkill /IM mimoran.exe /F >/dev/null 2>&1 || true
  wineserver -w
}
start_program "first start"
start_program "second start"

"$wine" "$app_dir/uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller exited with $?"
# The uninstaller runs from a copy in the temporary folder; wait for it.
wineserver -w
for _ in $(seq 1 30); do [ -e "$app_dir" ] || break; sleep 1; done
[ ! -e "$app_dir" ] || fail "left behind: $(cd "$app_dir" && find . | head -n 20 | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start-menu entry was left behind"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "the uninstall entry was left behind"; fi
echo "uninstalled; nothing left behind"

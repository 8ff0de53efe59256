#!/bin/bash
# The pictures of the Win32 windows in docs/ (docs/win32-*.png): cross-builds the posing program
# in build-win, runs it under Wine on a private Xvfb inside one Wine desktop, and takes each
# window from the screen as the program shows it. The project it shows lives in
# C:\Projects\Demo of a Wine prefix of its own, so no folder of this machine is in a picture.
# Needs what scripts/wine-tests.sh needs, and imagemagick.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=$root/build-win
jobs=${KELBO_JOBS:-2}
export WINEPREFIX=$win/screenshots-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
export LC_ALL=C.UTF-8
unset LANGUAGE

if [[ ! -f $win/build.ninja && ! -f $win/Makefile ]]; then
  cmake -S "$root" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DKELBO_BUILD_GUI=OFF -DKELBO_BUILD_TESTS=ON -DKELBO_WERROR=ON
fi
cmake --build "$win" -j"$jobs" --target kelbo_win32_screenshots

# Xvfb picks a free display number itself and tells it.
rm -f "$win/screenshots-display"
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$win/screenshots-display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do
  [[ -s $win/screenshots-display ]] && break
  sleep 0.1
done
[[ -s $win/screenshots-display ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$win/screenshots-display")"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
# The frames' buttons are glyphs of Marlett; a prefix made without it shows letters instead.
if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
    /v 'Marlett (TrueType)' /d marlett.ttf /f >/dev/null 2>&1
fi
# One Wine desktop with Wine's own window frames: there is no window manager to draw them.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w

done_file=$WINEPREFIX/drive_c/Projects/shot.done
shots=0
while IFS= read -r line; do
  # Wine's console ends its lines with CR LF.
  line=${line%$'\r'}
  read -r word name left top right bottom <<<"$line"
  [[ $word == SHOT ]] || { echo "$line"; continue; }
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
    "$root/docs/win32-$name.png"
  echo "docs/win32-$name.png"
  shots=$((shots + 1))
  touch "$done_file"
done < <(cd "$win" && timeout 300 wine tools/kelbo_win32_screenshots.exe --gtest_color=no 2>&1)
rm -rf "$WINEPREFIX/drive_c/Projects"
echo "$shots pictures"
[[ $shots -gt 0 ]]

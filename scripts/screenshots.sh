#!/usr/bin/env bash
# Photographs the main window and every dialog for README.md and docs/, on a virtual X server with
# a plain window manager, from a scratch folder with a neutral name (/Projects/Demo) so that no
# picture shows the machine it was made on. The folder is made for the run and removed after it.
#   scripts/screenshots.sh [build-dir] [docs-dir]
set -euo pipefail
build=$(realpath "${1:-build-gui}")
docs=$(realpath "${2:-docs}")
shots=$build/tests/gui/dialogs/kelbo_dialog_shots
example=$build/examples/make_example
for tool in "$shots" "$example"; do
  [ -x "$tool" ] || { echo "no $tool: build kelbo_dialog_shots and make_example first" >&2; exit 1; }
done
for program in Xvfb openbox xdotool import; do
  command -v "$program" >/dev/null || { echo "$program is missing (scripts/deps.sh)" >&2; exit 1; }
done

scratch=/Projects/Demo
[ -e /Projects ] && { echo "/Projects exists already; not touching it" >&2; exit 1; }
display=:${KELBO_SHOT_DISPLAY:-87}
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xserver:-}" ] && kill "$xserver" 2>/dev/null || true
  rm -rf /Projects
}
trap cleanup EXIT
mkdir -p "$scratch"
"$example" "$scratch" >/dev/null

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xserver=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

# shot NAME.png TITLE ARGS...: runs the program, waits for the window titled TITLE and
# photographs it with its frame.
shot() {
  local file=$1 title=$2
  shift 2
  (cd "$scratch" && exec "$shots" "$@") &
  local program=$!
  local window=""
  for _ in $(seq 60); do
    window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | tail -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window '$title' for $file" >&2; kill "$program"; exit 1; }
  sleep 1.2
  import -window "$window" -frame "$docs/$file"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  echo "$docs/$file"
}

shot main-window.png "$scratch/demo.kbp" main 8 "$scratch" "$scratch/demo.kbp"
shot main-window-cursor.png "$scratch/demo.kbp" main 8 "$scratch" "$scratch/demo.kbp" 4
shot main-window-data.png "$scratch/demo.kbp" main 8 "$scratch" "$scratch/demo.kbp" 5
shot main-window-languages.png "$scratch/demo.kbp" main 8 "$scratch" "$scratch/demo.kbp" 2 languages
shot dialog-load.png "  BITMAP" load 8 "$scratch"
shot dialog-load-icon.png "  ICON" icon 8 "$scratch"
shot dialog-load-wave.png "  WAVE" wave 8 "$scratch"
shot dialog-load-cursor.png "  CURSOR" cursor 8 "$scratch"
shot dialog-load-data.png "  DATA" data 8 "$scratch"
shot dialog-manifest.png "  MANIFEST" manifest 8 "$scratch"
shot dialog-version.png "  VERSION" version 8 "$scratch"
shot dialog-string.png "  STRING" string 8 "$scratch"
shot dialog-languages.png "  Languages" languages 8 "$scratch"
shot dialog-help.png "KELBO  Version 2" help 8 "$scratch"
shot dialog-help-topic.png " BITMAP" topic 8 "$scratch"
shot dialog-about.png " " about 8 "$scratch"

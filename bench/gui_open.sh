#!/bin/sh
# Start-up to a usable main window: an empty start against a project of 32767 items per kind
# named on the command line. Each case runs several times; the best and the median are shown.
#   bench/gui_open.sh [build-dir] [runs]
# QT_QPA_PLATFORM defaults to offscreen; set DISPLAY and QT_QPA_PLATFORM=xcb to measure on X.
set -eu
build=${1:-build-gui}
runs=${2:-5}
kelbo=$build/kelbo
[ -x "$kelbo" ] || { echo "no $kelbo: build the kelbo target first" >&2; exit 1; }
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export KELBO_BENCH_QUIT_AFTER_SHOW=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 32767 lines in each of the four kinds, about 40 bytes a line.
python3 - "$work/big.kbp" <<'PY'
import struct, sys
out = bytearray(b"KELBO200")
for kind, ext in enumerate(("bmp", "ico", "txt", "wav")):
    out += struct.pack("<h", 32767)
    for i in range(32767):
        line = (f"{i + 1}\tHello number {i}" if ext == "txt"
                else f"ITEM{i}\t/home/user/resources/picture_{i:05}.{ext}").encode("cp1252")
        out += struct.pack("<h", len(line)) + line
open(sys.argv[1], "wb").write(out)
# The same with every string in Chinese: the file is UTF-8, as TEXT announces.
out = bytearray(b"KELBO200")
for kind, ext in enumerate(("bmp", "ico", "txt", "wav")):
    out += struct.pack("<h", 32767)
    for i in range(32767):
        line = (f"{i + 1}\t\u8d44\u6e90\u7f16\u8bd1\u5668 {i}" if ext == "txt"
                else f"ITEM{i}\t/home/user/resources/picture_{i:05}.{ext}").encode("utf-8")
        out += struct.pack("<h", len(line)) + line
text = "UTF-8".encode()
out += b"KELBOEXT" + b"TEXT" + struct.pack("<h", 1) + struct.pack("<h", len(text)) + text
open(sys.argv[1].replace("big", "cjk"), "wb").write(out)
PY

measure() {
    label=$1
    shift
    times=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        ms=$("$kelbo" "$@" 2>&1 >/dev/null | sed -n 's/^kelbo: window usable after \([0-9]*\) ms$/\1/p')
        [ -n "$ms" ] || { echo "$label: no timing reported" >&2; exit 1; }
        times="$times $ms"
        i=$((i + 1))
    done
    sorted=$(printf '%s\n' $times | sort -n)
    best=$(printf '%s\n' "$sorted" | head -n 1)
    median=$(printf '%s\n' "$sorted" | sed -n "$(((runs + 1) / 2))p")
    printf '%-34s best %5s ms   median %5s ms   (runs:%s)\n' "$label" "$best" "$median" "$times"
}

echo "platform: $QT_QPA_PLATFORM, project: $(wc -c < "$work/big.kbp") bytes, 4 x 32767 items"
measure "empty start" 
measure "32767 items per kind" "$work/big.kbp"
measure "the same, the strings in Chinese" "$work/cjk.kbp"

#!/usr/bin/env bash
# Timing of kelbo-res list and import on the .RES files of the compile benchmark's projects.
#
# Compiles the large project (see gen_project.py) in the 32-bit layout, the project of every kind
# (the large one plus cursors and custom data) in both layouts and the project of one 100 MB
# wave, then times, interleaved: kelbo-res list, kelbo-res import, and the I/O floor of the
# import: cat of the .RES followed by a copy of the files the import writes (cp -r of the files
# folder, so the floor creates as many files as the import).
# Prints medians, ratios and the peak memory of each run.
#
# usage: bench/res_bench.sh [-r REPS] [-b BUILD_DIR] [-w WORK_DIR]
#   -r  repetitions (default 5)      -b  build folder holding kelbo-res (default build-bench)
#   -w  folder of the generated data (default /tmp/kelbo-bench; shared with compile_bench.sh)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
reps=5
build="$here/../build-bench"
work=/tmp/kelbo-bench
while getopts "r:b:w:" opt; do
    case $opt in
    r) reps=$OPTARG ;;
    b) build=$OPTARG ;;
    w) work=$OPTARG ;;
    *) sed -n '2,11p' "$0"; exit 2 ;;
    esac
done
kres="$build/kelbo-res"
kelbo="$build/kelbo-compile"
for p in "$kres" "$kelbo"; do [[ -x $p ]] || { echo "no $p (build it first)" >&2; exit 1; }; done
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

mkdir -p "$work"
if [[ ! -f $work/large.kbp || ! -f $work/huge.kbp || ! -f $work/every.kbp ]]; then
    echo "Generating the projects in $work ..."
    python3 "$here/gen_project.py" "$work"
fi
cd "$work"
"$kelbo" --32 large.kbp large32.res >/dev/null
for bits in 32 16; do "$kelbo" --$bits every.kbp every$bits.res >/dev/null; done
"$kelbo" --32 huge.kbp huge32.res >/dev/null

timeit() { python3 "$here/timeit.py" "$@"; }
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "MISSED" }'; }
peak() { /usr/bin/time -f %M -o peak.txt "$@" >/dev/null 2>&1; awk '{ printf "%.1f", $1 / 1024 }' peak.txt; }

import_once() { rm -rf imp.kbp imp_files; "$kres" import "$1" imp.kbp 2>/dev/null; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
printf "%-22s %9s %9s %9s %7s %7s %9s\n" res "floor" list import "list/f" "imp/f" "files"
for res in large32.res every32.res every16.res huge32.res; do
    import_once "$res"
    files=$(find imp_files -type f | wc -l)
    declare -a f=() l=() i=()
    for ((r = 1; r <= reps; r++)); do
        rm -rf floor.bin floor_files
        sync
        read -r w _ < <(timeit -- sh -c 'cat "$1" >floor.bin && cp -r imp_files floor_files' sh "$res")
        f+=("$w")
        read -r w _ < <(timeit -o list.txt -- "$kres" list "$res")
        l+=("$w")
        rm -rf imp.kbp imp_files
        sync
        read -r w _ < <(timeit -- "$kres" import "$res" imp.kbp)
        i+=("$w")
        [[ -f imp.kbp ]] || { echo "import of $res failed" >&2; exit 1; }
    done
    fm=$(median "${f[*]}")
    lm=$(median "${l[*]}")
    im=$(median "${i[*]}")
    printf "%-22s %9s %9s %9s %7s %7s %9s   import <= 1.5 x floor: %s\n" "$res" "$fm" "$lm" "$im" \
        "$(ratio "$lm" "$fm")" "$(ratio "$im" "$fm")" "$files" "$(verdict "$(ratio "$im" "$fm")" 1.5)"
done
echo "(wall medians in ms of $reps runs, warm cache; load average before: $load_before)"
echo
echo "Peak memory (MiB, max resident set):"
for res in every32.res huge32.res; do
    printf "  list   %-12s %7s\n" "$res" "$(peak "$kres" list "$res")"
    rm -rf imp.kbp imp_files
    printf "  import %-12s %7s\n" "$res" "$(peak "$kres" import "$res" imp.kbp)"
done
rm -rf imp.kbp imp_files floor.bin floor_files list.txt peak.txt large32.res every32.res every16.res huge32.res

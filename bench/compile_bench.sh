#!/usr/bin/env bash
# Compile-time benchmark of kelbo-compile against llvm-rc and against plain copying.
#
# Generates a large project (2000 bitmaps, 2000 two-image icons, 32767 strings, 500 waves:
# about 140 MB of sources), the same with 2000 cursors and 500 custom files of 50 KB ("every")
# and a project of one 100 MB wave, then times, in the same run and
# interleaved: cat of the same source files (the I/O floor), cat followed by fsync of its output
# (for reference: a compiled .RES can be rebuilt, so kelbo-compile renames it into place without
# forcing it to disk), kelbo-compile --32 and --16, and llvm-rc on the equivalent resource
# script. Prints medians, ratios and the peak memory of each tool.
#
# usage: bench/compile_bench.sh [-r REPS] [-b BUILD_DIR] [-w WORK_DIR] [-g]
#   -r  repetitions (default 7)      -b  build folder holding kelbo-compile (default build-bench)
#   -w  folder for the generated data (default /tmp/kelbo-bench; kept between runs)
#   -g  regenerate the data even when it exists
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
reps=7
build="$here/../build-bench"
work=/tmp/kelbo-bench
regen=0
while getopts "r:b:w:g" opt; do
    case $opt in
    r) reps=$OPTARG ;;
    b) build=$OPTARG ;;
    w) work=$OPTARG ;;
    g) regen=1 ;;
    *) sed -n '2,14p' "$0"; exit 2 ;;
    esac
done

kelbo="$build/kelbo-compile"
llvmrc=$(command -v llvm-rc || command -v llvm-rc-14 || true)
[[ -x $kelbo ]] || { echo "no kelbo-compile at $kelbo (build it first)" >&2; exit 1; }
[[ -n $llvmrc ]] || { echo "llvm-rc not found (apt-get install llvm)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

mkdir -p "$work"
if [[ $regen == 1 || ! -f $work/large.kbp || ! -f $work/huge.kbp || ! -f $work/every.kbp ||
    ! -f $work/cjk.kbp ]]; then
    echo "Generating the projects in $work ..."
    python3 "$here/gen_project.py" "$work"
fi
cd "$work"
mapfile -t large_files <large.files
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
sources_mb=$(du -cm "${large_files[@]}" | tail -1 | cut -f1)

timeit() { python3 "$here/timeit.py" "$@"; }
# Each runner prints "wall_ms cpu_ms"; outputs go to files in $work.
run_cat() { timeit -o cat.bin -i large.files -- cat; }
run_catsync() { timeit -i large.files -- sh -c 'cat "$@" >catsync.bin && sync catsync.bin' sh; }
run_kelbo32() { timeit -o kelbo32.log -- "$kelbo" --32 large.kbp kelbo32.res; }
run_kelbo16() { timeit -o kelbo16.log -- "$kelbo" --16 large.kbp kelbo16.res; }
run_llvmrc() { timeit -- "$llvmrc" -no-preprocess -c 1252 /fo llvm.res large.rc; }
run_everycat() { timeit -o everycat.bin -i every.files -- cat; }
run_every32() { timeit -o every32.log -- "$kelbo" --32 every.kbp every32.res; }
run_everyllvm() { timeit -- "$llvmrc" -no-preprocess -c 1252 /fo everyllvm.res every.rc; }
run_cjk32() { timeit -o cjk32.log -- "$kelbo" --32 cjk.kbp cjk32.res; }
run_cjkllvm() { timeit -- "$llvmrc" -no-preprocess -c 65001 /fo cjkllvm.res cjk.rc; }
tools=(cat catsync kelbo32 kelbo16 llvmrc everycat every32 everyllvm cjk32 cjkllvm)
outputs=([0]=cat.bin [1]=catsync.bin [2]=kelbo32.res [3]=kelbo16.res [4]=llvm.res [5]=everycat.bin
    [6]=every32.res [7]=everyllvm.res [8]=cjk32.res [9]=cjkllvm.res)
labels=([0]="cat (I/O floor)" [1]="cat + fsync" [2]="kelbo-compile --32" [3]="kelbo-compile --16"
    [4]="llvm-rc" [5]="every: cat" [6]="every: kelbo --32" [7]="every: llvm-rc"
    [8]="cjk: kelbo --32" [9]="cjk: llvm-rc")

# Warm the page cache so every tool reads from memory.
for i in "${!tools[@]}"; do
    rm -f "${outputs[$i]}"
    "run_${tools[$i]}" >/dev/null
done
check_logs() {
    for log in kelbo32.log kelbo16.log every32.log cjk32.log; do
        grep -q "Compilation : SuccessFull" $log || { cat $log; exit 1; }
    done
}
check_logs

# Interleaved, so a change in the machine's load hits every tool alike.
declare -A wall cpu
for ((r = 1; r <= reps; r++)); do
    for i in "${!tools[@]}"; do
        rm -f "${outputs[$i]}"
        sync
        read -r w c < <("run_${tools[$i]}")
        wall[${tools[$i]}]+="$w "
        cpu[${tools[$i]}]+="$c "
    done
done
check_logs

median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { tr ' ' '\n' <<<"$1" | grep . | sort -n | head -1; }
declare -A med cmed
echo
echo "Large project: ${#large_files[@]} source files, $sources_mb MB; $reps runs each, warm cache"
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-20s %9s %8s %9s   %s\n" tool "wall med" "wall min" "cpu med" "wall of each run (ms)"
for i in "${!tools[@]}"; do
    t=${tools[$i]}
    med[$t]=$(median "${wall[$t]}")
    cmed[$t]=$(median "${cpu[$t]}")
    printf "%-20s %9s %8s %9s   %s\n" "${labels[$i]}" "${med[$t]}" "$(minimum "${wall[$t]}")" \
        "${cmed[$t]}" "${wall[$t]}"
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "MISSED" }'; }
row() { # label, numerator tool, denominator tool, target (optional)
    local w c
    w=$(ratio "${med[$2]}" "${med[$3]}")
    c=$(ratio "${cmed[$2]}" "${cmed[$3]}")
    printf "%-26s %6s %6s   %s\n" "$1" "$w" "$c" "${4:+<= $4 $(verdict "$w" "$4")}"
}
printf "%-26s %6s %6s   %s\n" ratio wall cpu "target (on wall)"
row "kelbo32 / cat" kelbo32 cat 1.30
row "kelbo16 / cat" kelbo16 cat
row "kelbo32 / llvm-rc" kelbo32 llvmrc 0.50
row "kelbo32 / (cat + fsync)" kelbo32 catsync
row "kelbo16 / (cat + fsync)" kelbo16 catsync
row "every: kelbo32 / cat" every32 everycat 1.30
row "cjk: kelbo32 / cat" cjk32 cat 1.30
row "cjk: kelbo32 / llvm-rc" cjk32 cjkllvm 0.50
row "every: kelbo32 / llvm-rc" every32 everyllvm 0.50

# Both 32-bit writers pad the same way, so equal resources give equal sizes.
echo
echo "Output sizes: kelbo32 $(stat -c %s kelbo32.res), llvm-rc $(stat -c %s llvm.res), kelbo16 $(stat -c %s kelbo16.res) bytes"

peak() { # peak resident set in MiB of one run
    /usr/bin/time -f %M -o peak.txt "$@" >/dev/null
    awk '{ printf "%.1f", $1 / 1024 }' peak.txt
}
echo
echo "Peak memory (MiB, max resident set):"
limit=64
for project in large every huge; do
    for bits in 32 16; do
        rm -f "peak$bits.res"
        m=$(peak "$kelbo" --$bits $project.kbp peak$bits.res)
        printf "  kelbo-compile --%s %-6s %7s   < %s %s\n" "$bits" "$project" "$m" "$limit" \
            "$(awk -v v="$m" -v t="$limit" 'BEGIN { print (v < t) ? "met" : "MISSED" }')"
    done
    rm -f peakllvm.res
    printf "  llvm-rc          %-6s %7s\n" "$project" "$(peak "$llvmrc" -no-preprocess -c 1252 /fo peakllvm.res $project.rc)"
done
# Chinese text has no 16-bit form.
m=$(peak "$kelbo" --32 cjk.kbp peak32.res)
printf "  kelbo-compile --32 %-6s %7s   < %s %s\n" cjk "$m" "$limit" \
    "$(awk -v v="$m" -v t="$limit" 'BEGIN { print (v < t) ? "met" : "MISSED" }')"
rm -f cjk32.res cjkllvm.res everycat.bin every32.res everyllvm.res cat.bin catsync.bin kelbo32.res kelbo16.res kelbo32n.res llvm.res peak32.res peak16.res peakllvm.res peak.txt

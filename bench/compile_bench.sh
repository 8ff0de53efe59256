#!/usr/bin/env bash
# Compile-time benchmark of kelbo-compile against llvm-rc and against plain copying.
#
# Generates a large project (2000 bitmaps, 2000 two-image icons, 32767 strings, 500 waves:
# about 140 MB of sources) and a project of one 100 MB wave, then times, in the same run and
# interleaved: cat of the same source files (the I/O floor), cat followed by fsync of its output
# (the floor for a writer that makes its file durable), kelbo-compile --32 and --16, and llvm-rc
# on the equivalent resource script. Prints medians, ratios and the peak memory of each tool.
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
if [[ $regen == 1 || ! -f $work/large.kbp || ! -f $work/huge.kbp ]]; then
    echo "Generating the projects in $work ..."
    python3 "$here/gen_project.py" "$work"
fi
cd "$work"
mapfile -t large_files <large.files
sources_mb=$(du -cm "${large_files[@]}" | tail -1 | cut -f1)

# Each runner writes OUT.res / OUT.bin in $work; output goes to a log, not the terminal.
run_cat() { cat "${large_files[@]}" >cat.bin; }
run_catsync() { cat "${large_files[@]}" >catsync.bin && sync catsync.bin; }
run_kelbo32() { "$kelbo" --32 large.kbp kelbo32.res >kelbo32.log; }
run_kelbo16() { "$kelbo" --16 large.kbp kelbo16.res >kelbo16.log; }
run_llvmrc() { "$llvmrc" -no-preprocess -c 1252 /fo llvm.res large.rc; }
tools=(cat catsync kelbo32 kelbo16 llvmrc)
outputs=([0]=cat.bin [1]=catsync.bin [2]=kelbo32.res [3]=kelbo16.res [4]=llvm.res)

# Warm the page cache so every tool reads from memory.
for i in "${!tools[@]}"; do
    rm -f "${outputs[$i]}"
    "run_${tools[$i]}"
done
grep -q "Compilation : SuccessFull" kelbo32.log || { cat kelbo32.log; exit 1; }
grep -q "Compilation : SuccessFull" kelbo16.log || { cat kelbo16.log; exit 1; }

declare -A times
for ((r = 1; r <= reps; r++)); do
    for i in "${!tools[@]}"; do
        rm -f "${outputs[$i]}"
        sync
        start=$EPOCHREALTIME
        "run_${tools[$i]}"
        end=$EPOCHREALTIME
        times[${tools[$i]}]+="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f ", (b - a) * 1000 }')"
    done
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { tr ' ' '\n' <<<"$1" | grep . | sort -n | head -1; }
declare -A med
echo
echo "Large project: ${#large_files[@]} source files, $sources_mb MB; $reps runs each, warm cache"
printf "%-22s %10s %10s   %s\n" tool "median ms" "min ms" "all runs (ms)"
labels=([0]="cat (I/O floor)" [1]="cat + fsync" [2]="kelbo-compile --32" [3]="kelbo-compile --16" [4]="llvm-rc")
for i in "${!tools[@]}"; do
    t=${tools[$i]}
    med[$t]=$(median "${times[$t]}")
    printf "%-22s %10s %10s   %s\n" "${labels[$i]}" "${med[$t]}" "$(minimum "${times[$t]}")" "${times[$t]}"
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
printf "%-26s %6s   %s\n" ratio value target
r32cat=$(ratio "${med[kelbo32]}" "${med[cat]}")
r32llvm=$(ratio "${med[kelbo32]}" "${med[llvmrc]}")
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "MISSED" }'; }
printf "%-26s %6s   <= 1.30 %s\n" "kelbo32 / cat" "$r32cat" "$(verdict "$r32cat" 1.30)"
printf "%-26s %6s\n" "kelbo16 / cat" "$(ratio "${med[kelbo16]}" "${med[cat]}")"
printf "%-26s %6s   <= 0.50 %s\n" "kelbo32 / llvm-rc" "$r32llvm" "$(verdict "$r32llvm" 0.50)"
printf "%-26s %6s\n" "kelbo32 / (cat + fsync)" "$(ratio "${med[kelbo32]}" "${med[catsync]}")"
printf "%-26s %6s\n" "kelbo16 / (cat + fsync)" "$(ratio "${med[kelbo16]}" "${med[catsync]}")"

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
for project in large huge; do
    for bits in 32 16; do
        rm -f "peak$bits.res"
        m=$(peak "$kelbo" --$bits $project.kbp peak$bits.res)
        printf "  kelbo-compile --%s %-6s %7s   < %s %s\n" "$bits" "$project" "$m" "$limit" \
            "$(awk -v v="$m" -v t="$limit" 'BEGIN { print (v < t) ? "met" : "MISSED" }')"
    done
    rm -f peakllvm.res
    printf "  llvm-rc          %-6s %7s\n" "$project" "$(peak "$llvmrc" -no-preprocess -c 1252 /fo peakllvm.res $project.rc)"
done
rm -f cat.bin catsync.bin kelbo32.res kelbo16.res llvm.res peak32.res peak16.res peakllvm.res peak.txt

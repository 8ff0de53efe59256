#!/usr/bin/env bash
# kelbo-res patch of a program carrying a 100 MB payload after its last section (an installer's
# layout), against cat of the same program (the I/O floor: the payload must be copied either
# way). A patch into another file is compared with cat; a patch in place, whose new bytes are
# forced to disk before they replace the program, with cat followed by fsync. The program is a
# mingw-w64 build with old resources before .reloc and a non-zero
# checksum, so the patch adds a section, moves the payload and sums the whole output. Times are
# interleaved; prints medians, the ratio and the peak memory of each.
#
# usage: bench/patch_bench.sh [-r REPS] [-b BUILD_DIR] [-w WORK_DIR]
#   -r  repetitions (default 7)      -b  build folder holding kelbo-res (default build-bench)
#   -w  folder for the generated program (default /tmp/kelbo-patch-bench)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
reps=7
build="$here/../build-bench"
work=/tmp/kelbo-patch-bench
while getopts "r:b:w:" opt; do
    case $opt in
    r) reps=$OPTARG ;;
    b) build=$OPTARG ;;
    w) work=$OPTARG ;;
    *) sed -n '2,10p' "$0"; exit 2 ;;
    esac
done
res="$build/kelbo-res"
[[ -x $res ]] || { echo "no kelbo-res at $res (build it first)" >&2; exit 1; }
command -v x86_64-w64-mingw32-gcc >/dev/null || { echo "x86_64-w64-mingw32-gcc not found" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time not found (apt-get install time)" >&2; exit 1; }

mkdir -p "$work"
cd "$work"
if [[ ! -f installer.exe ]]; then
    echo 'int main(void) { return 0; }' >prog.c
    printf 'LANGUAGE 9, 1\n1 VERSIONINFO FILEVERSION 1,0,0,0 {}\nKEEP RCDATA { "old" }\n' >old.rc
    x86_64-w64-mingw32-windres old.rc -O coff -o old.o
    x86_64-w64-mingw32-gcc -O1 -s prog.c old.o -o prog.exe
    head -c 100000000 /dev/urandom >payload
    cat prog.exe payload >installer.exe
    rm payload
    printf 'LANGUAGE 0, 0\n1 VERSIONINFO FILEVERSION 2,0,0,0 {}\n1 24 { "<assembly/>" }\n' >new.rc
    x86_64-w64-mingw32-windres new.rc -O res -o from.res
fi

timeit() { python3 "$here/timeit.py" "$@"; }
peak() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1; }
cats=() syncs=() patches=() inplace=() catcpu=() patchcpu=()
for ((i = 0; i < reps; i++)); do
    rm -f out.exe
    read -r wall cpu < <(timeit -o out.exe -- cat installer.exe)
    cats+=("$wall") catcpu+=("$cpu")
    rm -f out.exe
    syncs+=("$(timeit -- sh -c 'cat installer.exe >out.exe && sync out.exe' | cut -d' ' -f1)")
    rm -f out.exe
    read -r wall cpu < <(timeit -- "$res" patch installer.exe from.res -o out.exe)
    patches+=("$wall") patchcpu+=("$cpu")
    cp installer.exe inplace.exe
    inplace+=("$(timeit -- "$res" patch inplace.exe from.res | cut -d' ' -f1)")
done
rm -f inplace.exe
cmp -s <(tail -c 100000000 out.exe) <(tail -c 100000000 installer.exe) ||
    { echo "the payload did not come back byte for byte" >&2; exit 1; }
catmem=$(peak sh -c 'exec cat installer.exe >out.exe')
patchmem=$(peak "$res" patch installer.exe from.res -o out.exe)
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
cat_ms=$(median "${cats[@]}") sync_ms=$(median "${syncs[@]}")
patch_ms=$(median "${patches[@]}") inplace_ms=$(median "${inplace[@]}")
printf 'program of %d MB, %d repetitions, load %s\n' $(($(stat -c %s installer.exe) / 1000000)) \
    "$reps" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-34s %8s ms  cpu %6s ms  peak %7s KB\n' "cat" "$cat_ms" "$(median "${catcpu[@]}")" \
    "$catmem" "kelbo-res patch -o OUTPUT" "$patch_ms" "$(median "${patchcpu[@]}")" "$patchmem"
printf '%-34s %8s ms\n' "cat + fsync (reference)" "$sync_ms" \
    "kelbo-res patch in place (fsync)" "$inplace_ms"
awk -v p="$patch_ms" -v c="$cat_ms" -v i="$inplace_ms" -v s="$sync_ms" 'BEGIN {
    printf "ratio patch -o / cat: %.2f   in place / cat + fsync: %.2f\n", p / c, i / s }'

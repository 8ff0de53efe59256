#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a bounded time.
# Fails when any target crashes, leaks, times out or exceeds the memory limits; prints the
# executions of each target. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
set -uo pipefail

seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELBO_FUZZ_BUILD:-$root/build-fuzz}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(project_decode project_load icon_directory bitmap_header compile recent_files xml_check manifest_lines res_reader pe_reader)
fi

cxx=${KELBO_FUZZ_CXX:-$(command -v clang++-14 || command -v clang++)}
if [ -z "$cxx" ]; then
  echo "fuzz.sh: clang++ not found" >&2
  exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
  -DKELBO_BUILD_GUI=OFF -DKELBO_FUZZ=ON >/dev/null || exit 1
programs=()
for t in "${targets[@]}"; do programs+=("fuzz_$t"); done
cmake --build "$build" -j2 --target "${programs[@]}" || exit 1

# A small quarantine keeps ASan's own memory from counting against the RSS limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Inputs found while fuzzing go to a scratch corpus; the committed seeds stay as they are.
work=$(mktemp -d /tmp/kelbo-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
printf '%-16s %12s %8s  %s\n' target executions exec/s result
for t in "${targets[@]}"; do
  mkdir -p "$work/$t" "$work/artifacts-$t"
  log="$work/$t.log"
  # The shared collection of another compiler's bitmap and icon edge cases seeds those readers
  # too, when it is beside the source tree.
  extra=()
  peer=$root/../shared/peercorpus/constructed
  if [[ -d $peer && ($t == icon_directory || $t == bitmap_header) ]]; then
    extra=("$peer")
  fi
  "$build/tests/fuzz/fuzz_$t" "$work/$t" "$root/tests/fuzz/corpus/$t" "${extra[@]}" \
    -max_total_time="$seconds" -rss_limit_mb=256 -malloc_limit_mb=128 -timeout=10 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/artifacts-$t/" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ $rc -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $rc)"
    failed=1
    mkdir -p "$build/crashes/$t"
    cp "$work/artifacts-$t"/* "$build/crashes/$t/" 2>/dev/null
    grep -m1 -A30 -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error|check failed' \
      "$log" >&2
    echo "fuzz.sh: $t failed; the input is kept in $build/crashes/$t" >&2
  fi
  printf '%-16s %12s %8s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "$result"
done
exit $failed

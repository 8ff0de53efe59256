#!/bin/bash
# The Windows build of the core and kelbo-compile, proved under Wine:
#   1. cross-builds build-win with mingw-w64 (kelbo.exe's resources compiled by build-wl's
#      kelbo-compile) and runs its test programs under Wine, the Win32 windows on a private Xvfb;
#   2. compiles one project on Linux (build-wl) and under Wine, in both layouts, and requires
#      byte-identical .RES files;
#   3. links the 32-bit .RES into a Windows program that reads every resource back through the
#      Win32 API (GetFileVersionInfoW for the version information; the manifest is the one
#      Windows starts it with) and compares it with its source.
# Ends with "wine: N passed, M failed" and a non-zero status when anything failed.
# Needs: g++-mingw-w64-x86-64, binutils-mingw-w64-x86-64, wine, wine64, googletest, cmake, g++,
# xvfb, python3.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=$root/build-win
wl=$root/build-wl
jobs=${KELBO_JOBS:-2}
triple=x86_64-w64-mingw32
export WINEPREFIX=${WINEPREFIX:-$win/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine names Unix files in the locale's charset and takes the ANSI code page from the locale:
# C.UTF-8 (always present) gives UTF-8 names and code page 1252, whatever the caller's locale.
export LC_ALL=C.UTF-8
unset LANGUAGE

passed=0
failed=0
failures=()
pass() { passed=$((passed + ${2:-1})); echo "wine: ok   $1"; }
fail() {
  failed=$((failed + ${2:-1}))
  failures+=("$1")
  echo "wine: FAIL $1"
}
finish() {
  for f in "${failures[@]}"; do echo "wine: failed: $f"; done
  echo "wine: $passed passed, $failed failed"
  wineserver -k >/dev/null 2>&1 || true
  [[ -n ${xvfb_pid:-} ]] && kill "$xvfb_pid" 2>/dev/null
  [[ $failed -eq 0 && $passed -gt 0 ]]
  exit $?
}
step() { echo "wine: --- $*"; }
compiler() { command -v "$triple-$1-posix" || command -v "$triple-$1"; }
runwine() { timeout 600 wine "$@"; }

for tool in cmake wine "$triple-windres"; do
  if ! command -v "$tool" >/dev/null; then
    fail "missing tool: $tool"
    finish
  fi
done
cxx_win=$(compiler g++) || { fail "missing tool: $triple-g++"; finish; }

# The Win32 windows need an X server: a private Xvfb, which picks a free display number itself.
xvfb_pid=
start_x() {
  command -v Xvfb >/dev/null || return 1
  mkdir -p "$win"
  rm -f "$win/xvfb-display"
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$win/xvfb-display" 2>/dev/null &
  xvfb_pid=$!
  local i
  for i in $(seq 50); do
    [[ -s $win/xvfb-display ]] && break
    sleep 0.1
  done
  [[ -s $win/xvfb-display ]] || return 1
  export DISPLAY=":$(head -1 "$win/xvfb-display")"
}

step "Wine prefix $WINEPREFIX"
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
if start_x; then
  # One Wine desktop window holds every window: without a window manager, Wine would wait for
  # each X window it hides to be withdrawn.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
else
  fail "no X server (Xvfb) for the Win32 windows"
fi

# kelbo-compile for this machine first: the cross build runs it to compile kelbo.exe's own
# resources.
step "Linux build of kelbo-compile (build-wl)"
mkdir -p "$wl"
if ! { cmake -S "$root" -B "$wl" -DKELBO_BUILD_GUI=OFF -DKELBO_BUILD_TESTS=OFF -DKELBO_WERROR=ON &&
  cmake --build "$wl" -j"$jobs" --target kelbo-compile kelbo-res; } >"$wl/wine-tests-build.log" 2>&1; then
  tail -30 "$wl/wine-tests-build.log"
  fail "build-wl"
  finish
fi

step "cross build (build-win)"
mkdir -p "$win"
if ! cmake -S "$root" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -DKELBO_BUILD_GUI=OFF -DKELBO_BUILD_TESTS=ON -DKELBO_WERROR=ON \
  -DKELBO_HOST_COMPILE="$wl/kelbo-compile" >"$win/wine-tests-configure.log" 2>&1; then
  cat "$win/wine-tests-configure.log"
  fail "configure build-win"
  finish
fi
if cmake --build "$win" -j"$jobs" >"$win/wine-tests-build.log" 2>&1; then
  pass "build-win, all targets"
else
  grep -E -A6 'error:' "$win/wine-tests-build.log" | head -60
  fail "build-win, all targets (log: $win/wine-tests-build.log)"
  # Build every target that can be built, so one broken target does not hide the rest.
  keepgoing=(-k)
  [[ -f $win/build.ninja ]] && keepgoing=(-k 0)
  cmake --build "$win" -j"$jobs" -- "${keepgoing[@]}" >>"$win/wine-tests-build.log" 2>&1
  if ! cmake --build "$win" -j"$jobs" --target kelbo-compile kelbo kelbo_core_tests kelbo_win_tests \
    >>"$win/wine-tests-build.log" 2>&1; then
    fail "build-win, kelbo-compile and the test programs"
    finish
  fi
fi

step "test programs under Wine"
mapfile -t testexes < <(cd "$win" && find tests -name '*.exe' | sort)
for exe in "${testexes[@]}"; do
  log=$win/${exe//\//_}.log
  (cd "$win" && runwine "$exe" --gtest_color=no) >"$log" 2>&1
  status=$?
  ok=$(grep -oP '^\[  PASSED  \] \K[0-9]+' "$log" | tail -1)
  bad=$(grep -oP '^\[  FAILED  \] \K[0-9]+(?= tests?, listed below)' "$log" | tail -1)
  grep -E '^\[  (FAILED|SKIPPED) \]|Failure$|^[^[].*:[0-9]+: ' "$log" | head -40
  if [[ -z $ok && -z $bad ]]; then
    tail -20 "$log"
    fail "$exe: no result, exit status $status (log: $log)"
  else
    [[ -n $ok ]] && pass "$exe: $ok tests" "$ok"
    [[ -n $bad ]] && fail "$exe: $bad tests (log: $log)" "$bad"
    if [[ -z $bad && $status -ne 0 ]]; then fail "$exe: exit status $status"; fi
  fi
done

step "test data"
data="$WINEPREFIX/drive_c/kelbo data"
windata='C:\kelbo data'
rm -rf "$data"
mkdir -p "$data"
if ! "${CXX:-c++}" -std=c++20 -O1 -Wall -Wextra -Werror -fsanitize=address,undefined \
  -fno-sanitize-recover=all "$root/tests/win/make_test_data.cpp" \
  -o "$win/make_test_data" || ! "$win/make_test_data" "$data" "$windata"; then
  fail "make_test_data"
  finish
fi

step "same project, same bytes: Linux and Wine"
for bits in 16 32; do
  kbp=$([[ $bits == 16 ]] && echo 16 || echo)
  "$wl/kelbo-compile" --$bits "$data/linux$kbp.kbp" "$data/linux$bits.res" >"$data/linux$bits.log" 2>&1
  lstatus=$?
  (cd "$data" && runwine "$win/kelbo-compile.exe" --$bits "$windata\\win$kbp.kbp" \
    "$windata\\win$bits.res") >"$data/win$bits.log" 2>&1
  wstatus=$?
  if [[ $lstatus -ne 0 || $wstatus -ne 0 ]]; then
    cat "$data/linux$bits.log" "$data/win$bits.log"
    fail "$bits-bit compile: Linux status $lstatus, Wine status $wstatus"
    continue
  fi
  if cmp "$data/linux$bits.res" "$data/win$bits.res"; then
    pass "$bits-bit .RES identical on Linux and Windows ($(stat -c %s "$data/win$bits.res") bytes)"
  else
    fail "$bits-bit .RES differs between Linux and Windows"
  fi
  # The logs agree too, apart from the output path and the line ends Windows writes.
  if diff <(tr -d '\r' <"$data/linux$bits.log" | grep -v "^Compilation $bits bits : ") \
    <(tr -d '\r' <"$data/win$bits.log" | grep -v "^Compilation $bits bits : "); then
    pass "$bits-bit compile log the same on Linux and Windows"
  else
    fail "$bits-bit compile log differs between Linux and Windows"
  fi
  if tr -d '\r' <"$data/win$bits.log" | grep -qxF "Compilation $bits bits : $windata\\win$bits.res"; then
    pass "$bits-bit log names the Windows output path"
  else
    fail "$bits-bit log does not name $windata\\win$bits.res"
  fi
done

# A bare project name is taken in the current folder; an output in a drive root gets one "\".
(cd "$data" && runwine "$win/kelbo-compile.exe" win.kbp 'C:\KELBO-ROOT.RES') >"$data/bare.log" 2>&1
if [[ $? -eq 0 ]] && cmp "$data/win32.res" "$WINEPREFIX/drive_c/KELBO-ROOT.RES"; then
  pass "bare project name and output in the drive root"
else
  cat "$data/bare.log"
  fail "bare project name and output in the drive root"
fi
rm -f "$WINEPREFIX/drive_c/KELBO-ROOT.RES"
if ls -A "$WINEPREFIX/drive_c" | grep -q '\.tmp$'; then
  fail "temporary files left in the drive root"
fi

# On a Windows whose ANSI code page is not 1252 (here 1251, Russian) a path with é must still
# reach the program: é is a Windows-1252 character, only the ANSI code page lacks it.
mkdir -p "$win/locale"
if [[ -d $win/locale/ru_RU.UTF-8 ]] ||
  localedef -i ru_RU -f UTF-8 "$win/locale/ru_RU.UTF-8" >/dev/null 2>&1; then
  cp "$data/win.kbp" "$data/projé.kbp"
  (cd "$data" && env LOCPATH="$win/locale" LC_ALL=ru_RU.UTF-8 timeout 600 \
    wine "$win/kelbo-compile.exe" "$windata\\projé.kbp" "$windata\\cp1251.res") \
    >"$data/cp1251.log" 2>&1
  if [[ $? -eq 0 ]] && cmp -s "$data/win32.res" "$data/cp1251.res"; then
    pass "a Windows-1252 path on the command line under ANSI code page 1251"
  else
    cat "$data/cp1251.log"
    fail "a Windows-1252 path on the command line under ANSI code page 1251"
  fi
else
  echo "wine: skipped the code page 1251 check (localedef has no ru_RU sources)"
fi

step "consumer program: the 32-bit .RES linked into a Windows program"
if ! "$triple-windres" -J res -O coff "$data/win32.res" "$data/resources.o" >"$data/windres.log" 2>&1; then
  cat "$data/windres.log"
  fail "windres cannot convert the 32-bit .RES"
  finish
fi
if ! "$cxx_win" -std=c++20 -O1 -Wall -Wextra -Werror -static -I"$data" -I"$root/tests/win" \
  "$root/tests/win/consumer.cpp" "$data/resources.o" -o "$data/consumer.exe" \
  -lgdi32 -luser32 -lversion; then
  fail "consumer build"
  finish
fi
(cd "$data" && runwine ./consumer.exe) >"$data/consumer.log" 2>&1
cstatus=$?
grep '^FAIL' "$data/consumer.log" | head -40
summary=$(grep -oP '^consumer: \K[0-9]+ checks, [0-9]+ failed' "$data/consumer.log")
if [[ -z $summary ]]; then
  tail -20 "$data/consumer.log"
  fail "consumer: no result, exit status $cstatus"
else
  checks=${summary%% *}
  bad=$(grep -oP '[0-9]+(?= failed)' <<<"$summary")
  [[ $((checks - bad)) -gt 0 ]] && pass "consumer: $((checks - bad)) resource checks" $((checks - bad))
  [[ $bad -gt 0 ]] && fail "consumer: $bad resource checks (log: $data/consumer.log)" "$bad"
fi

step "three languages: Linux and Wine compile them alike, the loader finds each"
"$wl/kelbo-compile" --32 "$data/lang.kbp" "$data/lang-linux.res" >"$data/lang-linux.log" 2>&1
lstatus=$?
(cd "$data" && runwine "$win/kelbo-compile.exe" --32 "$windata\\winlang.kbp" "$windata\\lang.res") \
  >"$data/lang-win.log" 2>&1
wstatus=$?
if [[ $lstatus -eq 0 && $wstatus -eq 0 ]] && cmp -s "$data/lang-linux.res" "$data/lang.res"; then
  pass "a project in three languages compiles to the same bytes on Linux and Windows"
else
  cat "$data/lang-linux.log" "$data/lang-win.log"
  fail "three-language compile on Linux and Windows"
fi
if "$triple-windres" -J res -O coff "$data/lang.res" "$data/lang-resources.o" >"$data/windres-lang.log" 2>&1 &&
  "$cxx_win" -std=c++20 -O1 -Wall -Wextra -Werror -static -I"$data" \
    "$root/tests/win/consumer_lang.cpp" "$data/lang-resources.o" -o "$data/consumer_lang.exe" -lversion; then
  (cd "$data" && runwine ./consumer_lang.exe) >"$data/consumer_lang.log" 2>&1
  grep '^FAIL' "$data/consumer_lang.log" | head -40
  summary=$(grep -oP '^consumer_lang: \K[0-9]+ checks, [0-9]+ failed' "$data/consumer_lang.log")
  if [[ -z $summary ]]; then
    tail -20 "$data/consumer_lang.log"
    fail "consumer_lang: no result"
  else
    checks=${summary%% *}
    bad=$(grep -oP '[0-9]+(?= failed)' <<<"$summary")
    [[ $((checks - bad)) -gt 0 ]] && pass "consumer_lang: $((checks - bad)) checks in three languages" $((checks - bad))
    [[ $bad -gt 0 ]] && fail "consumer_lang: $bad checks (log: $data/consumer_lang.log)" "$bad"
  fi
else
  cat "$data/windres-lang.log"
  fail "consumer_lang build"
fi

step "kelbo-res.exe: list and import under Wine"
"$wl/kelbo-res" list "$data/linux32.res" >"$data/list-linux.txt" 2>&1
# Both write UTF-8 to a pipe.
(cd "$data" && runwine "$win/kelbo-res.exe" list "$windata\\win32.res") 2>&1 | tr -d '\r' \
  >"$data/list-win.txt"
if [[ -s $data/list-linux.txt ]] && cmp -s "$data/list-linux.txt" "$data/list-win.txt"; then
  pass "kelbo-res list gives the same listing on Linux and Windows"
else
  diff "$data/list-linux.txt" "$data/list-win.txt" | head -20
  fail "kelbo-res list differs between Linux and Windows"
fi
rm -rf "$data/back.kbp" "$data/back_files"
(cd "$data" && runwine "$win/kelbo-res.exe" import "$windata\\win32.res" "$windata\\back.kbp" &&
  runwine "$win/kelbo-compile.exe" --32 "$windata\\back.kbp" "$windata\\back32.res") \
  >"$data/import-win.log" 2>&1
if [[ $? -eq 0 ]] && cmp -s "$data/win32.res" "$data/back32.res"; then
  pass "kelbo-res import then kelbo-compile gives the same bytes under Windows"
else
  tail -20 "$data/import-win.log"
  fail "kelbo-res import round trip under Windows"
fi

step "Windows zip (cpack -G ZIP)"
rm -f "$win"/kelbo-*-windows-x64.zip
if (cd "$win" && cpack -G ZIP >"$win/cpack.log" 2>&1); then
  listing=$(python3 -m zipfile -l "$win"/kelbo-*-windows-x64.zip)
  missing=""
  for f in kelbo.exe kelbo-compile.exe kelbo-res.exe README.txt; do
    grep -qE "^$f " <<<"$listing" || missing+=" $f"
  done
  if [[ -z $missing ]]; then
    pass "zip holds kelbo.exe, kelbo-compile.exe, kelbo-res.exe and README.txt"
  else
    echo "$listing"
    fail "zip lacks$missing"
  fi
else
  tail -20 "$win/cpack.log"
  fail "cpack -G ZIP"
fi

finish

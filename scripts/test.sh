#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the normal build, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, then the robustness and Windows
# checks that have their own scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kelbo_install_deps test

jobs="$(nproc)"
werror=OFF
[ "${CI:-}" = true ] && werror=ON
export QT_QPA_PLATFORM=offscreen

# A cache keyed on paths below the checkout serves any clone of it.
export CCACHE_BASEDIR="$PWD"

echo "== source format (clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELBO_WERROR=$werror
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELBO_WERROR=$werror \
  -DKELBO_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== scripts/package-tests.sh"
bash scripts/package-tests.sh
# Half a minute per target keeps the whole run well inside CI's time; longer runs by hand.
echo "== scripts/fuzz.sh"
bash scripts/fuzz.sh 30
echo "== scripts/wine-tests.sh"
bash scripts/wine-tests.sh
echo "All test stages passed."

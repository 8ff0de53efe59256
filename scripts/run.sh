#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelbo on the bundled example project (or on the
# project given as the first argument). Without a display it compiles the example instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
kelbo_install_deps run

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELBO_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"

project="${1:-$PWD/build/examples/demo.kbp}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: compiling $project with kelbo-compile instead of opening the window."
  exec build/kelbo-compile "$project" build/examples/demo.res
fi
exec build/kelbo "$project"

#!/usr/bin/env bash
# Installs the Debian 12 packages Kelbo needs to build and test, when any is missing.
# Sourced by run.sh and test.sh; `kelbo_install_deps run` installs only what the program needs.
set -euo pipefail

KELBO_RUN_PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
  xvfb x11-utils libcli11-dev
)
KELBO_TEST_PACKAGES=(
  libgtest-dev googletest llvm poppler-utils time imagemagick
  clang clang-format libclang-rt-14-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 locales python3
  # kelbo-res patch: 32-bit test programs, the pefile reader and signing as oracles
  gcc-mingw-w64-i686 binutils-mingw-w64-i686 python3-pefile osslsigncode
  desktop-file-utils libxml2-utils lintian shared-mime-info man-db
  # scripts/screenshots.sh: a plain window frame around each picture, and finding the window
  openbox xdotool
)

kelbo_install_deps() {
  local want=("${KELBO_RUN_PACKAGES[@]}")
  [ "${1:-test}" = test ] && want+=("${KELBO_TEST_PACKAGES[@]}")
  local missing=()
  for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

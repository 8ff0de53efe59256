#!/usr/bin/env bash
# The packages, proved: builds the .deb from the build folder, unpacks it into a scratch root,
# runs the installed programs on the example project, and validates the desktop entry, the MIME
# type, the man pages and the package itself. Also checks that `cmake --install` lays out the
# same tree. Ends with "package: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() { # name, command...
  local name=$1
  shift
  if out=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "package: ok   $name"
  else
    failed=$((failed + 1))
    echo "package: FAIL $name"
    echo "$out" | sed 's/^/    /' | head -40
  fi
}

(cd "$build" && cpack -G DEB >/dev/null) || { echo "package: cpack failed"; exit 1; }
deb=$(ls -t "$build"/kelbo_*.deb | head -1)
dpkg -x "$deb" "$scratch/pkgroot"
usr=$scratch/pkgroot/usr
example=$build/examples/demo.kbp

check "lintian reports no error" sh -c "! lintian --no-tag-display-limit '$deb' 2>/dev/null | grep '^E:'"
check "dependencies come from the libraries" sh -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6'"
check "installed kelbo-compile compiles the example" \
  sh -c "'$usr/bin/kelbo-compile' --32 '$example' '$scratch/demo32.res' | grep -q 'Compilation : SuccessFull'"
check "installed kelbo-compile refuses the example's manifest in 16 bits" \
  sh -c "! '$usr/bin/kelbo-compile' --16 '$example' '$scratch/demo16.res' >'$scratch/16.log' &&
    grep -q 'Manifest resources do not exist in 16 bits-Mode' '$scratch/16.log' && test ! -e '$scratch/demo16.res'"
check "installed kelbo-res lists the compiled file" \
  sh -c "'$usr/bin/kelbo-res' list '$scratch/demo32.res' | head -1 | grep -qx 'LAYOUT 32'"
check "installed kelbo-res imports it again" \
  sh -c "'$usr/bin/kelbo-res' import '$scratch/demo32.res' '$scratch/back.kbp' && test -s '$scratch/back.kbp'"
check "the program is in the package" test -x "$usr/bin/kelbo"
check "desktop entry is valid" desktop-file-validate "$usr/share/applications/kelbo.desktop"
check "MIME type is well-formed" xmllint --noout "$usr/share/mime/packages/kelbo.xml"
check "MIME database takes the type" sh -c "cp -r '$usr/share/mime' '$scratch/mime' &&
  update-mime-database '$scratch/mime' && grep -q 'application/x-kelbo-project' '$scratch/mime/types'"
for size in 16 32 48 256; do
  check "icon ${size}x$size" sh -c "identify -format '%wx%h' '$usr/share/icons/hicolor/${size}x$size/apps/kelbo.png' | grep -qx '${size}x$size'"
done
for page in kelbo kelbo-compile kelbo-res; do
  check "man page $page renders without warnings" sh -c "
    out=\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l '$usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null)
    [ -z \"\$out\" ] || { echo \"\$out\"; exit 1; }
    LC_ALL=C.UTF-8 man -l '$usr/share/man/man1/$page.1.gz' | grep -q NAME"
done
check "cmake --install lays out the same files" bash -c "
  cmake --install '$build' --prefix '$scratch/prefix/usr' >/dev/null &&
  diff <(cd '$scratch/prefix' && find . -type f | sort) <(cd '$scratch/pkgroot' && find . -type f | sort)"
echo "package: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

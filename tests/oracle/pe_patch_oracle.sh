#!/bin/bash
# kelbo-res patch on programs that mingw-w64 links (64-bit and 32-bit, the resource section
# followed by .reloc or last), read back by pefile (pe_check.py) and llvm-readobj: FROM's
# resources there, the rest kept, a payload after the sections kept byte for byte, a signed
# program refused and then signed again, a second patch changing nothing, and an import of the
# patched program compiling back to FROM's .RES.
# Usage: pe_patch_oracle.sh KELBO_RES KELBO_COMPILE PROJECT.kbp; exit 77 when a tool is missing.
set -uo pipefail
res=$1 compile=$2 project=$3
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3 # Debian's, where python3-pefile is
for tool in x86_64-w64-mingw32-gcc x86_64-w64-mingw32-windres llvm-readobj osslsigncode openssl; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
"$python" -c 'import pefile' 2>/dev/null || { echo "skipped: python3-pefile missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cat >prog.c <<'EOF'
#include <windows.h>
int main(void) { wchar_t s[64]; return LoadStringW(NULL, 1, s, 64) > 0 ? 0 : 1; }
EOF
cat >old.rc <<'EOF'
LANGUAGE 9, 1
STRINGTABLE { 1 "old one" 5 "old five" }
1 VERSIONINFO FILEVERSION 1,0,0,0 { BLOCK "VarFileInfo" { VALUE "Translation", 0x409, 1200 } }
KEEP RCDATA { "kept as it was" }
EOF
"$compile" --32 "$project" from.res >compile.log || { cat compile.log; fail "kelbo-compile"; exit 1; }

head -c 20000 /dev/urandom >big.bin
echo 'BIG RCDATA "big.bin"' >big.rc
x86_64-w64-mingw32-windres big.rc -O res -o big.res || fail "windres big.res"

programs=()
for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
  command -v $triple-gcc >/dev/null || { echo "note: no $triple-gcc, its programs skipped"; continue; }
  $triple-windres old.rc -O coff -o old-$triple.o || fail "$triple windres"
  # With and without old resources; stripped and not (a COFF symbol table after the sections).
  $triple-gcc -O1 prog.c old-$triple.o -o $triple-old.exe || fail "$triple link"
  $triple-gcc -O1 -s prog.c -o $triple-bare.exe || fail "$triple link"
  programs+=($triple-old.exe $triple-bare.exe)
done

for p in "${programs[@]}"; do
  out=patched-$p
  if ! "$res" patch "$p" "$project" -o "$out" >"$p.log" 2>&1; then
    cat "$p.log"
    fail "$p: patch"
    continue
  fi
  grep -q '^Program : ' "$p.log" || fail "$p: no Program line"
  "$python" "$here/pe_check.py" "$out" "$p" from.res || fail "$p: pe_check"
  llvm-readobj --coff-resources "$out" >"$out.readobj" 2>&1 || fail "$p: llvm-readobj"
  want=$(grep -c . <("$res" list "$out" | tail -n +2))
  got=$(grep -oP 'Total Number of Resources: \K[0-9]+' "$out.readobj" | tail -1)
  [[ $want == "$got" ]] || fail "$p: llvm-readobj counts $got resources, kelbo-res $want"
  cp "$out" again.exe
  "$res" patch again.exe "$project" >/dev/null || fail "$p: second patch"
  cmp -s "$out" again.exe || fail "$p: a second patch changed the program"
  # Patched again from a larger FROM: the section, now last, grows in place.
  "$res" patch again.exe big.res >/dev/null || fail "$p: patch from a larger FROM"
  sections() { "$python" -c 'import pefile,sys; print(len(pefile.PE(sys.argv[1]).sections))' "$1"; }
  [[ $(sections "$out") == $(sections again.exe) ]] || fail "$p: a section was added, not reused"
done

# A payload after the last section comes back byte for byte.
p=x86_64-w64-mingw32-old.exe
head -c 100 /dev/urandom >payload
cat $p payload >payload.exe
"$res" patch payload.exe from.res >/dev/null || fail "payload: patch"
cmp -s <(tail -c 100 payload.exe) payload || fail "payload: the 100 bytes after the sections changed"
"$python" "$here/pe_check.py" payload.exe $p from.res >/dev/null || fail "payload: pe_check"

# Signed: refused as it is; unsigned with --unsign, then signed again, and the signature holds.
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj /CN=kelbo-test >/dev/null 2>&1 || fail "openssl certificate"
osslsigncode sign -certs cert.pem -key key.pem -in $p -out signed.exe >/dev/null || fail "sign"
cp signed.exe before.exe
if "$res" patch signed.exe from.res >refused.log 2>&1; then fail "a signed program was patched"; fi
grep -q 'the program is signed.*--unsign' refused.log || { cat refused.log; fail "refusal message"; }
cmp -s signed.exe before.exe || fail "a refused patch changed the program"
"$res" patch signed.exe from.res --unsign >unsign.log 2>&1 || { cat unsign.log; fail "--unsign"; }
grep -q '^removed the signature' unsign.log || fail "--unsign does not say it removed the signature"
"$python" "$here/pe_check.py" signed.exe $p from.res >/dev/null || fail "unsigned: pe_check"
osslsigncode sign -certs cert.pem -key key.pem -in signed.exe -out resigned.exe >/dev/null ||
  fail "signing the patched program"
osslsigncode verify -CAfile cert.pem -in resigned.exe >verify.log 2>&1 ||
  { tail -5 verify.log; fail "osslsigncode verify"; }

# Round trip: the program's resources imported and compiled give FROM's resources (a program
# orders names before numbers, so the .RES may list them in another order).
"$res" patch x86_64-w64-mingw32-bare.exe from.res -o rt.exe >/dev/null || fail "round trip: patch"
"$res" import rt.exe back.kbp >import.log 2>&1 || { cat import.log; fail "round trip: import"; }
"$compile" --32 back.kbp back.res >/dev/null || fail "round trip: compile"
"$python" "$here/pe_check.py" --same-resources back.res from.res ||
  fail "round trip: the compiled import differs from FROM"

[[ $failed == 0 ]] && echo "pe_patch_oracle: ${#programs[@]} programs, all checks passed"
exit $failed

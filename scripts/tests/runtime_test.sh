#!/usr/bin/env bash
# The runtime choice of runtime.sh, with both answers, and the width of a
# Windows program read from its PE header.
set -uo pipefail
source "$(dirname "$0")/../runtime.sh"
dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
failures=0
expect() {  # what, got, want
  if [ "$2" != "$3" ]; then echo "FAIL $1: got '$2', want '$3'"; failures=$((failures + 1)); fi
}

# A program the kernel refuses as it refuses i386 programs on 64-bit-only
# machines: the probe with another ELF machine (ARM).
write_i386_probe "$dir/foreign" 28
( "$dir/foreign" ) >/dev/null 2>"$dir/err"; rc=$?
expect "refused program's status" "$rc" 126
grep -q "Exec format error" "$dir/err" || { echo "FAIL: no 'Exec format error' in: $(cat "$dir/err")"; failures=$((failures + 1)); }
expect "runtime when i386 programs are refused" "$(wine_arch_for_probe "$dir/foreign")" win64
expect "runtime when the probe runs" "$(wine_arch_for_probe /bin/true)" win32
expect "runtime of the real probe" "$(WEBCAM_WINE_ARCH='' detect_wine_arch)" "$(wine_arch_for_probe "$(write_i386_probe "$dir/probe"; echo "$dir/probe")")"
expect "forced 32-bit" "$(WEBCAM_WINE_ARCH=win32 detect_wine_arch)" win32
expect "forced 64-bit" "$(WEBCAM_WINE_ARCH=win64 detect_wine_arch)" win64
WEBCAM_WINE_ARCH=win16 detect_wine_arch >/dev/null 2>&1; expect "bad override" "$?" 2

# PE headers: "MZ", e_lfanew 0x40, then "PE\0\0" and the machine field.
pe() {  # path machine-bytes
  { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00'; printf "$2"; } >"$1"
}
pe "$dir/a.exe" '\x4c\x01'; expect "i386 image" "$(pe_wine_arch "$dir/a.exe")" win32
pe "$dir/b.exe" '\x64\x86'; expect "x86-64 image" "$(pe_wine_arch "$dir/b.exe")" win64
pe "$dir/c.exe" '\x64\xaa'; expect "ARM64 image" "$(pe_wine_arch "$dir/c.exe")" ""
printf '#!/bin/sh\n' >"$dir/d.sh"; expect "not a PE image" "$(pe_wine_arch "$dir/d.sh")" ""
expect "missing file" "$(pe_wine_arch "$dir/none")" ""

[ $failures -eq 0 ] && echo "runtime choice: all checks passed"
exit $((failures > 0))

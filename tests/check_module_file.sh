#!/usr/bin/env bash
# Checks the built module file's binary interface: its one export, its name in
# the export directory, and what it imports.
#   check_module_file.sh native MODULE
#   check_module_file.sh windows MODULE OBJDUMP
set -euo pipefail
kind=$1 module=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$kind" = native ]; then
  defined=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
  [ "$defined" = "ENTRYPOINT1 " ] || fail "defined dynamic symbols: $defined"
  undefined=$(nm -D --undefined-only "$module")
  for name in WAllocBuffer WFreeBuffer AboutDlgProc; do
    grep -qw "$name" <<<"$undefined" || fail "$name is not imported"
  done
  echo "native module exports ENTRYPOINT1 only and imports the host's three routines"
  exit 0
fi

objdump=$3
dump=$("$objdump" -p "$module")
grep -q 'Name[[:space:]].*Forkline\.dll' <<<"$dump" || fail "export directory does not name Forkline.dll"
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | tail -n +2 | grep -o '\] .*' | cut -c3- | tr '\n' ' ')
[ "$exports" = "ENTRYPOINT1 " ] || fail "exports: $exports"
dlls=$(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | sort | tr '\n' ' ')
[ "$dlls" = "KERNEL32.dll PLUGIN.dll USER32.dll msvcrt.dll " ] || fail "imported DLLs: $dlls"
plugin=$(sed -n '/DLL Name: PLUGIN.dll/,/^$/p' <<<"$dump" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}' | sort |
  tr '\n' ' ')
[ "$plugin" = "AboutDlgProc WAllocBuffer WFreeBuffer " ] || fail "imports from PLUGIN.dll: $plugin"
echo "Forkline.dll exports ENTRYPOINT1 only; imports: $dlls; from PLUGIN.dll: $plugin"

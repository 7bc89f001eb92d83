#!/usr/bin/env bash
# Checks the built Korvane.8BI as the editor and Windows see it: it exports
# exactly ENTRYPOINT, AboutProc and OptionProc under those plain names,
# imports only KERNEL32, USER32 and msvcrt (no compiler runtime DLL), and
# carries the property list as resource PIPL 16000 in US English (1033) with
# the dialogs and strings, and holds its description string in its read-only
# data; the host reads the property list, and the module carries no version
# resource. pnghost.exe carries one, as Windows programs do. With a Linux
# build directory given, the compiled resources of the two builds must be the
# same bytes.
# usage: scripts/check-win32-dll.sh WIN32_BUILD_DIR [LINUX_BUILD_DIR]
set -euo pipefail
win32_build=$1
linux_build=${2:-}
dll=$win32_build/bin/Korvane.8BI
dump=$(i686-w64-mingw32-objdump -p "$dll")
problems=0
problem() { echo "check-win32-dll: $*" >&2; problems=$((problems + 1)); }

exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/\[ *[0-9]+\]/ {print $NF}' | sort | tr '\n' ' ')
[ "$exports" = "AboutProc ENTRYPOINT OptionProc " ] || problem "exports are '$exports'"

imports=$(awk '/DLL Name:/ {print toupper($3)}' <<<"$dump" | sort | tr '\n' ' ')
[ "$imports" = "KERNEL32.DLL MSVCRT.DLL USER32.DLL " ] || problem "imports are '$imports'"

# The resource tree: type PIPL by name, then id 16000 (0x3e80), language 0x409.
resources=$(sed -n '/Resource Directory section/,$p' <<<"$dump")
grep -A3 'name: .*PIPL' <<<"$resources" | grep -q 'ID: 0x003e80' || problem "no PIPL resource 16000"
grep -A5 'name: .*PIPL' <<<"$resources" | grep -q 'ID: 0x000409' || problem "the PIPL resource is not language 1033"
grep -q 'Entry: ID: 0x000005' <<<"$resources" || problem "no dialog resources"
grep -q 'Entry: ID: 0x000006' <<<"$resources" || problem "no string table"

i686-w64-mingw32-objcopy -O binary --only-section=.rdata "$dll" /dev/stdout | grep -a 'PNG Format Plugin Module' >/dev/null ||
  problem "the description string is not in the read-only data"

grep -q 'Entry: ID: 0x000010' <<<"$resources" && problem "the module carries a version resource"

# pnghost.exe's version resource: type 16, with the texts Explorer shows.
host=$win32_build/bin/pnghost.exe
grep -q 'Entry: ID: 0x000010' <<<"$(i686-w64-mingw32-objdump -p "$host" | sed -n '/Resource Directory section/,$p')" ||
  problem "pnghost.exe carries no version resource"
host_texts=$(strings -el "$host")
for key in FileDescription FileVersion ProductName ProductVersion LegalCopyright Comments; do
  grep -qx "$key" <<<"$host_texts" || problem "pnghost.exe's version resource has no $key"
done

if [ -n "$linux_build" ]; then
  cmp -s "$win32_build/korvane_resources.res" "$linux_build/korvane_resources.res" ||
    problem "the compiled resources differ between the Linux and Windows builds"
fi

if [ "$problems" -ne 0 ]; then exit 1; fi
echo "check-win32-dll: $dll exports $exports; imports $imports; PIPL 16000/1033 present; pnghost.exe's version resource present"

#!/usr/bin/env bash
# Checks the built Korvane.8BI as the editor and Windows see it: it exports
# exactly ENTRYPOINT, AboutProc and OptionProc under those plain names,
# imports only KERNEL32, USER32 and msvcrt (no compiler runtime DLL), and
# carries the property list as resource PIPL 16000 in US English (1033) with
# the dialogs and strings, and holds its description string in its read-only
# data; the host reads the property list, and the module carries no version
# resource. pnghost.exe carries one, as Windows programs do, and imports no
# DLL beyond the system's own it has always needed. With a Linux build
# directory given, the compiled resources of the two builds must be the same
# bytes.
#
# Then both shipped files as a security reviewer and a packager meet them, in
# the package (made from the build unless --package names one, signed or
# not), printed as a table, every line required:
#   ASLR, with relocations   DYNAMIC_BASE, relocations kept (not stripped)
#   DEP (NX)                 NX_COMPAT
#   writable and executable  no section both
#   stack cookies            functions that check the image's own cookie, in
#                            our code, libpng and zlib wherever linked; every
#                            object of the build compiled with
#                            -fstack-protector-strong
#   exception handlers       NO_SEH, and no code that registers a handler
#                            (writes %fs:0)
#   signature                a SHA-256 Authenticode signature whose digest
#                            matches, or unsigned and signable in one step
#                            (osslsigncode installed for package.sh --sign)
#   bill of materials        scripts/check-sbom.py passes on the package
# usage: scripts/check-win32-dll.sh WIN32_BUILD_DIR [LINUX_BUILD_DIR] [--package ZIP]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
package=""
arguments=()
while [ $# -gt 0 ]; do
  case $1 in
    --package) package=${2:?check-win32-dll: --package needs a zip}; shift 2 ;;
    *) arguments+=("$1"); shift ;;
  esac
done
win32_build=${arguments[0]:?usage: check-win32-dll.sh WIN32_BUILD_DIR [LINUX_BUILD_DIR] [--package ZIP]}
linux_build=${arguments[1]:-}
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
host_imports=$(i686-w64-mingw32-objdump -p "$host" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
[ "$host_imports" = "COMCTL32.DLL COMDLG32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL " ] ||
  problem "pnghost.exe imports '$host_imports'"

if [ -n "$linux_build" ]; then
  cmp -s "$win32_build/korvane_resources.res" "$linux_build/korvane_resources.res" ||
    problem "the compiled resources differ between the Linux and Windows builds"
fi

# The build's own objects: every one compiled with stack cookies.
unprotected=$(python3 -c '
import json, sys
for entry in json.load(open(sys.argv[1])):
    if "-fstack-protector-strong" not in entry["command"].split():
        print(entry["file"])' "$win32_build/compile_commands.json")
[ -z "$unprotected" ] || problem "compiled without -fstack-protector-strong: $(tr '\n' ' ' <<<"$unprotected")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "$package" ]; then
  package=$("$here/package.sh" "$win32_build" "$work/dist")
fi
unzip -q "$package" -d "$work/unpacked" || { problem "cannot unpack $package"; exit 1; }
shipped=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d)

# writable_code FILE: the names of FILE's sections that are writable and
# executable both, from the section headers.
writable_code() {
  python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
header = struct.unpack_from("<I", data, 0x3C)[0]
count, optional = struct.unpack_from("<H", data, header + 6)[0], struct.unpack_from("<H", data, header + 20)[0]
for i in range(count):
    entry = header + 24 + optional + 40 * i
    if struct.unpack_from("<I", data, entry + 36)[0] & 0xA0000000 == 0xA0000000:
        print(data[entry:entry + 8].rstrip(b"\0").decode())' "$1"
}

# Each row's verdict for a file: "yes", or "NO: why"; a NO is a problem.
declare -A verdict
row_names=("ASLR, with relocations" "DEP (NX)" "writable and executable sections: none" "stack cookies"
  "exception handlers declared" "signature" "bill of materials")
judge() {
  local file=$1 row=$2 result=$3
  verdict[$file/$row]=$result
  [[ $result == yes* ]] || problem "$file: $row: $result"
}

for file in Korvane.8BI pnghost.exe; do
  path=$shipped/$file
  headers=$(i686-w64-mingw32-objdump -p "$path")
  flags=$((16#$(awk '$1 == "DllCharacteristics" {print $2}' <<<"$headers")))
  characteristics=$(awk '$1 == "Characteristics" {print $2}' <<<"$headers")
  relocations=$(awk '/Base Relocation Directory/ {print $4}' <<<"$headers")
  if ((flags & 0x40)) && ! ((characteristics & 0x1)) && [ "$((16#${relocations:-0}))" -gt 0 ]; then
    judge "$file" "ASLR, with relocations" yes
  else
    judge "$file" "ASLR, with relocations" "NO: DllCharacteristics $(printf %#x "$flags"), relocations ${relocations:-none}"
  fi
  if ((flags & 0x100)); then judge "$file" "DEP (NX)" yes; else judge "$file" "DEP (NX)" "NO: not NX_COMPAT"; fi
  both=$(writable_code "$path" | tr '\n' ' ')
  if [ -z "$both" ]; then
    judge "$file" "writable and executable sections: none" yes
  else
    judge "$file" "writable and executable sections: none" "NO: $both"
  fi

  code=$(i686-w64-mingw32-objdump -d "$path")
  # The functions that check the cookie: some of our C++ (the rest of ours is
  # in compile_commands.json), of libpng, and zlib's inflate_table (which has
  # two local arrays) wherever they are linked in.
  checking=$(awk '/^[0-9a-f]+ <.*>:$/ {name = $2} /call .*<___stack_chk_fail>/ {print name}' <<<"$code" | sort -u)
  ours=$(grep -c '^<__Z' <<<"$checking" || true)
  libpng=$(grep -c '^<_png' <<<"$checking" || true)
  guard=$(i686-w64-mingw32-nm "$path" | awk '$3 == "___stack_chk_guard" {print $2}')
  missing=""
  [ "$ours" -gt 0 ] || missing+=" our code"
  if grep -q '<_png_create_read_struct>:' <<<"$code" && [ "$libpng" -eq 0 ]; then missing+=" libpng"; fi
  if grep -q '<_inflate_table>:' <<<"$code" && ! grep -qx '<_inflate_table>:' <<<"$checking"; then missing+=" zlib"; fi
  if [ "$guard" != D ]; then
    judge "$file" "stack cookies" "NO: the cookie ___stack_chk_guard is not the image's own initialised data"
  elif [ -n "$missing" ]; then
    judge "$file" "stack cookies" "NO: no function checks the cookie in$missing"
  elif [ -n "$unprotected" ]; then
    judge "$file" "stack cookies" "NO: objects of the build compiled without -fstack-protector-strong"
  else
    judge "$file" "stack cookies" "yes ($(wc -l <<<"$checking") functions, $ours of our C++, $libpng of libpng)"
  fi

  registrations=$(grep -c -E ',%fs:0x0$' <<<"$code" || true)
  if ((flags & 0x400)) && [ "$registrations" -eq 0 ]; then
    judge "$file" "exception handlers declared" "yes (NO_SEH)"
  else
    judge "$file" "exception handlers declared" \
      "NO: DllCharacteristics $(printf %#x "$flags"), $registrations instructions that register a handler"
  fi

  security=$(awk '/Security Directory/ {print $4}' <<<"$headers")
  if [ "$((16#${security:-0}))" -gt 0 ]; then
    signature=$(osslsigncode verify -in "$path" 2>&1 || true)
    current=$(awk -F': *' '/^Current message digest/ {print $2}' <<<"$signature")
    calculated=$(awk -F': *' '/^Calculated message digest/ {print $2}' <<<"$signature")
    if grep -q '^Message digest algorithm *: SHA256' <<<"$signature" && [ -n "$current" ] && [ "$current" = "$calculated" ]; then
      judge "$file" "signature" "yes (SHA-256 Authenticode)"
    else
      judge "$file" "signature" "NO: the signature is not SHA-256 or does not match the file"
    fi
  elif command -v osslsigncode >/dev/null; then
    judge "$file" "signature" "yes (unsigned; signable: scripts/package.sh --sign)"
  else
    judge "$file" "signature" "NO: unsigned, and osslsigncode is not installed to sign it"
  fi
done

if sbom=$(python3 "$here/check-sbom.py" "$shipped" 2>&1); then
  for file in Korvane.8BI pnghost.exe; do judge "$file" "bill of materials" "yes (SPDX 2.3, checked)"; done
else
  echo "$sbom" >&2
  for file in Korvane.8BI pnghost.exe; do judge "$file" "bill of materials" "NO: scripts/check-sbom.py failed"; done
fi

echo "check-win32-dll: $(basename "$package") as a reviewer meets it:"
printf '| | Korvane.8BI | pnghost.exe |\n|---|---|---|\n'
for row in "${row_names[@]}"; do
  printf '| %s | %s | %s |\n' "$row" "${verdict[Korvane.8BI/$row]}" "${verdict[pnghost.exe/$row]}"
done

if [ "$problems" -ne 0 ]; then exit 1; fi
echo "check-win32-dll: $dll exports $exports; imports $imports; PIPL 16000/1033 present; pnghost.exe's version resource present; every line above yes"

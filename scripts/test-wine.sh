#!/usr/bin/env bash
# Builds the module for 32-bit Windows and tests it under Wine:
#  1. that a second build in another folder gives the same Korvane.8BI and
#     pnghost.exe (large-address-aware) and the same package, which holds
#     what it should; the DLL's exports, imports and resources, and both
#     files as a reviewer meets them, bill of materials included
#     (scripts/check-win32-dll.sh); a package signed with a throwaway
#     certificate, verified by osslsigncode;
#  2. the end-to-end suite (e2e_tests.exe) against the DLL, and the stack
#     cookies and checked copies of a test-only probe that overflows on
#     purpose;
#  3. the same pnghost commands with the Linux build and with the Windows
#     build under Wine (probe, open --pam and save of every PngSuite image,
#     saves with each option, missing host services, netpbm saves and
#     opens with --out and --json, saves over existing files, pipl, about), whose
#     files must match byte for byte and whose printed results must agree;
#     a save that is cancelled or lacks a host service must leave no file;
#  4. hostile files (many texts, huge declared images, endless image data)
#     opened by the Windows pnghost with the outcome a 32-bit host must give;
#  5. (run first) pnghost.exe view driven with keystrokes on an X server of its own
#     (scripts/test-view-wine.sh): images opened from the menu must show on
#     the screen, and a save through the options dialog must come out right.
# Ends with a line "N passed, M failed"; exits non-zero when one failed.
#
# usage: scripts/test-wine.sh [LINUX_BUILD_DIR [WIN32_BUILD_DIR]]   (default: build build-win32)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh
linux_build=${1:-build}
win32_build=${2:-build-win32}
suite=$(cd "${PNGSUITE_DIR:-../shared/pngsuite}" && pwd)

scripts/setup-win32.sh
[ -x "$linux_build/bin/pnghost" ] || scripts/build.sh "$linux_build"
scripts/build-win32.sh "$win32_build"

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

# First, before this run's Wine server starts without a display: the viewer
# needs one of its own on an X server.
echo "== the viewer under Xvfb"
started=$SECONDS
if scripts/test-view-wine.sh "$win32_build" "$linux_build"; then pass; else fail "pnghost.exe view under Xvfb"; fi
echo "   ($((SECONDS - started)) s)"

# What ships is the same bytes from any folder: a second build of only the
# module and pnghost.exe, in a folder of another name and length, must give
# the same files, and neither may name the folders it was built from.
echo "== a second build in another folder"
started=$SECONDS
again=$win32_build-again
KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build-win32.sh "$again" >/dev/null
for shipped in Korvane.8BI pnghost.exe; do
  if cmp "$win32_build/bin/$shipped" "$again/bin/$shipped"; then pass; else fail "$shipped differs between two builds"; fi
  if grep -q -a -F -e "$PWD" -e "$(cd "$win32_build" && pwd)" "$win32_build/bin/$shipped"; then
    fail "$shipped names a build folder"
  else
    pass
  fi
done
[[ $(i686-w64-mingw32-objdump -p "$win32_build/bin/pnghost.exe") == *"large address aware"* ]] && pass ||
  fail "pnghost.exe is not large-address-aware"
echo "   ($((SECONDS - started)) s)"

# The package made from either build is the same zip, holds what it should,
# and its checksums and binaries are those of the build.
echo "== the Windows package"
package=$(scripts/package.sh "$win32_build" "$win32_build/dist")
package_again=$(scripts/package.sh "$again" "$again/dist")
cmp "$package" "$package_again" && pass || fail "the package differs between two builds"
folder=$(basename "$package" .zip)
listing=$(unzip -Z1 "$package" | tr '\n' ' ')
want="$folder/Korvane.8BI $folder/LICENSE-libpng.txt $folder/LICENSE-zlib.txt $folder/README.txt $folder/SHA256SUMS"
want+=" $folder/$folder.spdx.json $folder/pnghost.exe "
[ "$listing" = "$want" ] && pass || fail "the package holds '$listing'"
unpacked=$win32_build/dist/unpacked
rm -rf "$unpacked"
unzip -q "$package" -d "$unpacked"
(cd "$unpacked/$folder" && sha256sum --quiet -c SHA256SUMS) && [ "$(wc -l <"$unpacked/$folder/SHA256SUMS")" -eq 6 ] && pass ||
  fail "the package's SHA256SUMS do not match its files"
# The DLL's exports, imports and resources, and both files as a reviewer
# meets them (the table), bill of materials included.
scripts/check-win32-dll.sh "$win32_build" "$linux_build" --package "$package" && pass ||
  fail "scripts/check-win32-dll.sh: the shipped files lack what they must carry"
for shipped in Korvane.8BI pnghost.exe; do
  cmp "$win32_build/bin/$shipped" "$unpacked/$folder/$shipped" && pass || fail "the package's $shipped is not the build's"
done
grep -q "Permission is granted to anyone" "$unpacked/$folder/LICENSE-zlib.txt" &&
  grep -q "PNG Reference Library License" "$unpacked/$folder/LICENSE-libpng.txt" && pass ||
  fail "the package's licence texts are not zlib's and libpng's"

# Signed with a throwaway certificate made here and time-stamped by a
# throwaway RFC 3161 server on this machine: both binaries carry a SHA-256
# Authenticode signature that osslsigncode verifies against the certificate,
# with a time stamp it verifies against the server's; the bill of materials
# and SHA256SUMS are of the signed files, and signing leaves the build's own
# files as they were.
echo "== a package signed with a throwaway certificate"
signing=$(cd "$win32_build" && pwd)/signing
rm -rf "$signing"
mkdir -p "$signing"
# throwaway_certificate NAME USE: NAME.key and NAME.pem, for 2 days, for USE.
throwaway_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$signing/$1.key" -out "$signing/$1.pem" -days 2 \
    -subj "/CN=Korvane throwaway $1" -addext "extendedKeyUsage=$2" 2>/dev/null
}
throwaway_certificate signer codeSigning
throwaway_certificate time-stamper critical,timeStamping
export KORVANE_SIGN_PASS
KORVANE_SIGN_PASS=$(head -c 12 /dev/urandom | base64)
openssl pkcs12 -export -inkey "$signing/signer.key" -in "$signing/signer.pem" -out "$signing/throwaway.pfx" \
  -passout env:KORVANE_SIGN_PASS
echo 01 >"$signing/serial"
printf '%s\n' "[tsa]" "default_tsa = throwaway" "[throwaway]" "serial = $signing/serial" \
  "signer_cert = $signing/time-stamper.pem" "certs = $signing/time-stamper.pem" \
  "signer_key = $signing/time-stamper.key" "signer_digest = sha256" "default_policy = 1.2.3.4.1" \
  "digests = sha256, sha384, sha512" "ess_cert_id_alg = sha256" >"$signing/time-stamper.cnf"
python3 tests/hardening/timestamp-server.py "$signing/time-stamper.cnf" "$signing/url" &
time_stamper=$!
for _ in $(seq 100); do [ -s "$signing/url" ] && break; sleep 0.1; done
if signed=$(scripts/package.sh --sign "$signing/throwaway.pfx" --timestamp "$(cat "$signing/url")" \
  "$win32_build" "$signing/dist"); then
  unzip -q "$signed" -d "$signing/unpacked"
  for shipped in Korvane.8BI pnghost.exe; do
    osslsigncode verify -CAfile "$signing/signer.pem" -TSA-CAfile "$signing/time-stamper.pem" \
      -in "$signing/unpacked/$folder/$shipped" >"$signing/$shipped.verify" 2>&1 &&
      grep -q '^Message digest algorithm *: SHA256' "$signing/$shipped.verify" &&
      grep -q '^Timestamp Server Signature verification: ok' "$signing/$shipped.verify" && pass ||
      fail "the signed $shipped does not verify as SHA-256 Authenticode with a time stamp (see $signing/$shipped.verify)"
    cmp -s "$win32_build/bin/$shipped" "$unpacked/$folder/$shipped" && pass || fail "signing changed the build's $shipped"
  done
  (cd "$signing/unpacked/$folder" && sha256sum --quiet -c SHA256SUMS) && pass ||
    fail "the signed package's SHA256SUMS are not of its signed files"
  scripts/check-win32-dll.sh "$win32_build" --package "$signed" |
    grep -x '| signature | yes (SHA-256 Authenticode) | yes (SHA-256 Authenticode) |' && pass ||
    fail "scripts/check-win32-dll.sh: the signed package lacks what it must carry"
else
  fail "scripts/package.sh --sign with a throwaway certificate and time-stamping server"
fi
kill "$time_stamper"
wait "$time_stamper" 2>/dev/null || true

# One Wine server for the whole run, so that each program starts quickly. A
# server may be up already (a program that ended seconds ago, or one made to
# stay), and then it serves the run.
wineserver -p 2>/dev/null || echo "test-wine: using the Wine server already running in $WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true; timeout 60 wineserver -w || true' EXIT

echo "== end-to-end suite under Wine"
e2e_log=$win32_build/e2e-wine.log
started=$SECONDS
if (cd "$win32_build/bin" && timeout --kill-after=10 300 wine ./e2e_tests.exe --gtest_brief=1) >"$e2e_log" 2>&1; then
  pass
else
  fail "e2e_tests.exe under Wine (see $e2e_log)"
fi
tr -d '\r' <"$e2e_log" | grep -E '^\[  (PASSED|FAILED)  \]|^\[==========\]' || true
echo "   ($((SECONDS - started)) s)"

# The test-only overflow_probe.exe and overflow_module.dll carry the same
# cookie and checked copies as what ships. Each program and module seeds its
# own cookie, never left at the unseeded value and new in each process; what
# fits its array returns, and one byte too many, in the program, in a module
# or through a checked strcpy, ends the process at once with
# STATUS_STACK_BUFFER_OVERRUN (0xC0000409, of which Wine passes on the low
# byte, 9), before its exit routine runs or its module is detached. Rows:
# arguments|status|output.
echo "== stack cookies and checked copies under Wine"
probe() { (cd "$win32_build/bin" && timeout --kill-after=5 60 wine ./overflow_probe.exe "$@" 2>&1 | tr -d '\r'); }
cookies=$(probe cookies | sed -n 1p; probe cookies | sed -n 1p)
if [ "$(tr ' ' '\n' <<<"$cookies" | sort -u | grep -c -v -x -i -e bb40e64e -e '')" -eq 4 ]; then
  pass
else
  fail "the stack cookies are not seeded, or the same in two processes: $(tr '\n' ' ' <<<"$cookies")"
fi
overflows=(
  "overflow 16|0|returned exit routine ran module detached"
  "overflow 17|9|"
  "module 16|0|returned exit routine ran module detached"
  "module 17|9|"
  "fortified 15|0|returned exit routine ran module detached"
  "fortified 16|9|"
)
for row in "${overflows[@]}"; do
  IFS='|' read -r arguments want_status want_output <<<"$row"
  status=0
  # shellcheck disable=SC2086  # a mode and a count
  output=$(probe $arguments | tr '\n' ' ') || status=$?
  output=${output% }
  if [ "$status" -eq "$want_status" ] && [ "$output" = "$want_output" ]; then
    pass
  else
    fail "overflow_probe $arguments: exit $status, '$output' (wanted $want_status, '$want_output')"
  fi
done

echo "== the Linux and Windows builds side by side"
started=$SECONDS
out=$win32_build/compare
rm -rf "$out"
mkdir -p "$out/linux" "$out/win32"
linux_pnghost=$(cd "$linux_build/bin" && pwd)/pnghost
win32_pnghost=$(cd "$win32_build/bin" && pwd)/pnghost.exe

# side NAME ARGS...: runs pnghost ARGS in each build's output folder, keeping
# stdout, stderr and the exit status of each as NAME.*; Wine's line ends are
# made Unix ones. Empty captures are not kept: a missing one reads as empty.
side() {
  local name=$1 status
  shift
  status=0
  (cd "$out/linux" && "$linux_pnghost" "$@") >"$out/linux/$name.out" 2>"$out/linux/$name.err" || status=$?
  echo "$status" >"$out/linux/$name.status"
  status=0
  (cd "$out/win32" && timeout --kill-after=5 60 wine "$win32_pnghost" "$@") \
    >"$out/win32/$name.out.crlf" 2>"$out/win32/$name.err.crlf" || status=$?
  echo "$status" >"$out/win32/$name.status"
  tr -d '\r' <"$out/win32/$name.out.crlf" >"$out/win32/$name.out"
  tr -d '\r' <"$out/win32/$name.err.crlf" >"$out/win32/$name.err"
  rm -f "$out/win32/$name.out.crlf" "$out/win32/$name.err.crlf"
  find "$out/linux" "$out/win32" -maxdepth 1 -empty \( -name "$name.out" -o -name "$name.err" \) -delete
}

# capture SIDE NAME PART: what NAME printed, empty when nothing was kept.
capture() { cat "$out/$1/$2.$3" 2>/dev/null || true; }

# Alerts and errors on stderr, without the notes of the person at the dialogs
# (the Win32 layer's on Linux, pnghost's own on Windows).
messages() { capture "$1" "$2" err | grep -v -E '^(win32|pnghost): (the )?dialog "' || true; }

# same NAME FILE...: NAME's printed results, messages and exit status agree,
# and each FILE the command wrote is byte for byte the same.
same() {
  local name=$1 part file ok=1
  shift
  for part in out status; do
    cmp -s <(capture linux "$name" "$part") <(capture win32 "$name" "$part") || { ok=0; echo "  $name: $part differs"; }
  done
  cmp -s <(messages linux "$name") <(messages win32 "$name") ||
    { ok=0; echo "  $name: messages differ"; }
  for file in "$@"; do
    files_compared=$((files_compared + 1))
    if [ ! -s "$out/linux/$file" ] || ! cmp -s "$out/linux/$file" "$out/win32/$file"; then
      ok=0
      echo "  $name: $file differs or is missing"
    fi
  done
  if [ "$ok" -eq 1 ]; then pass; else fail "$name: the builds disagree"; fi
}

# no_file NAME FILE: NAME was to leave no FILE behind, on either side.
no_file() {
  local side found=0
  for side in linux win32; do
    [ -e "$out/$side/$2" ] && { found=1; echo "  $1: left $side/$2 behind"; }
  done
  if [ "$found" -eq 0 ]; then pass; else fail "$1: a save that did not happen left a file"; fi
}

files_compared=0
names=()
for path in "$suite"/*.png; do names+=("$(basename "$path" .png)"); done

side pipl pipl && same pipl
side about about && same about
grep -q "PNG Format files." "$out/win32/about.out" && pass || fail "about: the about box's texts were not read"

side probe probe "${names[@]/#/$suite/}" && same probe

for name in "${names[@]}"; do
  if [[ $name == x* ]]; then
    side "open-$name" open "$suite/$name.png" && same "open-$name"
  else
    side "open-$name" open "$suite/$name.png" --pam "$name.pam" && same "open-$name" "$name.pam"
    side "save-$name" save "$suite/$name.png" "$name.png" && same "save-$name" "$name.png"
  fi
done

# Each image mode with each choice of the options dialog.
options=("--interlace" "--filter None" "--filter Sub" "--filter Up" "--filter Average" "--filter Paeth"
  "--filter Adaptive" "--fast" "--interlace --fast --filter Paeth" "--file-info" "--cancel")
for name in basn0g01 basn0g08 basn4a16 basn3p08 basn2c08 basn6a08 ct1n0g04; do
  for option in "${options[@]}"; do
    label="save-$name$(echo "$option" | tr -d ' ')"
    # shellcheck disable=SC2086  # each option set is several words
    side "$label" save "$suite/$name.png" "$label.png" $option
    if [ "$option" = "--cancel" ]; then
      same "$label"
      no_file "$label" "$label.png"
    else
      same "$label" "$label.png"
    fi
  done
done

# A host without a service: the same alert on both, and no file.
for service in buffer-suite handle-suite advance-state; do
  side "without-$service" save "$suite/basn2c08.png" "without-$service.png" --without "$service"
  same "without-$service"
  no_file "without-$service" "without-$service.png"
  grep -q '^\[PNG File Format\] This plug-in requires' "$out/win32/without-$service.err" && pass ||
    fail "without-$service: no alert seen under Wine"
done
# Images made elsewhere: netpbm of each mode, made by the Linux build from the
# suite, saved by both with File Info typed in and opened again, the planes,
# palette and JSON report compared (the JSON without the count of the
# module's global blocks, which only the Win32 layer keeps).
netpbm=(basn0g01:pbm basn0g08:pgm basn4a08:pam basn2c08:ppm basn6a08:pam basn3p08:pgm)
for entry in "${netpbm[@]}"; do
  name=${entry%%:*} extension=${entry##*:}
  palette=()
  (cd "$out/linux" && "$linux_pnghost" open "$suite/$name.png" --out "in-$name.$extension" >/dev/null)
  if [ "$name" = basn3p08 ]; then
    (cd "$out/linux" && "$linux_pnghost" open "$suite/$name.png" --palette-out in-palette.ppm >/dev/null)
    cp "$out/linux/in-palette.ppm" "$out/win32/"
    palette=(--palette in-palette.ppm)
  fi
  cp "$out/linux/in-$name.$extension" "$out/win32/"
  side "netpbm-save-$name" save "in-$name.$extension" "netpbm-$name.png" "${palette[@]}" --interlace --file-info \
    --iptc "120=A caption" --date 19960305 --dpi 300
  same "netpbm-save-$name" "netpbm-$name.png"
  side "netpbm-open-$name" open "netpbm-$name.png" --out "out-$name.$extension"
  same "netpbm-open-$name" "out-$name.$extension"
  cmp -s "$out/win32/in-$name.$extension" "$out/win32/out-$name.$extension" && pass ||
    fail "netpbm-$name: the Windows build did not give back the planes it saved"
  side "json-$name" open "netpbm-$name.png" --json
  sed -i 's/"moduleBlocks": [^,]*,//' "$out/linux/json-$name.out" "$out/win32/json-$name.out"
  same "json-$name"
done

# Saves over an existing file: a cancelled or failed one leaves it whole, a
# complete one replaces it (ReplaceFile on Windows). The copies are made
# writable: the suite's files may be read-only, and a save refuses those.
for side_folder in linux win32; do
  install -m 644 "$suite/basn2c08.png" "$out/$side_folder/kept.png"
  install -m 644 "$suite/basn2c08.png" "$out/$side_folder/replaced.png"
done
side save-cancel-self save kept.png kept.png --cancel && same save-cancel-self
side save-fail-row save "$suite/basn0g08.png" kept.png --fail-row 3 && same save-fail-row
cmp -s "$out/win32/kept.png" "$suite/basn2c08.png" && [ "$(cat "$out/win32/save-cancel-self.status")" = 1 ] &&
  [ "$(cat "$out/win32/save-fail-row.status")" = 2 ] && pass ||
  fail "kept.png: a cancelled or failed save changed the file under Wine"
side save-replace save "$suite/basn0g08.png" replaced.png && same save-replace replaced.png
cmp -s "$out/win32/replaced.png" "$suite/basn2c08.png" && fail "replaced.png: not replaced under Wine" || pass
# ReplaceFile keeps the old file's attributes (Wine keeps them in the
# user.DOSATTRIB extended attribute: 0x4 is system, where the new file was
# hidden, 0x2), and a symbolic link saved through stays a link, its file
# replaced.
for side_folder in linux win32; do
  install -m 644 "$suite/basn2c08.png" "$out/$side_folder/pointed.png"
  ln -sfn pointed.png "$out/$side_folder/link.png"
done
setfattr -n user.DOSATTRIB -v '"0x4"' "$out/win32/replaced.png"
side save-attributes save "$suite/basn0g08.png" replaced.png --interlace && same save-attributes replaced.png
[ "$(getfattr --only-values -n user.DOSATTRIB "$out/win32/replaced.png" 2>/dev/null)" = 0x4 ] && pass ||
  fail "replaced.png: its attributes were not kept under Wine"
side save-link save "$suite/basn0g08.png" link.png && same save-link pointed.png
[ -L "$out/win32/link.png" ] && ! cmp -s "$out/win32/pointed.png" "$suite/basn2c08.png" && pass ||
  fail "link.png: the link was not kept, or its file not replaced, under Wine"
# A file with two names is written over in place (ReplaceFile would split
# them), a copy of its old bytes kept meanwhile: both names show the new
# image. An I/O error half way through writing over (PNGHOST_FAIL_WRITE_OVER;
# a noise image's PNG is more than one write) puts the old bytes back under
# both names, exit 2, and no copy is left.
for side_folder in linux win32; do
  install -m 644 "$suite/basn2c08.png" "$out/$side_folder/linked.png"
  ln -f "$out/$side_folder/linked.png" "$out/$side_folder/other-name.png"
done
side save-linked save "$suite/basn0g08.png" linked.png && same save-linked linked.png other-name.png
[ "$(stat -c %h "$out/win32/linked.png")" = 2 ] && ! cmp -s "$out/win32/other-name.png" "$suite/basn2c08.png" && pass ||
  fail "linked.png: its other name did not get the new image under Wine"
cat "$suite/basn2c08.png" >"$out/win32/linked.png"
{ printf 'P6\n200 200\n255\n' && head -c 120000 /dev/urandom; } >"$out/noise.ppm"
PNGHOST_FAIL_WRITE_OVER=1 side save-linked-fault save ../noise.ppm linked.png
[ "$(cat "$out/win32/save-linked-fault.status")" = 2 ] && cmp -s "$out/win32/linked.png" "$suite/basn2c08.png" &&
  cmp -s "$out/win32/other-name.png" "$suite/basn2c08.png" &&
  [ -z "$(find "$out/win32" -maxdepth 1 -name '.linked.png.pnghost*')" ] && pass ||
  fail "linked.png: an I/O error while writing over did not put the old image back under both names under Wine"
# A folder that takes no new file (made immutable, where the file system
# lets chattr: then not even root adds a name there) gets OUT written over,
# the new file and the copy in the temporary folder.
for side_folder in linux win32; do
  mkdir -p "$out/$side_folder/fixed"
  install -m 644 "$suite/basn2c08.png" "$out/$side_folder/fixed/kept-name.png"
done
if chattr +i "$out/linux/fixed" "$out/win32/fixed" 2>/dev/null; then
  side save-fixed-folder save "$suite/basn0g08.png" fixed/kept-name.png
  chattr -i "$out/linux/fixed" "$out/win32/fixed"
  same save-fixed-folder fixed/kept-name.png
else
  echo "  (no chattr +i here: the save into a folder that takes no new file is not checked)"
fi
# The new file is hidden while the person looks at the dialog, and Ctrl-C
# (SIGINT, which Wine turns into the console's Ctrl-C event) removes it.
(cd "$out/win32" && exec timeout --kill-after=5 60 wine "$win32_pnghost" --linger 8000 save \
  "$suite/basn0g08.png" interrupted.png >/dev/null 2>&1) &
waiting=$!
for _ in $(seq 300); do
  hidden=$(find "$out/win32" -maxdepth 1 -name '.interrupted.png.pnghost-*')
  [ -n "$hidden" ] && break
  sleep 0.1
done
[ -n "$hidden" ] && [ "$(getfattr --only-values -n user.DOSATTRIB "$hidden" 2>/dev/null)" = 0x2 ] && pass ||
  fail "the new file was not there, or not hidden, under Wine"
sleep 1
# timeout's child: the process wine became.
kill -INT $(pgrep -P "$waiting") || true
wait "$waiting" || true
[ -z "$(find "$out/win32" -maxdepth 1 -name '*interrupted.png*')" ] && pass ||
  fail "Ctrl-C left a file behind under Wine"

# stop_at NAME POINT ARGS...: starts pnghost.exe ARGS in the Windows folder
# with PNGHOST_STOP_AT=POINT, standard input on a FIFO, and waits until it
# says it stopped there (else it fails, lets it go on and returns 1); go_on
# lets it go on (a line on its standard input) and waits for its end, its
# status in NAME.status.
stop_at() {
  local name=$1 point=$2 _
  shift 2
  rm -f "$out/$name.fifo" "$out/win32/$name.err"
  mkfifo "$out/$name.fifo"
  exec {feed}<>"$out/$name.fifo"
  (cd "$out/win32" && PNGHOST_STOP_AT=$point exec timeout --kill-after=5 60 wine "$win32_pnghost" "$@" \
    <"../$name.fifo" >"$name.out" 2>"$name.err") &
  stopped=$! stopped_name=$name
  for _ in $(seq 300); do
    grep -q "stopped at $point" "$out/win32/$name.err" 2>/dev/null && return 0
    sleep 0.1
  done
  go_on
  fail "$name: pnghost.exe did not stop at $point under Wine"
  return 1
}
go_on() {
  local status=0
  echo >&"$feed"
  exec {feed}>&-
  wait "$stopped" || status=$?
  echo "$status" >"$out/win32/$stopped_name.status"
  rm -f "$out/$stopped_name.fifo"
  find "$out/win32" -maxdepth 1 -empty -name "$stopped_name.out" -delete
}
# two_names NAME: NAME.png, the old image, with a second name NAME-other.png.
two_names() {
  install -m 644 "$suite/basn2c08.png" "$out/win32/$1.png"
  ln -f "$out/win32/$1.png" "$out/win32/$1-other.png"
}
# leftovers NAME: pnghost's files left beside NAME.png or in the temporary folder.
leftovers() { find "$out/win32" -maxdepth 1 -name ".$1*pnghost*"; }

# One save of a file at a time: while a save writes over a file (held at
# the copy of its old bytes), a second save of it is refused, exit 2, and
# the first ends saved, both names with its image. The copy has its name
# only once it is whole.
two_names at-once
if stop_at at-once-first copy save "$suite/basn0g08.png" at-once.png; then
  [ -n "$(find "$out/win32" -maxdepth 1 -name '.at-once.png.pnghost-copy-*')" ] &&
    [ -z "$(find "$out/win32" -maxdepth 1 -name '.at-once.png.pnghost-old-*')" ] && pass ||
    fail "at-once: the copy of the old bytes had its name before it was whole under Wine"
  status=0
  (cd "$out/win32" && timeout --kill-after=5 60 wine "$win32_pnghost" save "$suite/basn4a08.png" at-once.png \
    >/dev/null 2>at-once-second.err) || status=$?
  go_on
  [ "$status" = 2 ] && grep -q "another program, or another save, has it open (Windows error 32); not replaced" \
    "$out/win32/at-once-second.err" && [ "$(cat "$out/win32/at-once-first.status")" = 0 ] &&
    cmp -s "$out/win32/at-once.png" "$out/win32/basn0g08.png" &&
    cmp -s "$out/win32/at-once-other.png" "$out/win32/basn0g08.png" && [ -z "$(leftovers at-once)" ] && pass ||
    fail "at-once: a second save during a write-over was not refused, or the first did not end saved, under Wine"
fi
# Ctrl-C during a write-over (held before its second write) puts the old
# image back under both names before pnghost ends, and leaves no file. The
# whole copy has its name meanwhile.
two_names stopped
if stop_at stopped-save write-over:1 save ../noise.ppm stopped.png; then
  cmp -s "$(find "$out/win32" -maxdepth 1 -name '.stopped.png.pnghost-old-*')" "$suite/basn2c08.png" && pass ||
    fail "stopped: no whole copy of the old bytes under its name during the write-over under Wine"
  kill -INT $(pgrep -P "$stopped") || true
  # The control event's thread waits for the write-over; give Wine a moment
  # to start it.
  sleep 1
  go_on
  cmp -s "$out/win32/stopped.png" "$suite/basn2c08.png" && cmp -s "$out/win32/stopped-other.png" "$suite/basn2c08.png" &&
    [ -z "$(leftovers stopped)" ] && pass ||
    fail "stopped: Ctrl-C during a write-over did not leave the old image under both names, or left files, under Wine"
fi
# Changes made while pnghost.exe waits: at `replace`, OUT found again and
# the new file ready, just before the last check of a file with one name
# (replaced by ReplaceFile) or the write-over's open of one with two; at
# `rename`, just before a new OUT is moved into place. Each OUT is left as
# the change left it, a second name with the old image, exit 2 with the
# reason, and no file of pnghost's. Rows: name|stop|OUT's names before (0:
# none)|the change, in the folder, on OUT|the reason.
changes=(
  "linked-swapped|replace|2|mv newcomer.png OUT|replaced by another file during the save"
  "one-swapped|replace|1|mv newcomer.png OUT|replaced by another file during the save"
  "one-written|replace|1|printf x >>OUT|changed by another program during the save"
  "new-created|rename|0|cp newcomer.png OUT|created by another program during the save"
)
for row in "${changes[@]}"; do
  IFS='|' read -r name stop count change reason <<<"$row"
  case $count in
    2) two_names "$name" ;;
    1) install -m 644 "$suite/basn2c08.png" "$out/win32/$name.png" ;;
  esac
  stop_at "$name-save" "$stop" save "$suite/basn0g08.png" "$name.png" || continue
  install -m 644 "$suite/basn4a08.png" "$out/win32/newcomer.png"
  (cd "$out/win32" && eval "${change//OUT/$name.png}" && rm -f newcomer.png)
  cp "$out/win32/$name.png" "$out/$name.then"
  go_on
  [ "$(cat "$out/win32/$name-save.status")" = 2 ] && grep -q "$reason: not replaced" "$out/win32/$name-save.err" &&
    cmp -s "$out/win32/$name.png" "$out/$name.then" &&
    { [ "$count" != 2 ] || cmp -s "$out/win32/$name-other.png" "$suite/basn2c08.png"; } &&
    [ -z "$(leftovers "$name")" ] && pass ||
    fail "$name: a change to OUT at $stop was not refused, or OUT was touched, or files were left, under Wine"
done
empty=$(find "$out" -type f -empty)
if [ -z "$empty" ]; then pass; else fail "empty files in the compare folders:" $empty; fi
echo "test-wine: $files_compared files compared between the Linux and Windows builds"
echo "   ($((SECONDS - started)) s; outputs in $out)"

# A 32-bit host has no room for a 32767 by 32767 colour image, so there the
# huge files end with the host's own message; everything else opens in well
# under a second with the outcome the Linux build gives too (the benchmark,
# scripts/bench-hostile.sh, measures time and memory).
echo "== hostile files under Wine"
started=$SECONDS
hostile=$win32_build/hostile
rm -rf "$hostile"
mkdir -p "$hostile"
"$linux_build/bin/make_hostile_files" "$hostile" >/dev/null
for path in "$hostile"/*.png; do
  name=$(basename "$path" .png)
  case $name in
    huge-*) want_status=2 want_message="the image is too large for this host" ;;
    *) want_status=0 want_message="" ;;
  esac
  status=0
  message=$(cd "$hostile" && timeout --kill-after=5 60 wine "$win32_pnghost" open "$name.png" 2>&1 >/dev/null | tr -d '\r') ||
    status=$?
  if [ "$status" -eq "$want_status" ] && [[ $message == *"$want_message"* ]]; then
    pass
  else
    fail "hostile $name: exit $status, '$message' (wanted $want_status${want_message:+, '$want_message'})"
  fi
done
echo "   ($((SECONDS - started)) s)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Makes the package a Windows user takes away, dist/korvane-png-VERSION-win32.zip:
# one folder korvane-png-VERSION-win32/ holding Korvane.8BI and pnghost.exe
# (from the Windows build, built here if needed), README.txt (a short guide,
# docs/windows-guide.txt with Windows line ends), the licence texts of the
# libpng and zlib linked into the module (LICENSE-libpng.txt,
# LICENSE-zlib.txt, the bytes their Debian source packages give), a bill of
# materials, korvane-png-VERSION-win32.spdx.json (SPDX 2.3: the module and
# pnghost with their version and commit, the libpng and zlib compiled in with
# the Debian source packages they come from and their licences, and the
# SHA-256 of each of those files), and SHA256SUMS of every file.
#
# --sign CERT.pfx signs Korvane.8BI and pnghost.exe with a SHA-256
# Authenticode signature (osslsigncode), with the key and certificate in
# CERT.pfx, whose password is KORVANE_SIGN_PASS (the environment keeps it off
# the command line); --timestamp URL has the signatures counter-signed by
# that RFC 3161 time-stamping server, so that they stay valid after the
# certificate expires. The bill of materials and SHA256SUMS are made after
# signing, of the signed files.
#
# VERSION is the project's version in CMakeLists.txt (project(... VERSION)).
# An unsigned zip is the same bytes for the same commit: every entry carries
# the commit's time, entries are sorted, with fixed modes and no extra fields.
# A signature carries the time of signing.
#
# usage: [KORVANE_SIGN_PASS=...] scripts/package.sh [--sign CERT.pfx [--timestamp URL]]
#                                                   [WIN32_BUILD_DIR [DIST_DIR]]
#        (default: build-win32 dist)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh
certificate=""
timestamp=""
while [ $# -gt 0 ]; do
  case $1 in
    --sign) certificate=${2:?package: --sign needs a .pfx file}; shift 2 ;;
    --timestamp) timestamp=${2:?package: --timestamp needs a server URL}; shift 2 ;;
    -*) echo "package: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ -n "$timestamp" ] && [ -z "$certificate" ]; then
  echo "package: --timestamp goes with --sign" >&2
  exit 2
fi
if [ -n "$certificate" ]; then
  [ -r "$certificate" ] || { echo "package: cannot read the certificate $certificate" >&2; exit 2; }
  [ -n "${KORVANE_SIGN_PASS+set}" ] || { echo "package: --sign needs the password of $certificate in KORVANE_SIGN_PASS" >&2; exit 2; }
  certificate=$(cd "$(dirname "$certificate")" && pwd)/$(basename "$certificate")
fi
win32_build=${1:-build-win32}
dist=${2:-dist}

scripts/setup-win32.sh >/dev/null
KORVANE_BUILD_TARGETS="Korvane pnghost" scripts/build-win32.sh "$win32_build" >/dev/null

version=$(sed -n 's/^project(Korvane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no project(Korvane VERSION ...) in CMakeLists.txt" >&2; exit 1; }
# The about box says the version too; the two must not drift apart.
grep -q "\"Version $version\"" resources/Korvane.rc ||
  { echo "package: the about box in resources/Korvane.rc does not say Version $version" >&2; exit 1; }

# licence_text PACKAGE VERSION FILE: the path of FILE from the Debian source
# package PACKAGE=VERSION, fetched once into the cache.
licence_text() {
  local cached=$KORVANE_CACHE/licences/$1_$2_$3 work
  if [ ! -s "$cached" ]; then
    mkdir -p "$(dirname "$cached")"
    work=$(mktemp -d)
    (cd "$work" && apt-get source -qq "$1=$2" >/dev/null 2>&1) ||
      { rm -rf "$work"; echo "package: the source of $1 $2 could not be fetched" >&2; return 1; }
    cp "$work"/*/"$3" "$cached.part"
    mv "$cached.part" "$cached"
    rm -rf "$work"
  fi
  echo "$cached"
}

# The libpng linked in is the one the build's VERSION file names (beside a
# line of the flags it was built with).
read -r libpng_package libpng_version < <(awk '$1 ~ /^libpng[0-9.]*$/ && $2 != "CFLAGS:"' "$KORVANE_LIBPNG_WIN32/VERSION")
libpng_licence=$(licence_text "$libpng_package" "$libpng_version" LICENSE)
# zlib is either built from Debian's zlib source (named in the VERSION file,
# whose "zlib CFLAGS:" line tells how) or is the mingw-w64 package's copy of
# the same release, whose source package is libz-mingw-w64 and whose upstream
# source the mirrors may no longer hold: both carry zlib's own licence, taken
# from the zlib source package.
zlib_version=$(awk '$1 == "zlib" && $2 != "CFLAGS:" { print $2 }' "$KORVANE_LIBPNG_WIN32/VERSION")
if [ -n "$zlib_version" ]; then
  zlib_source="zlib $zlib_version"
else
  zlib_version=$(apt-cache showsrc zlib | awk '/^Version:/ { print $2 }' | sort -V -r | head -n 1)
  zlib_source=$(dpkg-query -W -f='${source:Package} ${source:Version}' libz-mingw-w64-dev)
fi
zlib_licence=$(licence_text zlib "$zlib_version" LICENSE)

# cache_entry NAME: a setting of the Windows build, as CMake keeps it.
cache_entry() { sed -n "s/^$1:[A-Z]*=//p" "$win32_build/CMakeCache.txt"; }
# header_string HEADER MACRO: the string a header defines, as compiled in.
header_string() { sed -n "s/^#define $2 \"\(.*\)\"\$/\1/p" "$1"; }
libpng_compiled=$(header_string "$(cache_entry PNG_PNG_INCLUDE_DIR)/png.h" PNG_LIBPNG_VER_STRING)
zlib_compiled=$(header_string "$(cache_entry ZLIB_INCLUDE_DIR)/zlib.h" ZLIB_VERSION)
commit=$(header_string "$win32_build/generated/BuildVersion.h" KORVANE_BUILD_COMMIT)
# Every date in the package is the commit's (2000-01-01 outside a git checkout).
commit_time=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)

name=korvane-png-$version-win32
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir "$folder"
cp "$win32_build/bin/Korvane.8BI" "$win32_build/bin/pnghost.exe" "$folder/"
if [ -n "$certificate" ]; then
  for binary in Korvane.8BI pnghost.exe; do
    osslsigncode sign -pkcs12 "$certificate" -readpass <(printf '%s' "$KORVANE_SIGN_PASS") -h sha256 \
      -n "Korvane PNG format module" ${timestamp:+-ts "$timestamp"} \
      -in "$folder/$binary" -out "$stage/$binary" >"$stage/sign.log" 2>&1 ||
      { cat "$stage/sign.log" >&2; echo "package: $binary could not be signed with $certificate" >&2; exit 1; }
    mv "$stage/$binary" "$folder/$binary"
  done
fi
sed 's/$/\r/' docs/windows-guide.txt >"$folder/README.txt"
cp "$libpng_licence" "$folder/LICENSE-libpng.txt"
cp "$zlib_licence" "$folder/LICENSE-zlib.txt"
python3 scripts/make-sbom.py --folder "$folder" --name "$name" --version "$version" --commit "$commit" \
  --created "$(date -u -d "@$commit_time" +%Y-%m-%dT%H:%M:%SZ)" \
  --libpng "$libpng_compiled" "$libpng_package $libpng_version" --zlib "$zlib_compiled" "$zlib_source" \
  >"$folder/$name.spdx.json"
(cd "$folder" && LC_ALL=C sha256sum -- * >SHA256SUMS)
chmod 644 "$folder"/*
chmod 755 "$folder"/*.8BI "$folder"/*.exe "$folder"

TZ=UTC0 find "$folder" -exec touch -h -t "$(date -u -d "@$commit_time" +%Y%m%d%H%M.%S)" {} +
mkdir -p "$dist"
zip_path=$(cd "$dist" && pwd)/$name.zip
rm -f "$zip_path"
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC0 zip -q -X -D "$zip_path" -@)
echo "$dist/$name.zip"

#!/usr/bin/env bash
# Makes the package a Windows user takes away, dist/korvane-png-VERSION-win32.zip:
# one folder korvane-png-VERSION-win32/ holding Korvane.8BI and pnghost.exe
# (from the Windows build, built here if needed), README.txt (a short guide,
# docs/windows-guide.txt with Windows line ends), the licence texts of the
# libpng and zlib linked into both (LICENSE-libpng.txt, LICENSE-zlib.txt, the
# bytes their Debian source packages give) and SHA256SUMS of those files.
#
# VERSION is the project's version in CMakeLists.txt (project(... VERSION)).
# The zip is the same bytes for the same commit: every entry carries the
# commit's time, entries are sorted, with fixed modes and no extra fields.
#
# usage: scripts/package.sh [WIN32_BUILD_DIR [DIST_DIR]]   (default: build-win32 dist)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh
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

# The libpng linked in is the one named first in the build's VERSION file.
read -r libpng_package libpng_version <"$KORVANE_LIBPNG_WIN32/VERSION"
libpng_licence=$(licence_text "$libpng_package" "$libpng_version" LICENSE)
# zlib is either built from Debian's zlib source or is mingw-w64's packaged
# copy of the same release, whose source package the mirrors may no longer
# hold: both carry zlib's own licence, taken from the zlib source package.
zlib_version=$(awk '$1 == "zlib" { print $2 }' "$KORVANE_LIBPNG_WIN32/VERSION")
[ -n "$zlib_version" ] || zlib_version=$(apt-cache showsrc zlib | awk '/^Version:/ { print $2 }' | sort -V -r | head -n 1)
zlib_licence=$(licence_text zlib "$zlib_version" LICENSE)

name=korvane-png-$version-win32
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir "$folder"
cp "$win32_build/bin/Korvane.8BI" "$win32_build/bin/pnghost.exe" "$folder/"
sed 's/$/\r/' docs/windows-guide.txt >"$folder/README.txt"
cp "$libpng_licence" "$folder/LICENSE-libpng.txt"
cp "$zlib_licence" "$folder/LICENSE-zlib.txt"
(cd "$folder" && LC_ALL=C sha256sum -- * >SHA256SUMS)
chmod 644 "$folder"/*
chmod 755 "$folder"/*.8BI "$folder"/*.exe "$folder"

stamp=$(TZ=UTC0 git log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || echo 200001010000.00)
TZ=UTC0 find "$folder" -exec touch -h -t "$stamp" {} +
mkdir -p "$dist"
zip_path=$(cd "$dist" && pwd)/$name.zip
rm -f "$zip_path"
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC0 zip -q -X -D "$zip_path" -@)
echo "$dist/$name.zip"

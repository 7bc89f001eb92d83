#!/usr/bin/env bash
# Builds a static zlib and libpng 1.6 for 32-bit Windows from Debian's own
# source packages with the mingw-w64 cross compiler, into one folder of the
# cache: include/, lib/libz.a, lib/libpng16.a. Done once: a finished build is
# left alone.
#
#   scripts/build-libpng-win32.sh [--prefix DIR] [--cflags FLAGS] [--intel-sse yes|no]
#                                 [--zlib source|prebuilt] [--zlib-cflags FLAGS]
#
# The defaults are the build the DLL ships with, into $KORVANE_LIBPNG_WIN32:
# libpng at -O2 -msse2 with its SSE2 code for undoing row filters (every
# processor a current 32-bit Windows runs on has SSE2), over zlib built from
# Debian's source package at -O3, both hardened as the module is: stack
# cookies on every function with a local array and _FORTIFY_SOURCE's checked
# copies (the guard, its failure and libssp's checked copies are linked in by
# the module, so neither adds a DLL). The mingw-w64 package's zlib is built
# without stack cookies. The options build the other variants the benchmark
# compares (scripts/bench-win32.sh --variants); "--zlib prebuilt" takes the
# mingw-w64 package's zlib. A build with other defaults needs a cache folder
# of another name (KORVANE_LIBPNG_WIN32 in scripts/win32-env.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/win32-env.sh"

hardening="-fstack-protector-strong -D_FORTIFY_SOURCE=2"
prefix=$KORVANE_LIBPNG_WIN32
libpng_cflags="-O2 -msse2 $hardening"
intel_sse=yes
zlib=source
zlib_cflags="-O3 $hardening"
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) prefix=$2 ;;
    --cflags) libpng_cflags=$2 ;;
    --intel-sse) intel_sse=$2 ;;
    --zlib) zlib=$2 ;;
    --zlib-cflags) zlib_cflags=$2 ;;
    *) echo "build-libpng-win32: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "build-libpng-win32: $prefix is built"
  exit 0
fi
mkdir -p "$KORVANE_CACHE"
work=$(mktemp -d "$KORVANE_CACHE/libpng-source.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
# Installed into a folder of its own first (make's DESTDIR), so that a build
# that stops half-way never looks finished.
staging=$work/destdir$prefix
sysroot=/usr/i686-w64-mingw32
cross=i686-w64-mingw32

# Quiet unless it fails: then the end of the log says why.
quietly() { "$@" >>"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; return 1; }; }

# fetch_source PACKAGE: unpacks the newest version of Debian's source package
# that downloads (the newest listed is not always on the mirror yet) and
# prints its folder.
fetch_source() {
  local package=$1 version
  for version in $(apt-cache showsrc "$package" | awk '/^Version:/ {print $2}' | sort -u -r -V); do
    if (cd "$work" && apt-get source -qq "$package=$version" >/dev/null 2>&1); then
      echo "build-libpng-win32: building $package $version for $cross" >&2
      echo "$package $version" >>"$work/versions"
      find "$work" -mindepth 1 -maxdepth 1 -type d -name "${package%%[0-9]*}*" | head -n 1
      return 0
    fi
    echo "build-libpng-win32: $package $version cannot be fetched, trying an older one" >&2
  done
  echo "build-libpng-win32: no $package source could be fetched" >&2
  return 1
}

build_zlib() {
  local source
  source=$(fetch_source zlib)
  # zlib's configure takes the tools from CHOST; with CFLAGS given it adds no
  # optimisation of its own.
  (cd "$source" && quietly env CHOST=$cross CC=$cross-gcc-win32 CFLAGS="$zlib_cflags" ./configure --static &&
    quietly make -j"$(nproc)" libz.a)
  mkdir -p "$staging/lib" "$staging/include"
  cp "$source/libz.a" "$staging/lib/"
  cp "$source/zlib.h" "$source/zconf.h" "$staging/include/"
}

build_libpng() {
  local source zlib_include=$sysroot/include zlib_lib=$sysroot/lib
  if [ "$zlib" = source ]; then zlib_include=$staging/include zlib_lib=$staging/lib; fi
  source=$(fetch_source libpng1.6)
  (cd "$source" && quietly ./configure --host=$cross --prefix="$prefix" --disable-shared --enable-static \
    --enable-intel-sse="$intel_sse" CPPFLAGS="-I$zlib_include" LDFLAGS="-L$zlib_lib" CFLAGS="$libpng_cflags" &&
    quietly make -j"$(nproc)" install DESTDIR="$work/destdir")
}

case $zlib in
  source) build_zlib ;;
  prebuilt) ;;
  *) echo "build-libpng-win32: --zlib is source or prebuilt, not $zlib" >&2; exit 2 ;;
esac
build_libpng
test -f "$staging/lib/libpng16.a"
if [ "$intel_sse" = yes ] && ! grep -q sse2 <($cross-nm "$staging/lib/libpng16.a"); then
  echo "build-libpng-win32: libpng was built without its SSE2 code" >&2
  exit 1
fi
{
  cat "$work/versions"
  echo "libpng CFLAGS: $libpng_cflags; intel-sse: $intel_sse"
  if [ "$zlib" = source ]; then echo "zlib CFLAGS: $zlib_cflags"; else echo "zlib: $sysroot/lib/libz.a"; fi
} >"$staging/VERSION"
mkdir -p "$(dirname "$prefix")"
mv "$staging" "$prefix"
echo "build-libpng-win32: installed into $prefix"

#!/usr/bin/env bash
# Builds a static libpng 1.6 for 32-bit Windows from Debian's own source
# package with the mingw-w64 cross compiler, against the cross zlib, into the
# cache ($KORVANE_LIBPNG_WIN32). Done once: a finished build is left alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/win32-env.sh"

prefix=$KORVANE_LIBPNG_WIN32
if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "build-libpng-win32: $prefix is built"
  exit 0
fi
mkdir -p "$KORVANE_CACHE"
work=$(mktemp -d "$KORVANE_CACHE/libpng-source.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# The newest listed source version is not always on the mirror yet: take the
# newest one that downloads.
fetched=""
for version in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}' | sort -u -r -V); do
  if apt-get source -qq "libpng1.6=$version" >/dev/null 2>&1; then
    fetched=$version
    break
  fi
  echo "build-libpng-win32: libpng1.6 $version cannot be fetched, trying an older one"
done
[ -n "$fetched" ] || { echo "build-libpng-win32: no libpng1.6 source could be fetched" >&2; exit 1; }
echo "build-libpng-win32: building libpng1.6 $fetched for i686-w64-mingw32"

cd "$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)"
sysroot=/usr/i686-w64-mingw32
# Quiet unless it fails: then the end of the log says why.
quietly() { "$@" >>"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; return 1; }; }
quietly ./configure --host=i686-w64-mingw32 --prefix="$prefix" --disable-shared --enable-static \
  CPPFLAGS="-I$sysroot/include" LDFLAGS="-L$sysroot/lib" CFLAGS="-O2"
quietly make -j"$(nproc)" install
test -f "$prefix/lib/libpng16.a"
echo "$fetched" > "$prefix/VERSION"
echo "build-libpng-win32: installed into $prefix"

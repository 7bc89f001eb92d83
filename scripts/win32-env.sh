# Sourced by the Win32 scripts: where the cross build's cached parts live and
# how Wine is run. Nothing here is kept in the repository.
KORVANE_CACHE=${KORVANE_CACHE:-${HOME:-/var/cache}/.cache/korvane}
# The static libpng and zlib built with the cross compiler: include/,
# lib/libpng16.a and lib/libz.a (an older build without its own libz.a used
# the mingw-w64 package's). The name says how they are built, so that a cache
# holding an older build gets this one built beside it; set it to build
# against another (the benchmark's variants). "ssp": both built from Debian's
# sources with stack cookies and _FORTIFY_SOURCE, as the module is.
KORVANE_LIBPNG_WIN32=${KORVANE_LIBPNG_WIN32:-$KORVANE_CACHE/libpng-win32-sse2-ssp}
# KORVANE_WINEPREFIX gives a run a Wine prefix of its own, so that two runs on
# one machine do not end each other's Wine processes.
export WINEPREFIX=${KORVANE_WINEPREFIX:-$KORVANE_CACHE/wine32}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts

# run_wine SECONDS PROGRAM [ARGS...]: runs a Windows program under Wine with a
# time limit, waits for the Wine server to wind down, and passes the program's
# exit status through.
run_wine() {
  local limit=$1 status=0
  shift
  timeout --kill-after=10 "$limit" wine "$@" || status=$?
  timeout 60 wineserver -w || true
  return "$status"
}

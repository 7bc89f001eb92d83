#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build the module for
# 32-bit Windows and to run it under Wine: the mingw-w64 cross compiler,
# Wine with its 32-bit half, an X server for screenshots, osslsigncode to
# sign the package, and a static zlib and libpng 1.6 built once from Debian's
# own source packages with the cross compiler (scripts/build-libpng-win32.sh).
# Safe to run again: it installs and builds only what is missing. Everything
# it builds lives in the cache folder, never in the repository.
#
# usage: scripts/setup-win32.sh        (cache: $KORVANE_CACHE, default ~/.cache/korvane)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/win32-env.sh"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
apt_install() { DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "$@"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

packages=(
  build-essential cmake make
  g++-mingw-w64-i686-win32   # the cross compiler, win32 threads: no winpthread DLL
  binutils-mingw-w64-i686    # windres, objdump
  libz-mingw-w64-dev         # the packaged cross zlib, which the benchmark's variants compare against
  googletest                 # GoogleTest sources, built for Windows by the cross build
  dpkg-dev                   # apt-get source unpacks with dpkg-source
  wine wine32:i386           # runs the Windows build; wine32 runs 32-bit programs
  fonts-wine                 # Wine's own fonts: dialog text and caption buttons
  xvfb xauth                 # an X display for dialogs and screenshots
  imagemagick                # import: screenshots of the X display
  x11-utils                  # xdpyinfo: tells when the display is up
  xdotool                    # keystrokes into pnghost.exe view (scripts/test-view-wine.sh)
  python3                    # compares the viewer's screenshots with the images; the bill of materials
  zip unzip                  # scripts/package.sh makes the Windows package and the tests read it
  osslsigncode               # scripts/package.sh --sign: Authenticode signatures
  openssl                    # the Wine tests' throwaway signing certificate
)

ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return
  echo "setup-win32: adding the i386 architecture (for wine32)"
  "${as_root[@]}" dpkg --add-architecture i386
  need_update=1
}

# apt-get source needs source entries for the release in use.
ensure_sources() {
  grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/ && return
  echo "setup-win32: adding Debian source entries"
  "${as_root[@]}" tee /etc/apt/sources.list.d/korvane-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  need_update=1
}

install_packages() {
  local missing=()
  for package in "${packages[@]}"; do installed "$package" || missing+=("$package"); done
  [ ${#missing[@]} -eq 0 ] && [ "$need_update" -eq 0 ] && return
  "${as_root[@]}" apt-get update -qq
  [ ${#missing[@]} -eq 0 ] && return
  echo "setup-win32: installing ${missing[*]}"
  apt_install "${missing[@]}"
}

need_update=0
ensure_i386
ensure_sources
install_packages
"$here/build-libpng-win32.sh"
"$here/setup-wine-prefix.sh"
echo "setup-win32: ready (cache $KORVANE_CACHE)"

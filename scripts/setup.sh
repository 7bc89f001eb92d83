#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the module.
# Safe to run again: it installs only packages that are missing.
set -euo pipefail

packages=(
  build-essential      # g++, make, cpp (the resource compiler's preprocessor)
  cmake
  libpng-dev
  zlib1g-dev
  libgtest-dev
  binutils-mingw-w64-i686  # i686-w64-mingw32-windres compiles the resource script
  pngcheck             # an independent check of the files the module writes
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: everything needed is installed"
  exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the module.
# Safe to run again: it installs only packages that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential      # g++, make, cpp (the resource compiler's preprocessor)
  cmake
  libpng-dev
  zlib1g-dev
  libgtest-dev
  binutils-mingw-w64-i686  # i686-w64-mingw32-windres compiles the resource script
  pngcheck             # an independent check of the files the module writes
  jq                   # reads pnghost's JSON reports in the tests
  netpbm               # pngtopam: another decoder's pixels to compare with
  libspng-dev          # the independent decoder of the differential tests
  pkg-config           # finds libspng
  attr                 # setfattr, getfattr: the save-safety tests give files extended attributes
  acl                  # setfacl, getfacl: and access control lists
  strace               # the save-safety tests see the order of a save's calls, and slow it
  e2fsprogs            # mkfs.ext4: they cut off an ext4 file system on a loop device
  mount                # mount, umount, losetup: and mount it
  python3              # checks that the components include each other one way only
)
scripts/install-missing.sh setup "${packages[@]}"

#!/usr/bin/env bash
# Installs what the sanitizer and fuzzing builds need on top of
# scripts/setup.sh: clang with its libFuzzer and sanitizer runtimes (the
# i386 ones come in the same package), and for the 32-bit build
# (cmake/toolchain-i386-linux-gnu.cmake) Debian's i386 libpng, zlib,
# GoogleTest and libspng beside the 64-bit ones (multiarch), with the i386
# C and C++ libraries clang links them with: libstdc++-12-dev:i386 brings
# libc6-dev:i386 and libgcc-12-dev:i386, which the i386 libraries' own dev
# packages need anyway, where g++-multilib would add a second, biarch copy
# of them (and the x32 ones). Installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/install-missing.sh setup-fuzz clang libclang-rt-14-dev \
  libstdc++-12-dev:i386 libpng-dev:i386 zlib1g-dev:i386 libgtest-dev:i386 libspng-dev:i386

#!/usr/bin/env bash
# Installs what the fuzz targets need on top of scripts/setup.sh: clang and
# its libFuzzer and sanitizer runtimes. Installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

packages=(clang libclang-rt-14-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "setup-fuzz: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs what scripts/bench.sh needs on top of scripts/setup.sh: netpbm
# (pngtopam, pnmtopng) and hyperfine for the whole-process comparison, and
# valgrind for counting instructions when a case needs profiling.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

packages=(netpbm hyperfine valgrind)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "setup-bench: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

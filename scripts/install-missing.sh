#!/usr/bin/env bash
# Installs those of the named Debian packages that are not installed yet,
# with apt-get (through sudo when not root), NAME:ARCH ones of another
# architecture too. Does nothing when all are there.
# usage: scripts/install-missing.sh WHO PACKAGE...   (WHO names the caller in messages)
set -euo pipefail
who=$1
shift

missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
# A package of another architecture (NAME:i386) is found only once dpkg
# takes that architecture.
for package in "${missing[@]}"; do
  architecture=${package#*:}
  [ "$architecture" != "$package" ] || continue
  dpkg --print-foreign-architectures | grep -qx "$architecture" && continue
  echo "$who: adding the $architecture architecture"
  "${as_root[@]}" dpkg --add-architecture "$architecture"
done
echo "$who: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

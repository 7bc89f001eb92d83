#!/usr/bin/env bash
# What a write-over's read-back costs: saves a SIDE by SIDE RGB image of
# noise (16384: 768 MiB of pixels, and a PNG as large, as noise does not
# compress) over a PNG with two names, which pnghost must write over, and
# prints the wall-clock time of each save (GNU time, with the processor
# time and the peak resident memory) as a Markdown table row; then, under
# strace (which stops it only at the calls it traces), the time from the
# end of OUT's last fsync to the copy's removal: the read-back, which comes
# between them. Takes about 4 GB of disk; it is not part of the tests.
#
# usage: scripts/bench-write-over.sh [SIDE [RUNS]]   (default 16384 2)
#   KORVANE_PNGHOST names the pnghost to run (default build/bin/pnghost).
set -euo pipefail
cd "$(dirname "$0")/.."
side=${1:-16384}
runs=${2:-2}
pnghost=${KORVANE_PNGHOST:-build/bin/pnghost}
scripts/install-missing.sh bench-write-over time strace >&2
files=$(mktemp -d "${TMPDIR:-/tmp}/korvane-write-over.XXXXXX")
trap 'rm -rf "$files"' EXIT
{ printf 'P6\n%d %d\n255\n' "$side" "$side" && head -c $((side * side * 3)) /dev/urandom; } >"$files/in.ppm"
"$pnghost" save "$files/in.ppm" "$files/out.png" --speed >/dev/null
ln "$files/out.png" "$files/other-name.png"
for run in $(seq "$runs"); do
  /usr/bin/time -f '%e %U %S %M' -o "$files/time" "$pnghost" save "$files/in.ppm" "$files/out.png" --speed >/dev/null
  read -r wall user system peak <"$files/time"
  printf '| %s | %d | %s s | %.2f s | %d MiB |\n' "$(basename "$pnghost")" "$run" "$wall" \
    "$(awk "BEGIN { print $user + $system }")" $((peak / 1024))
done
strace -f --seccomp-bpf -ttt -T -e trace=fsync,unlink -o "$files/trace" \
  "$pnghost" save "$files/in.ppm" "$files/out.png" --speed >/dev/null
# fsync(N) = 0 <SECONDS> ... unlink(".../.out.png.pnghost-old-PID-N")
awk '/ fsync\(/ { synced = $2 + substr($NF, 2) }
     / unlink\(.*pnghost-old-/ { printf "read-back (last fsync of OUT to the copy'"'"'s removal): %.3f s\n", $2 - synced }' \
  "$files/trace"
echo "PNG: $(stat -c %s "$files/out.png") bytes" >&2

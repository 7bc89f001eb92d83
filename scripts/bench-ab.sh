#!/usr/bin/env bash
# Compares this checkout's module with another revision's, on the same
# machine: builds the benchmark of both (the other from `git archive` into a
# folder of its own), then runs them in turns, A B A B ..., and keeps each
# time's best, so that a busy machine's slow spells fall on both alike.
# Prints, per image, the module's open and save times of each and their ratio.
#
#   scripts/bench-ab.sh REVISION [--rounds N] [bench options]   (e.g. 97bba53 --rounds 3 --level9)
#
# For instruction counts of one case, run each build's bench under
# valgrind --tool=callgrind with --profile (see README, Benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-bench.sh >/dev/null
revision=$1
shift
rounds=3
if [ "${1:-}" = "--rounds" ]; then rounds=$2; shift 2; fi

other=build-bench-$revision
mkdir -p "$other/src"
git archive "$revision" | tar -x -C "$other/src"
# The builds report on stderr: stdout is the table.
(cd "$other/src" && scripts/build.sh "$PWD/../build" -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF) >&2
scripts/build.sh build-bench -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF >&2

runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT
for round in $(seq 1 "$rounds"); do
  echo "bench-ab: round $round of $rounds" >&2
  "$other/build/bin/bench" "$@" >"$runs/A$round"
  build-bench/bin/bench "$@" >"$runs/B$round"
done

# The bench's table rows, | image | interlace | open: module | ... | save:
# module | ..., reduced to image|interlace|best open|best save (-1: none), in
# the bench's order.
best() {
  cat "$runs"/"$1"* | awk -F'|' '/ ms \|/ {
      key = $2 "|" $3; open = $4 + 0; save = ($7 ~ /ms/) ? $7 + 0 : -1
      if (!(key in o)) { keys[++n] = key; o[key] = open; s[key] = save }
      if (open < o[key]) o[key] = open
      if (save >= 0 && save < s[key]) s[key] = save
    }
    END { for (i = 1; i <= n; i++) print keys[i] "|" o[keys[i]] "|" s[keys[i]] }'
}
echo "Best of $rounds turns each; A = $revision, B = this checkout. Bench options: ${*:-(none)}"
echo
echo "| image | interlace | open A | open B | B / A | save A | save B | B / A |"
echo "|---|---|---:|---:|---:|---:|---:|---:|"
paste -d'|' <(best A) <(best B) | awk -F'|' '
  function ratio(a, b) { return a > 0 ? sprintf("%.3f", b / a) : "n/a" }
  {
    save = $4 >= 0 ? sprintf("%.1f ms | %.1f ms | %s", $4, $8, ratio($4, $8)) : "n/a | n/a | n/a"
    printf "|%s|%s| %.1f ms | %.1f ms | %s | %s |\n", $1, $2, $3, $7, ratio($3, $7), save }'

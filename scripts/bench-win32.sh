#!/usr/bin/env bash
# Measures the Windows build: the benchmark program built for 32-bit Windows
# against the same static libpng and zlib as the DLL, run under Wine, the
# module's open and save against bare libpng of that same build. Takes a few
# minutes; it is not part of the tests.
#
#   scripts/bench-win32.sh [bench options]      (e.g. --reps 5, --side 2048)
#   scripts/bench-win32.sh --variants [--rounds N] [bench options]
#
# The first measures the libpng and zlib the DLL ships with. The second
# builds each variant of libpng and zlib below (once, cached under
# $KORVANE_CACHE/variants) and the benchmark against each, then runs the
# variants in turn, A B C A B C ..., N rounds (default 3) of one run each,
# and prints each time as the best of the rounds, with how far the rounds
# spread. The variants are timed by the CPU time of the benchmark's thread
# (KORVANE_BENCH_CLOCK=cpu, in ticks of 10 ms under Wine), as a busy machine
# would drown their differences in wall-clock time; the first form takes
# wall-clock time unless KORVANE_BENCH_CLOCK=cpu is set. KORVANE_BENCH_BUILD
# names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/win32-env.sh

# name, then the options of scripts/build-libpng-win32.sh. The first is the
# build the DLL had before SSE2, the second the one it had until libpng and
# zlib were built with stack cookies (the fourth, hardened, is what it ships
# with now: scripts/build-libpng-win32.sh's defaults).
variants=(
  "o2|--cflags -O2 --intel-sse no --zlib prebuilt"
  "sse2|--cflags -O2_-msse2 --intel-sse yes --zlib prebuilt"
  "sse2-zlib-o2|--cflags -O2_-msse2 --intel-sse yes --zlib source --zlib-cflags -O2"
  "sse2-zlib-o3|--cflags -O2_-msse2 --intel-sse yes --zlib source --zlib-cflags -O3"
  "o3-sse2-zlib-o3-sse2|--cflags -O3_-msse2 --intel-sse yes --zlib source --zlib-cflags -O3_-msse2"
)

compare=0
rounds=3
if [ "${1:-}" = --variants ]; then
  compare=1
  shift
  if [ "${1:-}" = --rounds ]; then rounds=$2; shift 2; fi
fi

scripts/setup-win32.sh >/dev/null
build=${KORVANE_BENCH_BUILD:-build-win32-bench}
runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT

# build_bench FOLDER: builds the benchmark against $KORVANE_LIBPNG_WIN32 and
# keeps the program with its module in FOLDER.
build_bench() {
  scripts/build-win32.sh "$build" -DKORVANE_BENCH=ON -DKORVANE_TESTS=OFF >/dev/null
  mkdir -p "$1"
  cp "$build/bin/bench.exe" "$build/bin/Korvane.8BI" "$1/"
}

# run_bench FOLDER ARGS...: one run of the benchmark in FOLDER under Wine.
run_bench() {
  local folder=$1
  shift
  (cd "$folder" && timeout --kill-after=10 3600 wine ./bench.exe "$@") | tr -d '\r'
}

if [ "$compare" -eq 0 ]; then
  echo "== Windows build under Wine: module against bare libpng, both linked with $KORVANE_LIBPNG_WIN32" \
    "(${KORVANE_BENCH_CLOCK:-wall}-clock time)"
  paste -s -d '|' "$KORVANE_LIBPNG_WIN32/VERSION" | sed 's/|/; /g'
  build_bench "$runs/bin"
  run_bench "$runs/bin" "$@"
  exit 0
fi

export KORVANE_BENCH_CLOCK=${KORVANE_BENCH_CLOCK:-cpu}
names=()
for variant in "${variants[@]}"; do
  name=${variant%%|*}
  options=${variant#*|}
  # The options are words; an underscore stands for a space inside one.
  read -r -a words <<<"$options"
  words=("${words[@]//_/ }")
  export KORVANE_LIBPNG_WIN32=$KORVANE_CACHE/variants/$name
  scripts/build-libpng-win32.sh --prefix "$KORVANE_LIBPNG_WIN32" "${words[@]}"
  echo "bench-win32: building the benchmark against $name"
  build_bench "$runs/$name"
  names+=("$name")
done

for round in $(seq "$rounds"); do
  for name in "${names[@]}"; do
    echo "bench-win32: round $round of $rounds, $name"
    run_bench "$runs/$name" --reps 1 "$@" >"$runs/$name.$round.md"
  done
done

echo
echo "== Variants of libpng and zlib under Wine: best of $rounds rounds ($KORVANE_BENCH_CLOCK-clock time)"
# Each table row of a run: | image | interlace | open module | bare | ratio | save module | bare | ratio | ...
awk -F' [|] ' -v names="${names[*]}" '
  function ms(text) { return text == "n/a" ? -1 : text + 0 }
  function keep(name, key, column, value) {
    if (value < 0) return
    slot = name SUBSEP key SUBSEP column
    if (!(slot in best) || value < best[slot]) best[slot] = value
    if (!(slot in worst) || value > worst[slot]) worst[slot] = value
  }
  function cell(name, key, column) {
    slot = name SUBSEP key SUBSEP column
    return (slot in best) ? sprintf("%.1f", best[slot] * 1) : "n/a"
  }
  /^\| [^-]/ && $2 != "interlace" {
    split(FILENAME, parts, "/"); name = parts[length(parts)]; sub(/\.[0-9]+\.md$/, "", name)
    key = substr($1, 3) ($2 == "none" ? "" : " " $2)
    if (!(key in seen)) { seen[key] = 1; keys[++nkeys] = key }
    keep(name, key, "om", ms($3)); keep(name, key, "ob", ms($4)); keep(name, key, "sm", ms($6)); keep(name, key, "sb", ms($7))
  }
  END {
    count = split(names, list, " ")
    for (t = 1; t <= 2; ++t) {
      m = t == 1 ? "om" : "sm"; b = t == 1 ? "ob" : "sb"
      printf "\n%s, ms (module / bare libpng):\n\n| variant |", t == 1 ? "Open" : "Save"
      for (k = 1; k <= nkeys; ++k) printf " %s |", keys[k]
      printf "\n|---|"; for (k = 1; k <= nkeys; ++k) printf "---:|"; printf "\n"
      for (i = 1; i <= count; ++i) {
        printf "| %s |", list[i]
        for (k = 1; k <= nkeys; ++k) printf " %s / %s |", cell(list[i], keys[k], m), cell(list[i], keys[k], b)
        printf "\n"
      }
    }
    printf "\nSpread of the rounds (slowest over fastest, mean over all times):"
    for (i = 1; i <= count; ++i) {
      sum = 0; n = 0
      for (slot in best) {
        split(slot, p, SUBSEP)
        if (p[1] == list[i] && best[slot] > 0) { sum += worst[slot] / best[slot] - 1; ++n }
      }
      printf " %s %.1f %%%s", list[i], n ? 100 * sum / n : 0, i < count ? ";" : ".\n"
    }
  }' "$runs"/*.md

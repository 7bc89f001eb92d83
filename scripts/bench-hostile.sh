#!/usr/bin/env bash
# Opens each hostile file (made by make_hostile_files: many long compressed
# texts, tens of thousands of texts, huge declared images without data,
# image data that inflates to 1 GiB) with pnghost on Linux and with the
# Windows pnghost.exe under Wine, and prints the time and the peak resident
# memory of the whole pnghost process (GNU time; the best wall-clock time of
# N runs with the processor time of that run, and the highest peak) as a
# Markdown table. On a busy machine the wall-clock times wait for the
# processor; the processor times show the work itself. It is a benchmark,
# not a test.
#
# usage: scripts/bench-hostile.sh [--runs N] [--linux-only]
#   KORVANE_BENCH_BUILD, KORVANE_WIN32_BUILD name other build folders
#   (default build and build-win32).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
with_wine=1
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --linux-only) with_wine=0; shift ;;
    *) echo "usage: scripts/bench-hostile.sh [--runs N] [--linux-only]" >&2; exit 2 ;;
  esac
done

# Setting up and building report on stderr; the table alone goes to stdout.
linux_build=${KORVANE_BENCH_BUILD:-build}
win32_build=${KORVANE_WIN32_BUILD:-build-win32}
{
  scripts/setup.sh
  scripts/install-missing.sh bench-hostile time
  scripts/build.sh "$linux_build"
  if [ "$with_wine" -eq 1 ]; then
    scripts/setup-win32.sh
    scripts/build-win32.sh "$win32_build"
  fi
} >&2
# The Wine prefix and its server may be shared with other runs, so the
# server is neither made to stay nor stopped here; the first run starts it.
[ "$with_wine" -eq 0 ] || source scripts/win32-env.sh

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
"$linux_build/bin/make_hostile_files" "$files" >/dev/null

# measure PNG COMMAND...: runs COMMAND open PNG $runs times; prints the
# outcome (exit status and the module's code or the host's words), the best
# wall-clock time with that run's processor time, and the highest peak.
measure() {
  local png=$1 best="" cpu="" peak=0 status seconds user system kilobytes outcome
  shift
  for _ in $(seq "$runs"); do
    status=0
    /usr/bin/time -f "%e %U %S %M" -o "$files/time" "$@" open "$png" >/dev/null 2>"$files/err" || status=$?
    read -r seconds user system kilobytes < <(tail -n 1 "$files/time")
    if [ -z "$best" ] || awk "BEGIN { exit !($seconds < $best) }"; then
      best=$seconds
      cpu=$(awk "BEGIN { printf \"%.2f\", $user + $system }")
    fi
    [ "$kilobytes" -gt "$peak" ] && peak=$kilobytes
  done
  outcome="exit $status"
  grep -q -- "-30501" "$files/err" && outcome="$outcome, -30501"
  grep -q "too large for this host" "$files/err" && outcome="$outcome, too large for this host"
  printf '%s | %s s (%s s) | %s MiB' "$outcome" "$best" "$cpu" "$(awk "BEGIN { printf \"%.1f\", $peak / 1024 }")"
}

echo "| file | size | Linux: outcome | time (processor) | peak | Wine: outcome | time (processor) | peak |"
echo "|---|---:|---|---:|---:|---|---:|---:|"
for png in "$files"/*.png; do
  name=$(basename "$png")
  row="| $name | $(stat -c %s "$png") B | $(measure "$png" "$linux_build/bin/pnghost")"
  if [ "$with_wine" -eq 1 ]; then
    row="$row | $(measure "$png" wine "$win32_build/bin/pnghost.exe") |"
  else
    row="$row | | | |"
  fi
  echo "$row"
done

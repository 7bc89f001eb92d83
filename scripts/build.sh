#!/usr/bin/env bash
# Configures and builds into the given directory, warnings as errors; extra
# arguments go to cmake.
# usage: [KORVANE_BUILD_TARGETS="A B"] scripts/build.sh BUILD_DIR [CMAKE_ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$1
shift
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WERROR=ON "$@" >/dev/null
# KORVANE_BUILD_TARGETS (names, space-separated) builds only those targets
# and what they need.
read -r -a targets <<<"${KORVANE_BUILD_TARGETS:-}"
cmake --build "$build_dir" --parallel "$(nproc)" ${targets[0]:+--target "${targets[@]}"}

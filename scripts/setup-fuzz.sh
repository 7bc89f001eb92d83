#!/usr/bin/env bash
# Installs what the fuzz targets need on top of scripts/setup.sh: clang and
# its libFuzzer and sanitizer runtimes. Installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/install-missing.sh setup-fuzz clang libclang-rt-14-dev

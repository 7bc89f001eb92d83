#!/usr/bin/env bash
# Sets up the machine, builds, and runs the module through the test host, as
# the editor would: the property list it registers with, a probe of every
# PngSuite file, and the about box.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build

pnghost=build/bin/pnghost
suite=${PNGSUITE_DIR:-../shared/pngsuite}

echo "== property list"
"$pnghost" pipl
echo "== probe of $suite"
status=0
"$pnghost" probe "$suite"/*.png || status=$?
# Exit 1 only says some files are not PNG: the suite damages a few signatures on purpose.
[ "$status" -le 1 ] || exit "$status"
echo "== about box"
"$pnghost" about

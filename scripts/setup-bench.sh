#!/usr/bin/env bash
# Installs what scripts/bench.sh needs on top of scripts/setup.sh: netpbm
# (pngtopam, pnmtopng), ImageMagick (convert), hyperfine and jq for the
# whole-process comparisons, matplotlib's sample data for a photograph to
# save, and valgrind for counting instructions when a case needs profiling.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/install-missing.sh setup-bench netpbm hyperfine valgrind imagemagick jq python-matplotlib-data

# Runs a long job as named stages, for scripts/test.sh: one line when a stage
# starts and one when it ends, with its time and what it counted; the stage's
# whole output goes to a log of its own under $stage_logs, named on a
# failure, which shows the log's end and stops the job. finish_stages prints
# the table of the stages.
#
#   source scripts/stages.sh
#   stage_plan 3                           # how many stages there will be
#   stage "plain build" count_targets scripts/build.sh build
#   finish_stages
#
# A COUNTER is a function given the stage's log that prints what the stage
# did, e.g. "1364 passed, 0 failed"; the counters are below.

stage_logs=${stage_logs:-build/test-logs}
stage_count=0
stage_total=0
stage_rows=()

stage_plan() { stage_total=$1; rm -rf "$stage_logs"; mkdir -p "$stage_logs"; }

# duration SECONDS: "42 s" or "3 min 07 s".
duration() {
  if [ "$1" -lt 60 ]; then echo "$1 s"; else printf '%d min %02d s\n' $(($1 / 60)) $(($1 % 60)); fi
}

# stage LABEL COUNTER COMMAND...
stage() {
  local label=$1 counter=$2 started=$SECONDS status=0 log elapsed counted
  shift 2
  stage_count=$((stage_count + 1))
  log=$stage_logs/$stage_count-$(tr ' /' '--' <<<"$label").log
  echo "[$stage_count/$stage_total] $label ..."
  "$@" >"$log" 2>&1 || status=$?
  elapsed=$(duration $((SECONDS - started)))
  counted=$("$counter" "$log" || true)
  if [ "$status" -ne 0 ]; then
    echo "[$stage_count/$stage_total] $label: FAILED after $elapsed${counted:+ ($counted)}"
    echo "--- the end of its log, $log, without the tests that passed:"
    log_end "$log"
    echo "---"
    stage_rows+=("| $label | FAILED | $elapsed | ${counted:-} |")
    finish_stages
    echo "test: FAILED at \"$label\"; its whole output is in $log"
    exit 1
  fi
  echo "[$stage_count/$stage_total] $label: done in $elapsed${counted:+: $counted}"
  stage_rows+=("| $label | ok | $elapsed | ${counted:-} |")
}

# log_end LOG: the last 40 lines of LOG that say something of a failure:
# ctest's lines of tests starting and passing left out, its runs of dots cut.
log_end() {
  grep -v -E '^ *Start +[0-9]+: |Passed +[0-9.]+ sec$' "$1" | sed -E 's/ ?\.{4,} ?/ ... /' | tail -n 40
}

finish_stages() {
  echo
  echo "| stage | result | time | counted |"
  echo "|---|---|---:|---|"
  printf '%s\n' "${stage_rows[@]}"
  echo "(logs in $stage_logs/)"
}

# The counters.

# setup: the packages installed, from scripts/install-missing.sh's lines.
count_installed() {
  local packages
  packages=$(sed -n 's/^[a-z0-9-]*: installing //p' "$1" | wc -w)
  if [ "$packages" -eq 0 ]; then echo "nothing to install"; else echo "$packages packages installed"; fi
}

# a build: the targets built or found up to date.
count_targets() { echo "$(grep -c '\] Built target ' "$1") targets"; }

# ctest: its own summary line, which CI reads.
count_tests() { grep -E '^[0-9]+% tests passed' "$1" | tail -n 1; }

# the Wine checks: their "N passed, M failed", the files the two builds wrote
# that were compared, and the end-to-end suite's count.
count_wine_checks() {
  local checks files e2e
  checks=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$1" | tail -n 1)
  files=$(sed -n 's/^test-wine: \([0-9]*\) files compared.*/\1/p' "$1" | tail -n 1)
  e2e=$(tr -d '\r' <"$1" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' | tail -n 1)
  echo "${checks:-no count}${files:+, $files files compared}${e2e:+, end-to-end suite $e2e passed}"
}

# the fuzz targets: all their executions, and each one's share that reached
# its comparison (the targets' own lines, fuzz_X: A of B executions (P %) ...).
count_fuzz() {
  awk '/^fuzz_[a-z_]+: [0-9]+ of [0-9]+ executions \(/ {
      total += $4; name = $1; sub(/^fuzz_/, "", name); sub(/:$/, "", name); gsub(/_/, "-", name)
      share = $6; sub(/^\(/, "", share)
      shares = shares (shares == "" ? "" : ", ") name " " share " %"
    }
    END { if (total > 0) printf "%d executions; reached a comparison: %s\n", total, shares }' "$1"
}

# Runs the stages of scripts/test and keeps their score: a stage that cannot
# run fails with its name, never drops out quietly. At the end a table of the
# stages (tests run, failed, skipped, seconds) and the closing line
# "N passed, N failed".
#
#   source scripts/lib/stages.sh
#   run_stage NAME COMMAND [ARGS...]   # stops at the first failing stage
#   skip_stage NAME WHY COMMAND [ARGS...]  # a stage this machine cannot run:
#                                      # COMMAND does what it can (a build), must
#                                      # pass, and the stage counts as skipped
#   finish_stages                      # prints the table; exit status of the run

k726_stage_rows=()
k726_stage_notes=()
k726_stage_passed=0
k726_stage_failed=0
k726_stage_log=$(mktemp /tmp/k726-stage.XXXXXX)

# Counts from what the test runners print: ctest's summary, GoogleTest's run
# lines, and our own "N passed, N failed" lines (byte comparisons, fuzzing).
k726_stage_count() {
  awk '
    # "100% tests passed, 0 tests failed out of 262"
    /^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+$/ { run += $9; failed += $4 }
    /^[0-9]+ passed, [0-9]+ failed/ { run += $1 + $3; failed += $3; if ($5 ~ /^[0-9]+$/) skipped += $5 }
    /^\[==========\] [0-9]+ tests? from [0-9]+ test (suite|case)s? ran/ { run += $2 }
    /^\[  FAILED  \] [0-9]+ tests?[,.]/ { failed += $4 }
    /^\[  SKIPPED \] [0-9]+ tests?[,.]/ { skipped += $4 }
    /\(Skipped\)$/ { skipped += 1 }
    END { printf "%d %d %d\n", run, failed, skipped }' "$1"
}

# The stage's row and score; a failed stage ends the run here.
k726_stage_end() {  # NAME RUN FAILED SKIPPED SECONDS STATUS
  k726_stage_rows+=("$(printf '%-28s %6d %6d %7d %7d' "$1" "$2" "$3" "$4" "$5")")
  local passed=$(($2 - $3 - $4))
  [ "$passed" -ge 0 ] || passed=0
  k726_stage_passed=$((k726_stage_passed + passed))
  k726_stage_failed=$((k726_stage_failed + $3))
  if [ "$6" -ne 0 ]; then
    echo "stage failed: $1"
    finish_stages
    exit 1
  fi
}

run_stage() {
  local name=$1
  shift
  echo
  echo "== $name =="
  local start status
  start=$(date +%s)
  set +e
  "$@" 2>&1 | tee "$k726_stage_log"
  status=${PIPESTATUS[0]}
  set -e
  local seconds=$(($(date +%s) - start))
  local run failed skipped
  read -r run failed skipped < <(k726_stage_count "$k726_stage_log")
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  if [ "$status" -eq 0 ] && [ "$run" -eq 0 ]; then
    echo "stage $name ran no test"
    status=1
    failed=1
  fi
  k726_stage_end "$name" "$run" "$failed" "$skipped" "$seconds" "$status"
}

skip_stage() {
  local name=$1 why=$2
  shift 2
  echo
  echo "== $name: skipped, $why =="
  local start status
  start=$(date +%s)
  set +e
  "$@" 2>&1
  status=$?
  set -e
  k726_stage_end "$name" 0 $((status != 0)) $((status == 0)) $(($(date +%s) - start)) "$status"
  k726_stage_notes+=("$name: skipped, $why")
}

finish_stages() {
  rm -f "$k726_stage_log"
  echo
  printf '%-28s %6s %6s %7s %7s\n' stage tests failed skipped seconds
  local row
  for row in "${k726_stage_rows[@]}"; do echo "$row"; done
  for row in "${k726_stage_notes[@]}"; do echo "$row"; done
  echo "$k726_stage_passed passed, $k726_stage_failed failed"
  [ "$k726_stage_failed" -eq 0 ]
}

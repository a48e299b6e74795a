#!/usr/bin/env bash
# Runs one fuzz target from its seed corpus for a number of seconds and prints
# one line with its executions and findings (also kept in SUMMARY_DIR/<name>.txt).
# A finding fails the run; its input is kept in <build>/fuzz/findings/<name>/.
#   run-fuzz.sh TARGET SEED_DIR SECONDS SUMMARY_DIR
# PENLARK_FUZZ_SECONDS in the environment overrides SECONDS.
set -uo pipefail
target=$1 seeds=$2 seconds=${PENLARK_FUZZ_SECONDS:-$3} summary_dir=$4
name=$(basename "$target")
base=$(dirname "$target")
work=$base/work/$name          # inputs the run adds to the corpus
findings=$base/findings/$name
log=$base/$name.log
rm -rf "$work" "$findings"
SECONDS=0
mkdir -p "$work" "$findings" "$summary_dir"

LSAN_OPTIONS=suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0 \
  "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1
status=$?
elapsed=$SECONDS

execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
found=$(find "$findings" -type f | wc -l)
if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
line="$name: ${execs:-0} executions in ${elapsed} s, $found findings"
echo "$line" | tee "$summary_dir/$name.txt"
if [ "$found" -ne 0 ]; then
  tail -n 60 "$log"
  echo "finding kept in $findings/ (log: $log)"
  exit 1
fi

#!/usr/bin/env bash
# Runs each fuzz target for SECONDS (default 60) from the seed corpus in the
# repository, keeping what it learns in build/fuzz/corpus. Fails on the
# first finding, whose input is left in build/fuzz to become a unit test.
set -uo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/../.."
for target in key_code profile diagnosis program_image; do
  mkdir -p "build/fuzz/corpus/$target"
  log="build/fuzz/$target.log"
  echo "== fuzzing $target for $seconds s"
  if ! "build/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=5 \
      -artifact_prefix="build/fuzz/${target}-" -print_final_stats=1 \
      "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a failing input; see $log"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log"
done

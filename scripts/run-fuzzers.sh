#!/usr/bin/env bash
# Runs each fuzz target for SECONDS seconds on its committed seeds and on what
# earlier runs in BUILD found, with the dictionary, then prints one summary
# line per target. New inputs stay in BUILD; findings go to
# BUILD/fuzz-artifacts/<target>/. Fails when any target finds something.
# Usage: run-fuzzers.sh BUILD SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
summary=()
for seeds in "$root"/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target/
  log=$build/fuzz-logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  echo "fuzzing $target for ${seconds}s"
  if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 \
      -dict="$root/fuzz/vomaxel.dict" -artifact_prefix="$artifacts" -print_final_stats=1 \
      "$corpus" "$seeds" >"$log" 2>&1; then
    echo "FINDING in $target (log: $log, input: $artifacts):"
    tail -40 "$log"
    status=1
  fi
  # "#N DONE cov: C ft: F corp: K/S lim: L exec/s: E rss: R"
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$log" | tail -1 || true)
  summary+=("$(printf '%-24s %s' "$target" "$(sed -E 's/[[:space:]]+lim: [0-9]+//; s/[[:space:]]+rss: .*//; s/[[:space:]]+/ /g' <<<"$done_line")")")
done
printf '%s\n' "fuzz summary (${seconds}s per target): executions, coverage, features, corpus" "${summary[@]}"
exit $status

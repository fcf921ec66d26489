#!/usr/bin/env bash
# Fuzzes TARGET for SECONDS (FUZZ_SECONDS wins) on FUZZ_DIR's seeds and earlier
# runs' finds (fuzz-corpus/ beside it), then prints its summary line. A finding
# (in fuzz-artifacts/) fails.   run-fuzzer.sh TARGET FUZZ_DIR SECONDS
set -euo pipefail
target=$1 fuzz_dir=$2 seconds=${FUZZ_SECONDS:-$3}
name=$(basename "$target" _fuzzer)
out=$(dirname "$target")
corpus=$out/fuzz-corpus/$name artifacts=$out/fuzz-artifacts/$name/ log=$out/fuzz-logs/$name.log
mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
status=0
"$target" -max_total_time="$seconds" -timeout=10 -dict="$fuzz_dir/vomaxel.dict" -artifact_prefix="$artifacts" \
  -print_final_stats=1 "$corpus" "$fuzz_dir/corpus/$name" >"$log" 2>&1 || status=$?
[ $status -eq 0 ] || { echo "FINDING in $name (log: $log, input: $artifacts):"; tail -40 "$log"; }
# "#N DONE cov: C ft: F corp: K/S lim: L exec/s: E rss: R"
grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$log" | tail -1 |
  sed -E "s/[[:space:]]+lim: [0-9]+//; s/[[:space:]]+rss: .*//; s/[[:space:]]+/ /g; s/^/$name (${seconds}s): /"
exit $status

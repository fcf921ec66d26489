#!/usr/bin/env bash
# Times every benchmark case, nine repetitions in random order, and prints the
# table of their medians; writes bench.txt, bench.json and growth.png beside
# the benchmark.
#   bench/run.sh BENCH_BINARY
set -euo pipefail
binary=$1
out=$(dirname "$binary")
"$binary" --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.05 \
  --benchmark_out_format=json --benchmark_out="$out/bench.json" >"$out/bench.txt"
python3 "$(dirname "$0")/report.py" "$out/bench.json"
bash "$(dirname "$0")/growth_chart.sh" "$out/bench.json" "$out/growth.png"

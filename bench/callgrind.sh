#!/usr/bin/env bash
# Instruction counts of every benchmark case under callgrind, operation
# against floor: deterministic figures that show a change in cost on a noisy
# machine.
# usage: bench/callgrind.sh BENCH_BINARY [OUT_DIR]
set -euo pipefail
binary=$1
out=${2:-$(dirname "$binary")/callgrind}
mkdir -p "$out"
rm -f "$out"/callgrind.out*
valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/callgrind.out" \
  "$binary" --instructions >"$out/rounds.txt" 2>"$out/valgrind.log"
python3 "$(dirname "$0")/report.py" --callgrind "$out"

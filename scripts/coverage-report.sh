#!/usr/bin/env bash
# Line and branch coverage of Src/ and log/ after a --coverage build's tests,
# without throw-only and unreachable branches. Fails below the floor the suite
# reaches (docs/building.md: what it leaves).   coverage-report.sh SOURCE BUILD GCOV
set -euo pipefail
LINES=96 BRANCHES=92
source=$1 build=$2 gcov=$3
gcovr --gcov-executable "$gcov" --root "$source" --object-directory "$build" --filter "$source/Src/" --filter "$source/log/" \
  --exclude-throw-branches --exclude-unreachable-branches --print-summary \
  --fail-under-line $LINES --fail-under-branch $BRANCHES --txt "$build/coverage.txt"
cat "$build/coverage.txt"

#!/usr/bin/env bash
# The plug-in against each jsoncpp release a receiver may carry, built from
# its source archive. A leg builds that jsoncpp once into
# $JSONCPP_BUILD/<leg>/jsoncpp/ and the project against it into
# $JSONCPP_BUILD/<leg>/build/. Legs:
#   VERSION        g++, native: the plug-in, acrhost and every test; checks
#                  that libVomaxel.so needs VERSION's soname and carries no run
#                  path, runs the tests and acrhost's self-test
#   VERSION-armhf  the same, cross-built for 32-bit ARM and run under qemu-arm
#   VERSION-fuzz   the fuzz targets (clang, ASan+UBSan, jsoncpp built with the
#                  same flags) and their smoke run, FUZZ_TIME seconds each
# Every leg runs; the summary gives each one's result and times, and the exit
# status is 1 when one failed.
#   jsoncpp-matrix.sh LEG...
# Environment: JSONCPP_ARCHIVES (the archives and SHA256SUMS, default
# ../shared/jsoncpp from the project), JSONCPP_BUILD (build-jsoncpp), JOBS (2),
# FUZZ_TIME (10).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
archives=$(realpath -m "${JSONCPP_ARCHIVES:-$root/../shared/jsoncpp}")
out=$(realpath -m "${JSONCPP_BUILD:-$root/build-jsoncpp}")
export JOBS=${JOBS:-2}
fuzz_time=${FUZZ_TIME:-10}

declare -A SONAME=([1.7.4]=libjsoncpp.so.1 [1.8.4]=libjsoncpp.so.19 [1.9.4]=libjsoncpp.so.24
                   [1.9.6]=libjsoncpp.so.26 [1.9.8]=libjsoncpp.so.27)
# The self-test fails, by design, on a jsoncpp with a known defect that
# corrupts the plug-in's output, naming it and the release that fixes it. Such
# a leg expects that one failing check, given as a pattern of its line.
declare -A SELFTEST_DEFECT=([1.8.4]='^FAIL .*U\+40000.*1\.9\.0')
# Tests that need Debian's jsoncpp package carry this label.
EXCLUDED_LABEL=debian-packages
# The sanitizer flags of fuzz/CMakeLists.txt, for jsoncpp in the fuzz legs.
FUZZ_SANITIZERS="-fsanitize=address,undefined -fno-sanitize-recover=all"

fail() { echo "jsoncpp-matrix: $leg: $*" >&2; exit 1; }
# readelf_dynamic FILE TAGS: the values of FILE's dynamic entries TAGS (a regex).
readelf_dynamic() { readelf -d -W "$1" | sed -nE "s/.*\(($2)\).*\[(.*)\]/\2/p"; }

# jsoncpp, then the project against it; both with the compiler arguments
# CMAKE_ARGS, jsoncpp with jsoncpp_args too and the project with project_args.
configure() {
  "$root/scripts/build-jsoncpp.sh" "$archives" "$version" "$prefix" "$@" "${jsoncpp_args[@]}"
  export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" "${project_args[@]}" >/dev/null
}

check_plugin() {
  local expected=${SONAME[$version]:-$(readelf_dynamic "$prefix/lib/libjsoncpp.so" SONAME)}
  local needed
  needed=$(readelf_dynamic "$build/libVomaxel.so" NEEDED | grep '^libjsoncpp' || true)
  [ "$needed" = "$expected" ] || fail "libVomaxel.so needs '$needed', not $expected"
  [ -z "$(readelf_dynamic "$build/libVomaxel.so" 'RPATH|RUNPATH')" ] || fail "libVomaxel.so has a run path"
  echo "libVomaxel.so needs $needed"
}

run_tests() {
  echo "left out (label $EXCLUDED_LABEL: dpkg-shlibdeps maps each NEEDED library to the Debian" \
       "package that holds it, and a jsoncpp built from source is in none):"
  (cd "$build" && ctest -N -L "$EXCLUDED_LABEL" | sed -n 's/^ *Test *#[0-9]*: /  /p')
  local status=0
  (cd "$build" && ctest --output-on-failure -j "$JOBS" -LE "$EXCLUDED_LABEL") | tee "$build/ctest.log" ||
    status=1
  # "95% tests passed, 3 tests failed out of 69"
  awk '/tests passed, [0-9]+ tests? failed out of/ {print "tests: " $NF - $4 "/" $NF " passed"}' \
    "$build/ctest.log" >>"$result"
  grep -E '^[[:space:]]+[0-9]+ - ' "$build/ctest.log" | sed -E 's/^[[:space:]]+/  failed: /' >>"$result" || true

  "${emulator[@]}" "$build/acrhost/acrhost" selftest >"$build/selftest.log" 2>"$build/selftest.err" || true
  local failed summary defect=${SELFTEST_DEFECT[$version]:-}
  failed=$(grep '^FAIL' "$build/selftest.log" || true)
  summary=$(tail -n 1 "$build/selftest.log")
  echo "$summary${defect:+ (expected: one failure matching '$defect')}" | tee -a "$result"
  [ -n "$failed" ] && echo "$failed"
  if [ -n "$defect" ]; then
    [ "$(grep -c . <<<"$failed")" -eq 1 ] && grep -qE "$defect" <<<"$failed" ||
      { echo "the self-test should fail exactly the check matching '$defect'"; status=1; }
  else
    [[ $summary =~ ^selftest:\ [0-9]+\ passed,\ 0\ failed$ ]] || status=1
  fi
  return $status
}

# One leg, in a process of its own; its result lines go to $result.
run_leg() {
  leg=$1 version=${1%%-*} variant=${1#*-}
  [ "$variant" != "$leg" ] || variant=native
  prefix=$out/$leg/jsoncpp build=$out/$leg/build result=$out/$leg/result
  mkdir -p "$out/$leg"
  : >"$result"
  emulator=() jsoncpp_args=() project_args=()
  case $variant in
    native)
      export LD_LIBRARY_PATH=$prefix/lib
      configure
      ;;
    armhf)
      local status=0
      "$root/scripts/install-cross-deps.sh" armhf || status=$?
      if [ $status -eq 75 ]; then
        echo "skipped: the package registry serves no consistent armhf package set" | tee "$result"
        exit 75
      fi
      [ $status -eq 0 ] || exit $status
      emulator=(qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib:$prefix/lib)
      project_args=(-DVOMAXEL_TARGET_LIBRARY_PATH="$prefix/lib")
      configure -DCMAKE_TOOLCHAIN_FILE="$root/cmake/armhf-toolchain.cmake"
      ;;
    fuzz)
      # -w: jsoncpp's -Werror=conversion trips on clang 14's newer conversion warnings.
      jsoncpp_args=(-DCMAKE_CXX_FLAGS="$FUZZ_SANITIZERS -w")
      project_args=(-DVOMAXEL_FUZZ=ON -DBUILD_TESTING=OFF)
      configure -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
      ;;
    *) fail "unknown leg (VERSION, VERSION-armhf or VERSION-fuzz)" ;;
  esac
  if [ "$variant" = fuzz ]; then
    cmake --build "$build" -j "$JOBS" --target fuzzers
    if "$root/scripts/run-fuzzers.sh" "$build" "$fuzz_time" | tee "$build/fuzz.log"; then
      echo "fuzz smoke: ${fuzz_time}s per target, no finding" >>"$result"
    else
      sed -n 's/^FINDING in \([a-z_]*\).*/  failed: finding in \1/p' "$build/fuzz.log" >>"$result"
      exit 1
    fi
  else
    cmake --build "$build" -j "$JOBS"
    check_plugin
    run_tests
  fi
}

if [ "${1:-}" = --leg ]; then
  run_leg "$2"
  exit
fi

[ $# -gt 0 ] || { echo "usage: jsoncpp-matrix.sh LEG... (1.7.4, 1.7.4-armhf, 1.7.4-fuzz, ...)" >&2; exit 2; }
# cpu: the CPU time of this shell's finished children so far, user and system
# ("0m1.5s 0m0.2s" in the second line of `times`, which must run in this shell).
cpu_time() {
  times >"$out/.times"
  cpu=$(awk 'NR == 2 {split($1, u, /[ms]/); split($2, s, /[ms]/); print u[1]*60 + u[2] + s[1]*60 + s[2]}' "$out/.times")
}
mkdir -p "$out"
summary=() failures=0 matrix_start=$SECONDS
cpu_time
matrix_cpu=$cpu
for leg in "$@"; do
  echo; echo "=== jsoncpp $leg"
  start=$SECONDS status=0
  cpu_time
  cpu_start=$cpu
  "$0" --leg "$leg" || status=$?
  cpu_time
  case $status in 0) verdict=ok ;; 75) verdict=skipped ;; *) verdict=FAILED; failures=$((failures + 1)) ;; esac
  summary+=("$(printf '%-12s %-7s %4ds, CPU %4.0fs  %s' "$leg" "$verdict" $((SECONDS - start)) \
               "$(awk "BEGIN {print $cpu - $cpu_start}")" \
               "$(grep -v '^  failed' "$out/$leg/result" 2>/dev/null | paste -sd ';' | sed 's/;/; /g')")")
  while read -r line; do summary+=("               $line"); done < <(grep '^  failed' "$out/$leg/result" 2>/dev/null)
done
echo; echo "jsoncpp matrix (wall-clock and CPU time per leg):"
printf '%s\n' "${summary[@]}"
printf '%-20s %4ds, CPU %4.0fs\n' total $((SECONDS - matrix_start)) "$(awk "BEGIN {print $cpu - $matrix_cpu}")"
[ $failures -eq 0 ]

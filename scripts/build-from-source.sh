#!/usr/bin/env bash
# Builds the CMake project in SOURCE and installs it under PREFIX, once: a
# PREFIX that holds an install of the same sources made with the same
# CMAKE_ARGS is kept. SOURCE is a folder, or a release archive that must match
# its line in the SHA256SUMS beside it.
#   build-from-source.sh PREFIX SOURCE [CMAKE_ARGS...]
set -euo pipefail
PROGRAM=build-from-source
prefix=$(realpath -m "$1") source=$2
shift 2
if [ -d "$source" ]; then
  sum=$(cd "$source" && find . -type f -print0 | sort -z | xargs -0 sha256sum | sha256sum)
else
  archives=$(dirname "$source") archive=$(basename "$source")
  [ -f "$source" ] && [ -f "$archives/SHA256SUMS" ] ||
    { echo "$PROGRAM: $source or $archives/SHA256SUMS is missing" >&2; exit 1; }
  sum=$(grep -E "^[0-9a-f]{64}  $archive\$" "$archives/SHA256SUMS" || true)
  [ -n "$sum" ] || { echo "$PROGRAM: $archives/SHA256SUMS has no line for $archive" >&2; exit 1; }
  (cd "$archives" && sha256sum --quiet -c - <<<"$sum") ||
    { echo "$PROGRAM: $source does not match SHA256SUMS" >&2; exit 1; }
fi
stamp="${sum%% *} $*"
# Builds that run at once and need the same PREFIX take turns: the first
# builds it, the others find it built.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ "$(cat "$prefix/.built" 2>/dev/null)" = "$stamp" ] && exit 0

echo "$PROGRAM: building $source into $prefix"
rm -rf "$prefix"
work=$(mktemp -d "$prefix.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [ ! -d "$source" ]; then
  tar -xzf "$source" -C "$work"
  source=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
fi
if ! { cmake -S "$source" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" &&
       cmake --build "$work/build" -j "${JOBS:-2}" && cmake --install "$work/build"; } >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  echo "$PROGRAM: building $source failed" >&2
  exit 1
fi
echo "$stamp" >"$prefix/.built"

#!/usr/bin/env bash
# Builds jsoncpp VERSION from its release archive in ARCHIVES and installs it
# (shared library, headers, jsoncpp.pc) under PREFIX, once: a PREFIX that holds
# an install made from the same archive with the same CMAKE_ARGS is kept.
# The archive must match its line in ARCHIVES/SHA256SUMS.
#   build-jsoncpp.sh ARCHIVES VERSION PREFIX [CMAKE_ARGS...]
# CMAKE_ARGS choose the compiler: a toolchain file, CMAKE_CXX_COMPILER, flags.
set -euo pipefail
archives=$1 version=$2 prefix=$(realpath -m "$3")
shift 3
archive=jsoncpp-$version.tar.gz
if [ ! -f "$archives/$archive" ] || [ ! -f "$archives/SHA256SUMS" ]; then
  echo "build-jsoncpp: $archives/$archive or $archives/SHA256SUMS is missing;" \
       "point JSONCPP_SOURCES at the folder of jsoncpp's release archives" >&2
  exit 1
fi
sum=$(grep -E "^[0-9a-f]{64}  $archive\$" "$archives/SHA256SUMS" || true)
[ -n "$sum" ] || { echo "build-jsoncpp: SHA256SUMS has no line for $archive" >&2; exit 1; }
(cd "$archives" && sha256sum --quiet -c - <<<"$sum") ||
  { echo "build-jsoncpp: $archives/$archive does not match SHA256SUMS" >&2; exit 1; }

stamp="${sum%% *} $*"
[ "$(cat "$prefix/.built" 2>/dev/null)" = "$stamp" ] && exit 0

echo "build-jsoncpp: building jsoncpp $version into $prefix"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
work=$(mktemp -d "$prefix.XXXXXX")
trap 'rm -rf "$work"' EXIT
tar -xzf "$archives/$archive" -C "$work"
log=$work/build.log
if ! { cmake -S "$work/jsoncpp-$version" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DBUILD_SHARED_LIBS=ON \
         -DBUILD_STATIC_LIBS=OFF -DBUILD_OBJECT_LIBS=OFF -DCMAKE_INSTALL_LIBDIR=lib \
         -DCMAKE_INSTALL_PREFIX="$prefix" "$@" &&
       cmake --build "$work/build" -j "${JOBS:-2}" && cmake --install "$work/build"; } >"$log" 2>&1; then
  tail -40 "$log"
  echo "build-jsoncpp: building jsoncpp $version failed" >&2
  exit 1
fi
echo "$stamp" >"$prefix/.built"

#!/usr/bin/env bash
# Builds GoogleTest and GoogleMock from Debian's googletest sources and
# installs them under PREFIX, once: a PREFIX that holds an install of the same
# version made with the same CMAKE_ARGS is kept. For builds whose C++ library
# settings differ from Debian's packages (libstdc++'s old string ABI).
#   build-googletest.sh PREFIX [CMAKE_ARGS...]
set -euo pipefail
SOURCES=/usr/src/googletest
prefix=$(realpath -m "$1")
shift
[ -d "$SOURCES" ] || { echo "build-googletest: $SOURCES is missing (package googletest)" >&2; exit 1; }
stamp="$(dpkg-query -W -f='${source:Upstream-Version}' googletest) $*"
[ "$(cat "$prefix/.built" 2>/dev/null)" = "$stamp" ] && exit 0

echo "build-googletest: building GoogleTest into $prefix"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
work=$(mktemp -d "$prefix.XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! { cmake -S "$SOURCES" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" &&
       cmake --build "$work" -j "${JOBS:-2}" && cmake --install "$work"; } >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  echo "build-googletest: building GoogleTest failed" >&2
  exit 1
fi
echo "$stamp" >"$prefix/.built"

#!/usr/bin/env bash
# Builds the C++ libraries the plug-in and its tests link, jsoncpp and
# GoogleTest/GoogleMock, with libstdc++'s old string ABI
# (_GLIBCXX_USE_CXX11_ABI=0): Debian ships them with the new one only. Each is
# installed into a folder of its own, DEST/jsoncpp and DEST/googletest, and
# kept there while its version and flags stay the same.
#   build-old-abi-deps.sh DEST JSONCPP_SOURCES [JOBS]
# JSONCPP_SOURCES holds jsoncpp's release archives (jsoncpp-VERSION.tar.gz and
# SHA256SUMS); GoogleTest comes from Debian's googletest source package.
set -euo pipefail
PROGRAM=build-old-abi-deps
# 1.9.6: the release nearest to Debian 12's 1.9.5, which the suite's expected
# texts are written against, and one that receivers' current SDKs carry.
JSONCPP_VERSION=1.9.6
GOOGLETEST_SOURCES=/usr/src/googletest
dest=${1:?usage: $PROGRAM DEST JSONCPP_SOURCES [JOBS]}
sources=${2:?usage: $PROGRAM DEST JSONCPP_SOURCES [JOBS]}
export JOBS=${3:-2}
flags="-D_GLIBCXX_USE_CXX11_ABI=0"
[ -d "$GOOGLETEST_SOURCES" ] || { echo "$PROGRAM: $GOOGLETEST_SOURCES is missing (package googletest)" >&2; exit 1; }
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

"$(dirname "$0")/build-jsoncpp.sh" "$sources" $JSONCPP_VERSION "$dest/jsoncpp" -DCMAKE_CXX_FLAGS="$flags"

version=$(dpkg-query -W -f='${source:Upstream-Version}' googletest)
prefix=$dest/googletest
[ "$(cat "$prefix/.built" 2>/dev/null)" = "$version $flags" ] && exit 0
rm -rf "$prefix" "$dest/googletest.build"
echo "$PROGRAM: building googletest $version with the old string ABI into $prefix"
cmake -S "$GOOGLETEST_SOURCES" -B "$dest/googletest.build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib >/dev/null
cmake --build "$dest/googletest.build" -j "$JOBS" >/dev/null
cmake --install "$dest/googletest.build" >/dev/null
rm -rf "$dest/googletest.build"
echo "$version $flags" >"$prefix/.built"

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
jobs=${3:-2}
flags="-D_GLIBCXX_USE_CXX11_ABI=0"

archive=$sources/jsoncpp-$JSONCPP_VERSION.tar.gz
if [ ! -f "$archive" ]; then
  echo "$PROGRAM: $archive is missing: JSONCPP_SOURCES must name the folder of jsoncpp's" \
       "release archives (jsoncpp-$JSONCPP_VERSION.tar.gz)" >&2
  exit 1
fi
[ -d "$GOOGLETEST_SOURCES" ] || { echo "$PROGRAM: $GOOGLETEST_SOURCES is missing (package googletest)" >&2; exit 1; }
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

# built NAME VERSION: whether DEST/NAME holds a finished install of VERSION.
built() { [ "$(cat "$dest/$1/.built" 2>/dev/null)" = "$2 $flags" ]; }
# build NAME VERSION SOURCE_DIR CMAKE_ARGS...: configures, builds and installs
# into DEST/NAME.
build() {
  local name=$1 version=$2 source=$3 prefix=$dest/$1
  shift 3
  built "$name" "$version" && { echo "$PROGRAM: $prefix holds $name $version"; return; }
  rm -rf "$prefix" "$dest/$name.build"
  echo "$PROGRAM: building $name $version with the old string ABI into $prefix"
  cmake -S "$source" -B "$dest/$name.build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" >/dev/null
  cmake --build "$dest/$name.build" -j "$jobs" >/dev/null
  cmake --install "$dest/$name.build" >/dev/null
  rm -rf "$dest/$name.build"
  echo "$version $flags" >"$prefix/.built"
}

if ! built jsoncpp $JSONCPP_VERSION; then
  (cd "$sources" && grep " jsoncpp-$JSONCPP_VERSION.tar.gz\$" SHA256SUMS | sha256sum --check --quiet) ||
    { echo "$PROGRAM: $archive does not match $sources/SHA256SUMS" >&2; exit 1; }
  rm -rf "$dest/jsoncpp.src"
  mkdir -p "$dest/jsoncpp.src"
  tar -xzf "$archive" -C "$dest/jsoncpp.src"
  build jsoncpp $JSONCPP_VERSION "$dest/jsoncpp.src/jsoncpp-$JSONCPP_VERSION" -DJSONCPP_WITH_TESTS=OFF \
    -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF \
    -DBUILD_OBJECT_LIBS=OFF
  rm -rf "$dest/jsoncpp.src"
fi
build googletest "$(dpkg-query -W -f='${source:Upstream-Version}' googletest)" "$GOOGLETEST_SOURCES"

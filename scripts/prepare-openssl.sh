#!/usr/bin/env bash
# Puts OpenSSL RELEASE for Debian architecture ARCH under DEST, once, from the
# files in SOURCES (checked against SOURCES/SHA256SUMS), and prints where it is:
#   OPENSSL_ROOT_DIR=...     for CMake (-DOPENSSL_ROOT_DIR)
#   OPENSSL_LIBRARY_DIR=...  for the loader (LD_LIBRARY_PATH, or the cross
#                            build's VOMAXEL_TARGET_LIBRARY_PATH)
#   prepare-openssl.sh SOURCES RELEASE ARCH DEST
# 1.1.1 releases are unpacked from Debian's libssl1.1 and libssl-dev packages
# (never installed), 1.0.2 and 3.x releases built from the source archive. A
# DEST made from the same files (and compiler) is kept: building 3.x takes
# minutes.
#
# A source build takes CC and CFLAGS from the environment where set, as a
# cross build with another compiler than the triplet's GCC needs (Clang with
# --target and a sysroot); AR and RANLIB then come from the environment too,
# else from the triplet's binutils. CFLAGS adds to the release's own flags.
set -euo pipefail
PROGRAM=prepare-openssl
[ $# -eq 4 ] || { echo "usage: $PROGRAM SOURCES RELEASE ARCH DEST" >&2; exit 2; }
sources=$1 release=$2 arch=$3 dest=$(realpath -m "$4")
. "$(dirname "$0")/architecture.sh"
triplet=$(architecture_field "$arch" triplet) target=$(architecture_field "$arch" openssl) ||
  { echo "$PROGRAM: ARCH '$arch' is no row of cmake/architectures.txt" >&2; exit 2; }

# The named files, each of which must match its line in SHA256SUMS.
checked() {
  local file sum sums=""
  for file in "$@"; do
    sum=$(awk -v file="$file" '$2 == file' "$sources/SHA256SUMS")
    [ -n "$sum" ] || { echo "$PROGRAM: $sources/SHA256SUMS has no line for $file" >&2; exit 1; }
    (cd "$sources" && sha256sum --quiet -c - <<<"$sum") ||
      { echo "$PROGRAM: $sources/$file does not match SHA256SUMS" >&2; exit 1; }
    sums+="${sum%% *} "
  done
  echo "$sums"
}

found() {
  local matches=("$sources"/$1)
  [ ${#matches[@]} -eq 1 ] && [ -f "${matches[0]}" ] ||
    { echo "$PROGRAM: $sources holds no single $1" >&2; exit 1; }
  basename "${matches[0]}"
}

case $release in
  1.1.1*)
    files=("$(found "libssl1.1_$release-*_$arch.deb")" "$(found "libssl-dev_$release-*_$arch.deb")")
    root=$dest/usr libdir=$dest/usr/lib/$triplet ;;
  1.0.2*|3.*)
    files=("$(found "openssl-$release.tar.gz")")
    root=$dest libdir=$dest/lib ;;
  *) echo "$PROGRAM: no way to prepare OpenSSL $release" >&2; exit 2 ;;
esac
stamp="$(checked "${files[@]}")$arch"

# A source build's compiler and tools: `compiler` as variable assignments,
# or `cross` for Configure; `cflags` as Configure's extra flags.
compiler=() cross=() cflags=()
foreign=false
[ "$arch" = "$(dpkg --print-architecture)" ] || foreign=true
if [ -n "${CC:-}" ]; then
  compiler=(CC="$CC")
  if $foreign; then compiler+=(AR="${AR:-$triplet-ar}" RANLIB="${RANLIB:-$triplet-ranlib}"); fi
elif $foreign; then
  cross=(--cross-compile-prefix="$triplet-")
fi
read -ra cflags <<<"${CFLAGS:-}"
case $release in
  1.1.1*) ;;
  *) [ -z "${CC:-}${CFLAGS:-}" ] || stamp+=" ${compiler[*]} ${cflags[*]}" ;;
esac

# Runs the build commands given as arguments in the unpacked source; on a
# failure shows the end of their output and stops.
build() {
  if ! (cd "$work/openssl-$release" && "$@") >>"$work/build.log" 2>&1; then
    tail -40 "$work/build.log" >&2
    echo "$PROGRAM: building OpenSSL $release failed" >&2
    rm -rf "$dest"
    exit 1
  fi
}

# Preparations of the same DEST that run at once take turns.
mkdir -p "$(dirname "$dest")"
exec 9>"$dest.lock"
flock 9
if [ "$(cat "$dest/.prepared" 2>/dev/null)" != "$stamp" ]; then
  echo "$PROGRAM: preparing OpenSSL $release ($arch) in $dest" >&2
  rm -rf "$dest"
  mkdir -p "$(dirname "$dest")"
  work=$(mktemp -d "$dest.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  case $release in
    1.1.1*)
      for file in "${files[@]}"; do
        dpkg-deb -x "$sources/$file" "$work/root"
      done
      # The packages' pkg-config files name the installed place, /usr.
      sed -i "s|^prefix=/usr\$|prefix=$dest/usr|" "$work/root/usr/lib/$triplet/pkgconfig/"*.pc
      mv "$work/root" "$dest" ;;
    1.0.2*)
      # 1.0.2's Configure reads the tools from the environment; its make is
      # not safe in parallel. libcrypto alone is built (not libssl or the
      # engines: a third less time). Its install target wants the programs
      # too, so headers (links into crypto/), libcrypto and its pkg-config file
      # are copied by hand.
      tar -xzf "$sources/${files[0]}" -C "$work"
      build env "${compiler[@]}" ./Configure "$target" "${cross[@]}" shared no-asm \
        --prefix="$dest" --openssldir="$dest/ssl" "${cflags[@]}"
      build make build_crypto libcrypto.pc
      mkdir -p "$dest/include" "$dest/lib/pkgconfig"
      cp -RL "$work/openssl-$release/include/openssl" "$dest/include/"
      cp -P "$work/openssl-$release"/libcrypto.so* "$dest/lib/"
      cp "$work/openssl-$release/libcrypto.pc" "$dest/lib/pkgconfig/" ;;
    3.*)
      tar -xzf "$sources/${files[0]}" -C "$work"
      build ./Configure "$target" "${cross[@]}" "${compiler[@]}" shared no-tests no-docs no-apps \
        --prefix="$dest" --libdir=lib "${cflags[@]}"
      build make -j "${JOBS:-2}" build_libs
      build make install_dev ;;
  esac
  echo "$stamp" >"$dest/.prepared"
fi
echo "OPENSSL_ROOT_DIR=$root"
echo "OPENSSL_LIBRARY_DIR=$libdir"

#!/usr/bin/env bash
# Puts OpenSSL RELEASE for Debian architecture ARCH under DEST, once, from the
# files in SOURCES (checked against SOURCES/SHA256SUMS), and prints where it is:
#   OPENSSL_ROOT_DIR=...     for CMake (-DOPENSSL_ROOT_DIR)
#   OPENSSL_LIBRARY_DIR=...  for the loader (LD_LIBRARY_PATH, or the cross
#                            build's VOMAXEL_TARGET_LIBRARY_PATH)
#   prepare-openssl.sh SOURCES RELEASE ARCH DEST
# 1.1.1 releases are unpacked from Debian's libssl1.1 and libssl-dev packages
# (never installed), 3.x releases built from the source archive. A DEST made
# from the same files is kept: building 3.x takes minutes.
set -euo pipefail
PROGRAM=prepare-openssl
[ $# -eq 4 ] || { echo "usage: $PROGRAM SOURCES RELEASE ARCH DEST" >&2; exit 2; }
sources=$1 release=$2 arch=$3 dest=$(realpath -m "$4")
case $arch in
  amd64) triplet=x86_64-linux-gnu target=linux-x86_64 ;;
  armhf) triplet=arm-linux-gnueabihf target=linux-armv4 ;;
  arm64) triplet=aarch64-linux-gnu target=linux-aarch64 ;;
  *) echo "$PROGRAM: ARCH is '$arch', not amd64, armhf or arm64" >&2; exit 2 ;;
esac

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
  3.*)
    files=("$(found "openssl-$release.tar.gz")")
    root=$dest libdir=$dest/lib ;;
  *) echo "$PROGRAM: no way to prepare OpenSSL $release" >&2; exit 2 ;;
esac
stamp="$(checked "${files[@]}")$arch"

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
    3.*)
      cross=()
      [ "$arch" = "$(dpkg --print-architecture)" ] || cross=(--cross-compile-prefix=$triplet-)
      tar -xzf "$sources/${files[0]}" -C "$work"
      log=$work/build.log
      if ! (cd "$work/openssl-$release" &&
            ./Configure "$target" "${cross[@]}" shared no-tests no-docs no-apps \
              --prefix="$dest" --libdir=lib &&
            make -j "${JOBS:-2}" build_libs && make install_dev) >"$log" 2>&1; then
        tail -40 "$log" >&2
        echo "$PROGRAM: building OpenSSL $release failed" >&2
        rm -rf "$dest"
        exit 1
      fi ;;
  esac
  echo "$stamp" >"$dest/.prepared"
fi
echo "OPENSSL_ROOT_DIR=$root"
echo "OPENSSL_LIBRARY_DIR=$libdir"

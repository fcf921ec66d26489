#!/usr/bin/env bash
# Unpacks the receiver SDK NAME (../shared/toolchains/NAME.tar.xz, checked
# against SHA256SUMS beside it; VOMAXEL_TOOLCHAIN_SOURCES names another folder)
# so that ROOT is its top folder, once: a ROOT unpacked from the same archive is kept.
#   prepare-toolchain.sh NAME ROOT
set -euo pipefail
PROGRAM=prepare-toolchain
[ $# -eq 2 ] || { echo "usage: $PROGRAM NAME ROOT" >&2; exit 2; }
name=$1 root=$(realpath -m "$2")
sources=$(realpath -m "${VOMAXEL_TOOLCHAIN_SOURCES:-$(dirname "$0")/../../shared/toolchains}")
sum=$(grep -E "^[0-9a-f]{64}  $name\.tar\.xz\$" "$sources/SHA256SUMS" || true)
[ -n "$sum" ] || { echo "$PROGRAM: $sources/SHA256SUMS has no line for $name.tar.xz" >&2; exit 1; }
[ "$(cat "$root/.unpacked" 2>/dev/null)" = "$sum" ] && exit 0
(cd "$sources" && sha256sum --quiet -c - <<<"$sum") ||
  { echo "$PROGRAM: $sources/$name.tar.xz does not match SHA256SUMS" >&2; exit 1; }
echo "$PROGRAM: unpacking $name into $root"
rm -rf "$root"
mkdir -p "$(dirname "$root")"
work=$(mktemp -d "$root.XXXXXX")
trap 'rm -rf "$work"' EXIT
tar -xJf "$sources/$name.tar.xz" -C "$work"
# Header-only libraries that the SDK lacks come from the build machine, as an
# integrator adds them to an SDK's sysroot.
for include in "$work/$name"/*/sysroot/usr/include; do
  for header in boost CLI; do
    [ ! -d "/usr/include/$header" ] || ln -s "/usr/include/$header" "$include/$header"
  done
done
mv "$work/$name" "$root"
echo "$sum" >"$root/.unpacked"

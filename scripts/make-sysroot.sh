#!/usr/bin/env bash
# Makes DIR/sysroot, as Yocto and Buildroot build against: the packages below
# and their direct dependencies (first alternative) for ARCH, at the registry's
# candidate version, downloaded to DIR/debs and unpacked with dpkg -x; nothing
# of the build machine's goes in. The same set again keeps the sysroot as is.
#   make-sysroot.sh ARCH DIR
set -euo pipefail
PROGRAM=make-sysroot ARCH=${1:-} DIR=${2:-}
[ -n "$ARCH" ] && [ -n "$DIR" ] || { echo "usage: $PROGRAM ARCH DIR" >&2; exit 2; }
. "$(dirname "$0")/apt.sh"

DEV=(libc6-dev linux-libc-dev libstdc++-12-dev libgcc-12-dev libjsoncpp-dev libssl-dev
     libgtest-dev libboost1.74-dev)
# CLI11's headers and CMake package are the same for every architecture.
ALL=(libcli11-dev)
# Dependencies that hold programs of the build machine's kind or sources only.
SKIP=" libc-dev-bin rpcsvc-proto googletest gcc-12-base "

if ! apt-cache show "libc6:$ARCH" >/dev/null 2>&1; then
  dpkg --print-foreign-architectures | grep -qx "$ARCH" || "${SUDO[@]}" dpkg --add-architecture "$ARCH"
  apt_update
fi

# Package, Architecture, Version and Depends of each candidate, one stanza each.
show() { apt-cache show --no-all-versions "$@" || true; }
dev_depends=$(show "${DEV[@]/%/:$ARCH}" | sed -n 's/^Depends: //p' | tr ',' '\n' |
  sed -E 's/\|.*//; s/\(.*\)//; s/:any//; s/[[:space:]]//g')
wanted=$(printf '%s\n' "${DEV[@]}" $dev_depends | sort -u | while read -r pkg; do
  [[ $SKIP == *" $pkg "* ]] || echo "$pkg:$ARCH"
done)
# name:arch=version, one per line: the sysroot's identity.
set_list=$(show $wanted "${ALL[@]}" |
  awk '/^Package:/ {p = $2} /^Architecture:/ {a = $2} /^Version:/ {v = $2}
       /^$/ && p {print p ":" a "=" v; p = ""} END {if (p) print p ":" a "=" v}' | sort)
[ "$(wc -l <<<"$set_list")" -eq $(($(wc -w <<<"$wanted") + ${#ALL[@]})) ] ||
  { echo "$PROGRAM: the registry does not offer all of: $wanted ${ALL[*]}" >&2; exit 1; }

sysroot=$DIR/sysroot
[ "$(cat "$sysroot.packages" 2>/dev/null)" != "$set_list" ] ||
  { echo "$PROGRAM: $sysroot is up to date ($(wc -l <<<"$set_list") packages)"; exit 0; }

mkdir -p "$DIR/debs"
(cd "$DIR/debs" && apt-get download ${set_list//:all=/=} 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
rm -rf "$sysroot" "$sysroot.packages" && mkdir -p "$sysroot"
for entry in $set_list; do
  name=${entry%%:*} version=${entry##*=}
  deb=$(ls "$DIR"/debs/"${name}"_"${version//:/%3a}"_*.deb) ||
    { echo "$PROGRAM: $entry not downloaded" >&2; exit 1; }
  dpkg -x "$deb" "$sysroot"
done
# Absolute links point into the sysroot, never at the build machine's files.
find "$sysroot" -type l -lname '/*' | while read -r link; do
  target=$(readlink "$link")
  ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$sysroot$target")" "$link"
done
echo "$set_list" >"$sysroot.packages"
echo "$PROGRAM: $sysroot made from $(wc -l <<<"$set_list") packages"

#!/usr/bin/env bash
# Installs what the 32-bit ARM cross build and its emulated test run need:
# the cross compiler, qemu-user and the armhf builds of jsoncpp, OpenSSL,
# GoogleTest and GoogleMock. Boost is header-only; the native headers serve.
#
# libssl3 and libssl-dev are Multi-Arch: same, so amd64 and armhf must carry
# one version. The registry may offer a newer amd64 build than armhf (or the
# installed one may be gone from it): both architectures are installed at the
# newest version that the registry has for all four packages.
#
# Exits 0 when everything is in place, 75 when the registry cannot supply a
# consistent set, so that callers can tell that apart from a failed build.
set -euo pipefail

NATIVE=(crossbuild-essential-armhf qemu-user libboost-dev)
CROSS=(libjsoncpp-dev:armhf libgtest-dev:armhf libgmock-dev:armhf)
HOST_ARCH=$(dpkg --print-architecture)
SSL=(libssl3:$HOST_ARCH libssl-dev:$HOST_ARCH libssl3:armhf libssl-dev:armhf)

installed_version() {
  dpkg-query -W -f='${Status} ${Version}\n' "$1" 2>/dev/null |
    awk '$1 == "install" && $3 == "installed" {print $4}'
}

complete() {
  local pkg ssl_versions=""
  for pkg in "${NATIVE[@]}" "${CROSS[@]}"; do
    [ -n "$(installed_version "$pkg")" ] || return 1
  done
  for pkg in "${SSL[@]}"; do
    ssl_versions+="$(installed_version "$pkg")"$'\n'
  done
  [ "$(sort -u <<<"$ssl_versions" | sed '/^$/d' | wc -l)" -eq 1 ] &&
    [ "$(sed '/^$/d' <<<"$ssl_versions" | wc -l)" -eq ${#SSL[@]} ]
}

unavailable() {
  echo "install-armhf-deps: $*" >&2
  exit 75
}

complete && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
APT_INSTALL=($SUDO apt-get install -y -qq --no-install-recommends)

dpkg --print-foreign-architectures | grep -qx armhf || $SUDO dpkg --add-architecture armhf
# A secondary index (typically security for armhf) may fail to download while
# its mirror syncs; the main index has everything needed.
$SUDO apt-get update -qq || echo "install-armhf-deps: some package indexes failed to download; going on"

"${APT_INSTALL[@]}" "${NATIVE[@]}" || unavailable "cannot install ${NATIVE[*]}"

common=$(for pkg in "${SSL[@]}"; do apt-cache madison "$pkg" | awk '{print $3}' | sort -u; done |
  sort | uniq -c | awk -v n=${#SSL[@]} '$1 == n {print $2}' | sort -V | tail -1)
[ -n "$common" ] || unavailable "no libssl3/libssl-dev version is offered for both amd64 and armhf"
echo "install-armhf-deps: libssl3 and libssl-dev $common on amd64 and armhf"
"${APT_INSTALL[@]}" --allow-downgrades "${SSL[@]/%/=$common}" "${CROSS[@]}" ||
  unavailable "cannot install ${SSL[*]} at $common with ${CROSS[*]}"
complete || unavailable "packages missing after installation"

#!/usr/bin/env bash
# Installs what the cross build for one architecture and its emulated test
# run need: the cross compiler, qemu-user and that architecture's builds of
# jsoncpp, OpenSSL and GoogleTest. Boost is header-only; the native headers
# serve.
#   install-cross-deps.sh ARCH   (an emulated row of cmake/architectures.txt)
#
# libssl3 and libssl-dev are Multi-Arch: same, so every architecture that
# carries them must carry one version. The registry may offer a newer build for
# one architecture than for another (or the installed one may be gone from
# it): all of them, the native one, ARCH and any other already installed, are
# installed at the newest version that the registry has for every one.
#
# Exits 0 when everything is in place, 75 when the registry cannot supply a
# consistent set, so that callers can tell that apart from a failed build.
set -euo pipefail
PROGRAM=install-cross-deps
ARCH=${1:-}
. "$(dirname "$0")/architecture.sh"
architectures emulated | grep -qx -- "$ARCH" ||
  { echo "usage: $PROGRAM $(architectures emulated | paste -sd'|')" >&2; exit 2; }
. "$(dirname "$0")/apt.sh"

NATIVE=(crossbuild-essential-$ARCH qemu-user libboost-dev)
CROSS=(libjsoncpp-dev:$ARCH libgtest-dev:$ARCH)

installed_version() {
  dpkg-query -W -f='${Status} ${Version}\n' "$1" 2>/dev/null |
    awk '$1 == "install" && $3 == "installed" {print $4}'
}

# OpenSSL's packages for the native architecture and ARCH, and those already
# installed for another foreign architecture.
HOST_ARCH=$(dpkg --print-architecture)
SSL=(libssl3:$HOST_ARCH libssl-dev:$HOST_ARCH libssl3:$ARCH libssl-dev:$ARCH)
for arch in $(dpkg --print-foreign-architectures); do
  [ "$arch" != "$ARCH" ] || continue
  for pkg in libssl3:$arch libssl-dev:$arch; do
    [ -z "$(installed_version "$pkg")" ] || SSL+=("$pkg")
  done
done

complete() {
  local pkg versions=""
  for pkg in "${NATIVE[@]}" "${CROSS[@]}"; do
    [ -n "$(installed_version "$pkg")" ] || return 1
  done
  for pkg in "${SSL[@]}"; do
    versions+="$(installed_version "$pkg")"$'\n'
  done
  [ "$(sed '/^$/d' <<<"$versions" | wc -l)" -eq ${#SSL[@]} ] &&
    [ "$(sed '/^$/d' <<<"$versions" | sort -u | wc -l)" -eq 1 ]
}

unavailable() {
  echo "$PROGRAM: $*" >&2
  exit 75
}

complete && exit 0

dpkg --print-foreign-architectures | grep -qx "$ARCH" || "${SUDO[@]}" dpkg --add-architecture "$ARCH"
apt_update
apt_install "${NATIVE[@]}" || unavailable "cannot install ${NATIVE[*]}"

common=$(for pkg in "${SSL[@]}"; do apt-cache madison "$pkg" | awk '{print $3}' | sort -u; done |
  sort | uniq -c | awk -v n=${#SSL[@]} '$1 == n {print $2}' | sort -V | tail -1)
[ -n "$common" ] || unavailable "no libssl3/libssl-dev version is offered for all of ${SSL[*]}"
echo "$PROGRAM: ${SSL[*]} at $common"
apt_install --allow-downgrades "${SSL[@]/%/=$common}" "${CROSS[@]}" ||
  unavailable "cannot install ${SSL[*]} at $common with ${CROSS[*]}"
complete || unavailable "packages missing after installation"

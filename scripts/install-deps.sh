#!/usr/bin/env bash
# Installs the Debian packages named that are missing; apt-get runs only then.
set -euo pipefail
PROGRAM=install-deps
. "$(dirname "$0")/apt.sh"
missing=()
for pkg in "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
apt_update
apt_install "${missing[@]}" || { echo "$PROGRAM: cannot install ${missing[*]}" >&2; exit 1; }

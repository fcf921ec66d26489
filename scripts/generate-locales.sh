#!/usr/bin/env bash
# Generates the locales named on the command line (LANGUAGE_TERRITORY.CHARSET,
# such as de_DE.UTF-8) that are missing; the host-locale tests run the plug-in
# under them. localedef comes with the C library, its locale sources with the
# package "locales". A locale generated once serves every later run.
set -euo pipefail
SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
for name in "$@"; do
  # `locale -a` spells the character set in lower case without the hyphen.
  installed=$(echo "${name%%.*}.${name#*.}" | tr 'A-Z' 'a-z' | tr -d '-')
  if ! locale -a | tr 'A-Z' 'a-z' | grep -qx "$installed"; then
    echo "generating the locale $name"
    "${SUDO[@]}" localedef -i "${name%%.*}" -f "${name#*.}" "$name"
  fi
done

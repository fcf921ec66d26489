# apt-get as the install scripts run it (sourced; PROGRAM names the caller),
# waiting up to ten minutes for another apt or dpkg. An index may fail while a
# mirror syncs: the update is tried three times, then install uses what it has.

SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
APT_GET=("${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)

apt_update() {
  local try
  for try in 1 2 3; do
    "${APT_GET[@]}" update -qq && return 0
    [ $try -eq 3 ] || { echo "$PROGRAM: apt-get update failed; trying again in 10 s" >&2; sleep 10; }
  done
  echo "$PROGRAM: some package indexes are still missing; installing from those at hand" >&2
}

apt_install() { "${APT_GET[@]}" install -y -qq --no-install-recommends "$@"; }

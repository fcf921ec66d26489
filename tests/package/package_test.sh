#!/usr/bin/env bash
# The Debian packages as a host's developer meets them: built by CPack from
# BUILD into BUILD/packages, checked by lintian (where installed), their files
# and relations checked, and installed with dpkg into a scratch root together
# with the plug-in and development packages that builds for other
# architectures (PEER_BUILDS) have made there, which dpkg refuses if a file
# they share differs. Then the installed acrhost's self-test runs, and the
# installed sample host is built against the root through find_package(Vomaxel
# CONFIG) and through pkg-config; each build loads the plug-in from the path
# the package gives and decrypts the installed event sample's wire form.
#   package_test.sh BUILD TRIPLET LIBDIR DATA [CMAKE_ARGS...]
# (a cross build's toolchain file and the variables it reads, for the sample host)
# Environment: CXX, PEER_BUILDS (build folders, ':' between them); in a cross
# build EMULATOR (words) and PKG_CONFIG_LIBDIR.
# DATA/event_wire.json is acrhost/samples/event.json with its four encrypted members
# made by `openssl enc -aes-128-cbc` under the demo key's current half, zero IV.
set -uo pipefail
export LC_ALL=C
build=$1 triplet=$2 libdir=$3 data=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
read -ra emulator <<<"${EMULATOR:-}"

fail() { echo "FAIL: $*"; exit 1; }
# quiet LOG COMMAND...: runs COMMAND with its output kept in LOG, shown if it fails.
quiet() { local log=$work/$1; shift; "$@" >"$log" 2>&1 || { cat "$log"; fail "$*"; }; }
debs=$build/packages
field() { dpkg-deb -f "$debs/$1"_*.deb "$2"; }

rm -f "$debs"/*.deb
quiet cpack.log cpack --config "$build/CPackConfig.cmake" -B "$debs"
if command -v lintian >/dev/null; then
  quiet lintian.log lintian --fail-on error,warning "$debs"/*.deb
fi

arch=$(dpkg-architecture -t "$triplet" -qDEB_HOST_ARCH 2>/dev/null)
diff -u - <(for deb in "$debs"/*.deb; do
              dpkg-deb -W --showformat='${Package} ${Architecture}\n' "$deb"
              dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}'
            done) <<FILES || fail "the packages' names, architectures or files differ"
acrhost $arch
./usr/bin/acrhost
./usr/share/doc/acrhost/changelog.gz
./usr/share/doc/acrhost/copyright
./usr/share/man/man1/acrhost.1.gz
./usr/share/vomaxel/samples/answer.json
./usr/share/vomaxel/samples/demo.key
./usr/share/vomaxel/samples/event.json
./usr/share/vomaxel/samples/match_info.json
./usr/share/vomaxel/samples/report-batched.json
./usr/share/vomaxel/samples/report.json
./usr/share/vomaxel/selftest.json
libvomaxel-dev $arch
./usr/include/vomaxel/Dravlog.h
./usr/include/vomaxel/IVomaxel.h
./usr/$libdir/cmake/Vomaxel/VomaxelConfig.cmake
./usr/$libdir/cmake/Vomaxel/VomaxelConfigVersion.cmake
./usr/$libdir/pkgconfig/vomaxel.pc
./usr/share/doc/libvomaxel-dev/changelog.gz
./usr/share/doc/libvomaxel-dev/copyright
./usr/share/doc/libvomaxel-dev/examples/host/CMakeLists.txt
./usr/share/doc/libvomaxel-dev/examples/host/SampleHost.cpp
libvomaxel $arch
./usr/$libdir/vomaxel/libVomaxel.so
./usr/share/doc/libvomaxel/changelog.gz
./usr/share/doc/libvomaxel/copyright
FILES

# The plug-in depends on jsoncpp and recommends libssl3 (the host loads libcrypto);
# the others depend on the plug-in of their own version. The plug-in and the
# development files are co-installable for several architectures.
version=$(field libvomaxel Version)
while read -r package name pattern; do
  [[ $(field "$package" "$name") =~ $pattern ]] ||
    fail "$package's $name '$(field "$package" "$name")' does not match '$pattern'"
done <<RELATIONS
libvomaxel Depends (^|, )libjsoncpp[0-9]+ \(
libvomaxel Recommends ^libssl3$
libvomaxel-dev Depends ^libvomaxel \(= $version\), libssl-dev$
acrhost Depends ^libvomaxel \(= $version\), .*libssl3 \(
libvomaxel Multi-Arch ^same$
libvomaxel-dev Multi-Arch ^same$
acrhost Multi-Arch ^foreign$
RELATIONS

# The root's database knows only these packages: their dependencies are not
# checked. (Another build's packages made before a change to a file they
# share with ours fail here: make them again.)
installs=("$debs"/*.deb)
IFS=: read -ra peer_builds <<<"${PEER_BUILDS:-}"
for peer in "${peer_builds[@]}"; do
  for deb in "$peer"/packages/libvomaxel{,-dev}_*.deb; do
    [[ -f $deb && $(dpkg-deb -f "$deb" Architecture) != "$arch" ]] && installs+=("$deb")
  done
done
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" && touch "$root/var/lib/dpkg/status"
for foreign in $(for deb in "${installs[@]}"; do dpkg-deb -f "$deb" Architecture; done | sort -u); do
  [ "$foreign" = "$(dpkg --print-architecture)" ] || dpkg --root="$root" --add-architecture "$foreign"
done
quiet install.log dpkg --root="$root" --log=/dev/null --force-not-root --force-depends -i "${installs[@]}"
dpkg-query --admindir="$root/var/lib/dpkg" -W -f='installed ${Package}:${Architecture}\n'
"${emulator[@]}" "$root/usr/bin/acrhost" selftest >"$work/selftest.out" 2>&1 ||
  fail "the packaged acrhost's self-test failed: $(grep -v '^ok' "$work/selftest.out" | head -c 2000)"

example=$root/usr/share/doc/libvomaxel-dev/examples/host samples=$root/usr/share/vomaxel/samples
# run_host LABEL PROGRAM: the sample host decrypts the answer with the demo key.
run_host() {
  "${emulator[@]}" "$2" "$(<"$samples/demo.key")" <"$data/event_wire.json" >"$work/$1.out" 2>"$work/$1.err" ||
    fail "$1: the sample host failed: $(head -c 2000 "$work/$1.err")"
  diff -u "$samples/event.json" "$work/$1.out" || fail "$1: the sample host's answer differs"
}
warnings=(-Wall -Wextra -Werror -Wno-psabi)

quiet configure.log cmake -S "$example" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$root/usr" \
  -DCMAKE_CXX_FLAGS="${warnings[*]}" "$@"
quiet build.log cmake --build "$work/cmake"
run_host find_package "$work/cmake/sample-host"
# As docs/integrating.md has it: the installed acrhost plays the server for the sample host.
"${emulator[@]}" "$root/usr/bin/acrhost" encrypt --key-file "$samples/demo.key" "$samples/event.json" \
    2>"$work/encrypt.err" | "${emulator[@]}" "$work/cmake/sample-host" "$(<"$samples/demo.key")" 2>/dev/null |
  diff -u "$samples/event.json" - || fail "acrhost encrypt | sample-host: $(head -c 2000 "$work/encrypt.err")"

# The pkg-config file names the installed paths, which the root holds under its own.
export PKG_CONFIG_PATH=$root/usr/$libdir/pkgconfig
[ "$(pkg-config --variable=plugin vomaxel)" = "/usr/$libdir/vomaxel/libVomaxel.so" ] ||
  fail "pkg-config's plugin is $(pkg-config --variable=plugin vomaxel), not the installed path" \
    "(a build folder configured before the prefix became /usr: configure it afresh)"
in_root=(--define-variable=prefix="$root/usr")
plugin=$(pkg-config "${in_root[@]}" --variable=plugin vomaxel) &&
  flags=$(pkg-config "${in_root[@]}" --cflags --libs vomaxel) ||
  fail "pkg-config does not know the unpacked vomaxel"
quiet compile.log "$CXX" "${warnings[@]}" -DVOMAXEL_PLUGIN="\"$plugin\"" -o "$work/pkg-config-host" \
  "$example/SampleHost.cpp" $flags
run_host pkg-config "$work/pkg-config-host"
echo "PASS"

#!/usr/bin/env bash
# Checks libVomaxel.so's dynamic linkage: it needs only the jsoncpp it was
# built against (JSONCPP_LIBRARY's soname) and the system runtime, has no run
# path, exports exactly the names in the exports file, leaves the host's
# symbols (constants, log framework, OpenSSL) undefined and not weak and calls
# no other libcrypto function; and the comma-separated checks in the optional
# fifth argument: the hardening the build applied, old-abi (no symbol may name
# __cxx11) and max:NAME_VERSION (the plug-in needs no version of NAME above
# VERSION: a receiver's runtime that has it loads the plug-in). Prints the
# highest GLIBC_, GLIBCXX_ and CXXABI_ versions that the plug-in needs.
#   check_linkage.sh PLUGIN JSONCPP_LIBRARY EXPORTS_FILE HOST_SYMBOLS_FILE [CHECKS]
set -euo pipefail
plugin=$1
jsoncpp=$2
exports_file=$3
host_symbols_file=$4
checks=${5:-}
READELF=${READELF:-readelf}
status=0
fail() { echo "FAIL: $*"; status=1; }

needed=$($READELF -d -W "$plugin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "NEEDED: $(echo $needed)"
soname=$($READELF -d -W "$jsoncpp" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
grep -qxF "$soname" <<<"$needed" || fail "$soname, the soname of $jsoncpp, is not NEEDED"
! $READELF -d -W "$plugin" | grep -qE '\((RPATH|RUNPATH)\)' || fail "the plug-in has a run path"
# The loader where the stack protector's guard lives there (MIPS: ld.so.1).
while read -r lib; do
  case $lib in
    libjsoncpp.so.*|libstdc++.so.*|libm.so.*|libgcc_s.so.*|libc.so.*|ld-linux*|ld.so.*) ;;
    *) fail "unexpected NEEDED library $lib" ;;
  esac
done <<<"$needed"

# Num: Value Size Type Bind Vis Ndx Name
syms=$($READELF --dyn-syms -W "$plugin" | awk '$1 ~ /^[0-9]+:$/ && NF >= 8 {sub(/@.*/, "", $8); print $5, $7, $8}')

exported=$(awk '$2 != "UND" && $1 != "LOCAL" {print $3}' <<<"$syms" | c++filt | sort)
expected=$(grep -v '^#' "$exports_file" | sed '/^$/d' | sort)
if [ "$exported" != "$expected" ]; then
  fail "exports differ from $exports_file:"
  diff <(echo "$expected") <(echo "$exported") || true
fi

undefined=$(awk '$2 == "UND" && $3 != "" {print $1, $3}' <<<"$syms")
for name in $(grep -v '^#' "$host_symbols_file"); do
  bind=$(awk -v n="$name" '$2 == n {print $1}' <<<"$undefined")
  [ "$bind" = GLOBAL ] || fail "$name is not an ordinary undefined reference (binding: '${bind:-none}')"
done
weak=$(awk '$1 != "GLOBAL" && $2 ~ /^(EVP_|OPENSSL_|ACR_STRING_|_ZN7Dravlog|_ZTV13DravlogDunrik)/ {print $2}' <<<"$undefined")
[ -z "$weak" ] || fail "weak references to host symbols: $weak"
# No other libcrypto function: the listed ones exist in every release the
# plug-in meets, and what sets up libcrypto for the process (1.0.x's locking
# callbacks, for one) is the host's to call, not a guest's.
crypto=$(awk '$2 ~ /^(CRYPTO_|OPENSSL_|ERR_|EVP_|SSLeay|OpenSSL_)/ {print $2}' <<<"$undefined" |
  grep -vxFf <(grep -v '^#' "$host_symbols_file") || true)
[ -z "$crypto" ] || fail "libcrypto functions not in $host_symbols_file: $(echo $crypto)"

# The highest version of each runtime library family that the plug-in needs.
needs=$($READELF -V -W "$plugin" | sed -n '/Version needs section/,$p' |
        grep -oE 'Name: (GLIBC|GLIBCXX|CXXABI)_[0-9.]+' | cut -d' ' -f2 | sort -V)
highest() { grep "^$1_[0-9]" <<<"$needs" | tail -n 1; }
echo "runtime needs at least: $(highest GLIBC) $(highest GLIBCXX) $(highest CXXABI)"

for kind in ${checks//,/ }; do
  case $kind in
    old-abi) cxx11=$(awk '$3 ~ /__cxx11/ {print $3}' <<<"$syms" | c++filt)
             [ -z "$cxx11" ] || fail "symbols of the new string ABI: $cxx11" ;;
    stack-protector) awk '$2 == "__stack_chk_fail"' <<<"$undefined" | grep -q . ||
                       fail "no stack protector: __stack_chk_fail is not referenced" ;;
    fortify) awk '$2 ~ /^__.*_chk$/ && $2 != "__stack_chk_fail"' <<<"$undefined" | grep -q . ||
               fail "no fortified call: no __*_chk function is referenced" ;;
    relro) $READELF -l -W "$plugin" | grep -q GNU_RELRO || fail "no GNU_RELRO segment" ;;
    now) $READELF -d -W "$plugin" | grep -q '(FLAGS) .*BIND_NOW' || fail "no BIND_NOW flag" ;;
    max:*) ceiling=${kind#max:} need=$(highest "${ceiling%_*}")
           [ -z "$need" ] || [ "$(printf '%s\n' "$need" "$ceiling" | sort -V | tail -n 1)" = "$ceiling" ] ||
             fail "needs $need, above $ceiling" ;;
  esac
done
[ $status -eq 0 ] && echo "linkage OK: $(wc -l <<<"$expected") exports; checks: ${checks:-none}"
exit $status

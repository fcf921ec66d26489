#!/usr/bin/env bash
# Fails when an ELF file or archive under the FOLDERs (a build's programs and
# libraries, the libraries it built from source) asks for more than CPU, the
# qemu model of its architecture's oldest receiver (cmake/architectures.txt's
# cpu column; - for the build machine's own x86-64). What a file states:
#   ARM      its build attributes (readelf -A): Tag_CPU_arch, the Thumb ISA,
#            the FP and SIMD architectures
#   MIPS     its ISA level and NaN encoding (ELF header flags) and its ASEs
#            (ABI flags)
#   x86      the ISA levels and register sets in its GNU property note (an
#            x86-64 file's, an i686 object's: cmake/cross-toolchain.cmake)
#   AArch64  the machine alone: the tests running on the model check the rest
# Prints each distinct set of values found, with a file that has it. SKIP
# names a folder left out (a sysroot of the target's own packages). Object
# files are left to the programs, libraries and archives made of them: a link
# takes on the most any of its objects asks for.
#   check_cpu.sh CPU FOLDER...
set -euo pipefail
cpu=$1
shift
READELF=${READELF:-readelf}
# Per model: the machine, then for each value an extended regex of what it may be.
declare -A may
case $cpu in
  arm926|arm1176|cortex-a7) machine=ARM
    may[Tag_CPU_arch]='v4T?|v5TE?J?' may[Tag_THUMB_ISA_use]='Thumb-1' may[Tag_FP_arch]='' ;;&
  arm1176)    may[Tag_CPU_arch]+='|v6K?Z?' may[Tag_FP_arch]='VFPv[12]' ;;
  cortex-a7)  may[Tag_CPU_arch]+='|v6K?Z?|v6T2|v7' may[Tag_THUMB_ISA_use]='Thumb-[12]'
              may[Tag_FP_arch]='VFPv[1-4](-D16)?' may[Tag_Advanced_SIMD_arch]='NEONv1( with Fused-MAC)?' ;;
  cortex-a53) machine=AArch64 ;;
  24Kf)       machine='MIPS R3000' may[isa]='mips(1|2|32|32r2)' may[ASE]='None|MIPS16' may[nan]='' ;;
  n270|-)     machine='Intel 80386' may[isa_level]='x86-64-baseline' may[registers]='x86|x87|MMX|XMM|FXSR'
              [ "$cpu" = n270 ] || machine='Advanced Micro Devices X86-64' ;;
esac
[ -n "${machine:-}" ] || { echo "FAIL: no profile of CPU model '$cpu'"; exit 1; }

# "NAME VALUE" lines: what one ELF file (or archive member) asks for.
asks() {
  case $machine in
    ARM) sed -n 's/^ *\(Tag_CPU_arch\|Tag_THUMB_ISA_use\|Tag_FP_arch\|Tag_Advanced_SIMD_arch\): /\1 /p' ;;
    MIPS*) awk '/^ *Flags:/ { for (i = 2; i <= NF; i++) { sub(/,$/, "", $i)
                                if ($i ~ /^mips[0-9]/) print "isa", $i; if ($i == "nan2008") print "nan", $i } }
                /^ASEs:/ { ase = 1; next } ase && /^\t/ { sub(/^\t/, ""); print "ASE", $0; next } { ase = 0 }' ;;
    Intel*|Adv*) sed -n 's/.*x86 ISA \(needed\|used\): \(.*\)/isa_level \2/p; s/.*x86 feature used: \(.*\)/registers \1/p' |
                 awk '{ name = $1; sub(/^[^ ]+ ?/, ""); n = split($0, v, /, /); for (i = 1; i <= n; i++) print name, v[i] }' ;;
    *) cat >/dev/null ;;
  esac
}

status=0
declare -A seen
while IFS= read -r -d '' file; do
  LC_ALL=C read -r -n 4 magic <"$file" 2>/dev/null || true
  [[ $magic == $'\x7fELF' || $magic == '!<ar' ]] || continue
  header=$($READELF -h "$file" 2>/dev/null) || continue
  found=$(sed -n 's/^ *Machine: *//p' <<<"$header" | sort -u)
  [ -n "$found" ] || continue  # an empty archive
  [ "$found" = "$machine" ] || { echo "FAIL: $file is for $found, not $machine"; status=1; continue; }
  facts=$( { echo "$header"; $READELF -A -n "$file"; } | asks | sort -u)
  while read -r name value; do
    [ -n "$name" ] || continue
    [[ -v may[$name] && $value =~ ^(${may[$name]})$ ]] ||
      { echo "FAIL: $file asks for $name $value, more than $cpu has"; status=1; }
  done <<<"$facts"
  key=$(echo $facts)
  key=${key:-(nothing stated)}
  [[ -v seen[$key] ]] || { seen[$key]=1; echo "$key: $file"; }
done < <(find "$@" \( -path '*/CMakeFiles/[0-9]*' -o -path "${SKIP:-}" \) -prune -o \
           -type f ! -name '*.o' ! -name '*.h' ! -name '*.cmake' -print0 | sort -z)
[ $status -eq 0 ] && echo "every ELF file asks for no more than $cpu"
exit $status

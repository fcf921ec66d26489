#!/usr/bin/env bash
# Checks that a sysroot build took the target's files from the sysroot alone:
# every include, library and prefix folder in the compile database and the
# link commands, every library linked by path, and every header the compiler
# read (its dependency files) lies in the sysroot, the compiler's own folder
# or the project's sources and this build.
#   check-sysroot-build.sh BUILD SYSROOT SOURCE COMPILER
set -euo pipefail
build=$(realpath "$1") sysroot=$(realpath "$2") source=$(realpath "$3") compiler=$4
own=$(dirname "$("$compiler" -print-file-name=include)")
allowed=("$sysroot" "$own" "$source")

# The paths on standard input that lie elsewhere; of the project's folder
# only this build's own and the sources count.
under() { [[ $1 == "$2" || $1 == "$2"/* ]]; }
outside() {
  local path prefix
  sed -E 's/^[^/]*//; s/ $//; /^$/d' | xargs -r realpath -m | while read -r path; do
    if [[ $path == "$source"/build* ]]; then
      under "$path" "$build" || under "$path" "$sysroot" || echo "$path"
      continue
    fi
    for prefix in "${allowed[@]}"; do
      under "$path" "$prefix" && continue 2
    done
    echo "$path"
  done
}
flag_paths() { grep -oE '(-I|-isystem |-iquote |-idirafter |-L|-B|--sysroot=|-rpath,)/[^ ",:]+'; }

compile=$(grep -o '"command": "[^"]*"' "$build/compile_commands.json" | flag_paths | sort -u)
link_commands=$(find "$build" -name link.txt -exec cat {} +)
links=$( (flag_paths <<<"$link_commands"; grep -oE '(^| )/[^ ]+\.(so|a)(\.[0-9]+)*( |$)' <<<"$link_commands" || true) | sort -u)
headers=$(find "$build" -name '*.o.d' -exec cat {} + | tr ' \\' '\n\n' | grep '^/' | sort -u)
status=0
for kind in compile links headers; do
  bad=$(outside <<<"${!kind}")
  echo "$kind: $(wc -l <<<"${!kind}") paths, $(sed '/^$/d' <<<"$bad" | wc -l) outside ${allowed[*]}"
  [ -z "$bad" ] || { echo "$bad" | head -20; status=1; }
done
exit $status

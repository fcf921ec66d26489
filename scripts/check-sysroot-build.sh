#!/usr/bin/env bash
# Checks that a sysroot build (Ninja) took the target's files from the sysroot
# alone: every folder in its compile and link flags, library linked by path and
# header read lies in the sysroot, the compiler's own folder, the sources or
# this build.   check-sysroot-build.sh BUILD SYSROOT SOURCE COMPILER
set -euo pipefail
build=$(realpath "$1") sysroot=$(realpath "$2") source=$(realpath "$3") compiler=$4
own=$(dirname "$("$compiler" -print-file-name=include)")
allowed=("$sysroot" "$own" "$source")

# The paths on standard input that lie elsewhere (another build folder too).
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
commands=$(ninja -C "$build" -t commands)
links=$( (flag_paths <<<"$commands"; grep -oE '(^| )/[^ ]+\.(so|a)(\.[0-9]+)*( |$)' <<<"$commands" || true) | sort -u)
headers=$(ninja -C "$build" -t deps | sed -nE 's/^[[:space:]]+(\/)/\1/p' | sort -u)
status=0
for kind in compile links headers; do
  bad=$(outside <<<"${!kind}")
  echo "$kind: $(wc -l <<<"${!kind}") paths, $(sed '/^$/d' <<<"$bad" | wc -l) outside ${allowed[*]}"
  [ -z "$bad" ] || { echo "$bad" | head -20; status=1; }
done
exit $status

#!/usr/bin/env bash
# Writes acrhost(1), gzipped, from acrhost's own help, so that the manual
# cannot drift from it: help2man turns `acrhost --help` into the page, and the
# COMMANDS section holds each command's --help. Version and date come from
# the changelog, so the page is the same on every build of a version.
#   manpage.sh OUTPUT CHANGELOG ACRHOST...
# ACRHOST... runs acrhost: its path, after an emulator in a cross build.
set -euo pipefail
output=$1 changelog=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# help2man runs the program it is given by path; this one runs ACRHOST...
{ echo '#!/usr/bin/env bash'; printf 'exec'; printf ' %q' "$@"; echo ' "$@"'; } >"$work/acrhost"
chmod +x "$work/acrhost"

# CLI11's help: what the command does, its usage, then groups of options,
# each "  NAMES" padded to column 30 and its description, which starts on the
# next line after names of 28 characters or more. The footer is acrhost's.
command_help() {
  awk '
    function roff(text) {
      gsub(/\\/, "\\e", text); gsub(/-/, "\\-", text); sub(/^[.'\'']/, "\\\\&&", text)
      return text
    }
    /^Exit status:/ { exit }
    /^$/ { next }
    /^Usage: / { usage = 1; print ".PP\n" roff($0); next }
    !usage { print roff($0); next }
    /^[A-Z][A-Za-z]*:$/ { print ".PP\n\\fI" $0 "\\fR"; next }
    /^   / { sub(/^ +/, ""); print roff($0); next }
    { same_line = substr($0, 30, 1) == " "; tag = same_line ? substr($0, 3, 27) : substr($0, 3)
      sub(/ +$/, "", tag); print ".TP\n\\fB" roff(tag) "\\fR"
      if (same_line && length($0) > 30) print roff(substr($0, 31)) }'
}

"$work/acrhost" --help >"$work/help"
{
  echo '[COMMANDS]'
  for command in $(sed -n '/^Subcommands:/,/^$/s/^  \([a-z-]\+\) .*/\1/p' "$work/help"); do
    printf '.SS "acrhost %s"\n.PP\n' "$command"
    "$work/acrhost" "$command" --help | command_help
  done
} >"$work/commands.h2m"

version=$(dpkg-parsechangelog -l "$changelog" -S Version)
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$changelog" -S Timestamp) \
  help2man --no-info --version-string="$version" --include="$work/commands.h2m" \
  --name="load libVomaxel.so as a receiver's ACR service does and call its operations" \
  "$work/acrhost" >"$work/acrhost.1"
gzip -9n <"$work/acrhost.1" >"$output"

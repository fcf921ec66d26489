# Sourced: reads cmake/architectures.txt.
#   architecture_field ARCH COLUMN   prints COLUMN of the row of Debian architecture ARCH
#   architectures [emulated]         prints the Debian names of the rows (those with an emulator)
ARCHITECTURES=$(dirname "${BASH_SOURCE[0]}")/../cmake/architectures.txt

architecture_field() {
  awk -v arch="$1" -v column="$2" '
    /^#/ || NF == 0 { next }
    !header { for (i = 1; i <= NF; i++) index_of[$i] = i; header = 1; next }
    $1 == arch { print $index_of[column]; found = 1 }
    END { exit !found }' "$ARCHITECTURES"
}

architectures() {
  awk -v emulated="${1:-}" '/^#/ || NF == 0 { next } !header { header = 1; next }
    !emulated || $4 != "-" { print $1 }' "$ARCHITECTURES"
}

#!/usr/bin/env bash
# Makes the demo library in FOLDER (once; an existing one is kept) from the books in samples/,
# and prints the path of its index. Expects a finished build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
folder=$(realpath -m "${1:?usage: demo-library.sh FOLDER}")
index="$folder/index.lvf"
cli="$build/src/cli/libravon-cli"

if [ ! -f "$index" ]; then
  mkdir -p "$folder"
  if grep -q '^  import ' <<<"$("$cli" --help)"; then
    "$cli" new "$index" >&2
    "$cli" import "$index" "$root/samples" --existing skip >&2
  else
    # Without the import command the library starts empty: an index with its options only.
    printf '%s' '<books><options><file-name-mask>%f %l\%f %l. %t</file-name-mask><file-compression>None</file-compression></options></books>' >"$index"
    echo "libravon-cli has no import command yet: the demo library is empty." >&2
  fi
fi
echo "$index"

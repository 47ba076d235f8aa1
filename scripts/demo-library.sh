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
  "$cli" new "$index" >&2
  "$cli" import "$index" "$root/samples" --existing skip >&2 ||
    echo "(some books were not imported; the log above says why)" >&2
fi
echo "$index"

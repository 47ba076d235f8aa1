#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program at work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cli="$build/src/cli/libravon-cli"

# The sample library through libravon-cli: a new library in a temporary folder, the books of
# samples/ imported into it (FB2 files, a ZIP archive, a windows-1251 text converted to FB2),
# then listed.
show_demo_library() {
  local demo
  demo=$(mktemp -d "${TMPDIR:-/tmp}/libravon-demo-XXXXXX")
  echo "Demo library in $demo"
  "$cli" new "$demo/index.lvf"
  "$cli" import "$demo/index.lvf" "$root/samples" --existing skip ||
    echo "(some books were not imported; the log above says why)"
  echo
  "$cli" list "$demo/index.lvf"
  echo
  echo "Where the library's mask files a book:"
  "$cli" mask '%f %l\%f %l. %t' Ivar Kessel Foundation --zip
}

show_demo_library

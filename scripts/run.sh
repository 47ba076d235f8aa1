#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program at work: the GUI on the demo library
# when there is a display, otherwise the same library through libravon-cli.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
index=$("$root/scripts/demo-library.sh" "$build/demo-library")

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Libravon on the demo library $index"
  exec "$build/src/app/libravon" "$index"
fi

echo "No display, so here is the same engine through libravon-cli."
cli="$build/src/cli/libravon-cli"
echo "The demo library $index (samples/ imported: FB2 files, a ZIP archive, a windows-1251 text"
echo "converted to FB2):"
"$cli" list "$index"
echo
echo "Where the default mask files a book (plain and ZIP-compressed):"
"$cli" mask '%f %l\%f %l. %t' Ivar Kessel Foundation
"$cli" mask '%f %l\%f %l. %t' Ivar Kessel Foundation --zip
echo "With transliteration:"
"$cli" mask '%L %F\%T' 'Лев' 'Толстой' 'Война и мир'

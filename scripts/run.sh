#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program at work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cli="$build/src/cli/libravon-cli"
"$cli" --help
echo
echo "Where the default mask files a book (plain and ZIP-compressed):"
"$cli" mask '%f %l\%f %l. %t' Ivar Kessel Foundation
"$cli" mask '%f %l\%f %l. %t' Ivar Kessel Foundation --zip
echo "With transliteration:"
"$cli" mask '%L %F\%T' 'Лев' 'Толстой' 'Война и мир'

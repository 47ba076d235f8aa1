#!/usr/bin/env bash
# Starts libravon under Xvfb on a demo library built from samples/ and saves a PNG of every tab,
# the shelf with its busiest author and first book chosen, and the book menu (default folder:
# build/screenshots). The user's own settings are not touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
LIBRAVON_EXTRA_PACKAGES="xvfb xauth ${LIBRAVON_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
index=$("$root/scripts/demo-library.sh" "$work/library")

mkdir -p "$out"
rm -f "$out"/*.png
LIBRAVON_SCREENSHOT_DIR="$out" xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/src/app/libravon" "$index"
ls "$out"/*.png

#!/usr/bin/env bash
# Starts libravon under Xvfb on a demo library built from samples/ and saves a PNG of every tab,
# the shelf with its busiest author and first book chosen, the Reader on a Cyrillic book with
# pictures (two columns, a picture upright and turned), its pop-up and dialogs, the book menu,
# the Options page's Import and Reader tabs with their dialogs, and an import run at its
# existing-book question (default folder: build/screenshots). The user's own settings are not
# touched.
# With --docs, the pictures of the README's tour and the AppStream metainfo are refreshed too:
# docs/screenshots/NAME.png, with fewer colours to keep them small.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LIBRAVON_BUILD_DIR:-$root/build}
docs=false
if [ "${1:-}" = --docs ]; then
  docs=true
  shift
fi
out=$(realpath -m "${1:-$build/screenshots}")
LIBRAVON_EXTRA_PACKAGES="xvfb xauth pngquant ${LIBRAVON_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A running Libravon of the user's must not be handed the demo library either.
mkdir -m 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
index=$("$root/scripts/demo-library.sh" "$work/library")

mkdir -p "$out"
rm -f "$out"/*.png
LIBRAVON_SCREENSHOT_DIR="$out" LIBRAVON_SCREENSHOT_BOOK="$root/tests/data/reader/house-by-the-river.fb2" \
  xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/src/app/libravon" "$index"
ls "$out"/*.png

if $docs; then
  mkdir -p "$root/docs/screenshots"
  for shot in "$out"/*.png; do
    name=$(basename "$shot" | sed 's/^[0-9]*-//')
    pngquant --force --strip --quality 60-90 --output "$root/docs/screenshots/$name" "$shot" ||
      cp "$shot" "$root/docs/screenshots/$name"
  done
  ls -l "$root/docs/screenshots"
fi

#!/usr/bin/env bash
# Checks the installation of a finished build: installs it into a scratch DESTDIR and, with the
# build folder moved out of the way, runs the installed libravon-cli on a library made from
# samples/ and validates the desktop entry and AppStream metainfo; then builds the Debian package
# and checks what it holds and that its programs run from an unpacked copy.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${LIBRAVON_BUILD_DIR:-$root/build}")
away="$build.moved-away"
work=$(mktemp -d)
restore() {
  if [ -d "$away" ] && [ ! -e "$build" ]; then mv "$away" "$build"; fi
  rm -rf "$work"
}
trap restore EXIT

fail() {
  echo "check-install: $*" >&2
  exit 1
}

# The installed programs must not see the user's settings or plug-ins, nor write to them.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
unset LIBRAVON_PLUGIN_PATH

# The programs and the library are checked together: a new library, the samples imported, the
# list, a book with its genre title from the installed genre dictionary, and the statistics plug-in.
check_programs() {
  local prefix=$1 library=$2
  local cli="$prefix/bin/libravon-cli"
  rm -rf "$library"
  "$cli" new "$library/index.lvf" >/dev/null
  "$cli" import "$library/index.lvf" "$root/samples" --existing skip 2>/dev/null ||
    fail "$cli could not import samples/"
  # Captured first: grep -q stops reading early, which pipefail would count against the program.
  local listed shown statistics
  listed=$("$cli" list "$library/index.lvf")
  grep -q "Salt and Iron" <<<"$listed" || fail "$cli list misses a sample book"
  shown=$("$cli" show "$library/index.lvf" "Salt and Iron")
  grep -qF "sf_fantasy (Fantasy)" <<<"$shown" ||
    fail "$cli show has no genre titles: the installed genre dictionary was not found"
  statistics=$("$cli" run-plugin "$library/index.lvf" Statistics)
  grep -q "Books in index: [1-9]" <<<"$statistics" || fail "$cli run-plugin Statistics: $statistics"
  "$prefix/bin/libravon-mkdic" --help >/dev/null || fail "libravon-mkdic does not run"
  if [ -x "$prefix/bin/libravon" ]; then
    [[ $("$prefix/bin/libravon" --version) == "libravon "* ]] || fail "libravon --version"
  fi
}

echo "check-install: installing into a DESTDIR"
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
prefix="$work/dest/usr"

mv "$build" "$away"
check_programs "$prefix" "$work/library"
for file in bin/libravon-cli bin/libravon-mkdic lib/libravon/plugins/libLBVStatPlugin.so \
  lib/libravon/plugins/libLBVTxtExport.so share/libravon/genre-dict.xml \
  share/libravon/extras.dat share/libravon/fb2-header.xml share/libravon/Libravon.fb2 \
  share/libravon/dictionaries/english-sample.dic share/man/man1/libravon-cli.1.gz \
  share/man/man1/libravon-mkdic.1.gz share/bash-completion/completions/libravon-cli; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
if [ -x "$prefix/bin/libravon" ]; then
  desktop-file-validate "$prefix/share/applications/com.marrowfield.Libravon.desktop"
  appstreamcli validate --no-net "$prefix/share/metainfo/com.marrowfield.Libravon.metainfo.xml"
fi
mv "$away" "$build"
echo "check-install: the installed programs work without the build folder"

echo "check-install: building the Debian package"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/libravon_*.deb)
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in ./usr/bin/libravon-cli ./usr/bin/libravon-mkdic \
  ./usr/lib/libravon/plugins/libLBVStatPlugin.so ./usr/share/libravon/genre-dict.xml \
  ./usr/share/man/man1/libravon-cli.1.gz ./usr/share/bash-completion/completions/libravon-cli; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
if [ -x "$prefix/bin/libravon" ]; then
  for file in ./usr/bin/libravon ./usr/share/applications/com.marrowfield.Libravon.desktop \
    ./usr/share/mime/packages/com.marrowfield.Libravon.xml \
    ./usr/share/metainfo/com.marrowfield.Libravon.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/com.marrowfield.Libravon.svg \
    ./usr/share/icons/hicolor/48x48/apps/com.marrowfield.Libravon.png; do
    grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
  done
fi
# Nothing of the build or the tests may end up in the package.
if grep -E 'test|bench|\.a$|/include/' <<<"$contents"; then fail "the package holds the files above"; fi
depends=$(dpkg-deb --field "$deb" Depends)
required="libqt6core6 libxml2 libc6"
[ -x "$prefix/bin/libravon" ] && required+=" libqt6widgets6 qt6-qpa-plugins"
for package in $required; do
  grep -q "$package" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
dpkg-deb --extract "$deb" "$work/unpacked"
check_programs "$work/unpacked/usr" "$work/library-from-package"
echo "check-install: $(basename "$deb") ($(wc -l <<<"$contents") entries) depends on: $depends"

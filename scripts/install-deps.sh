#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libxml2-dev libexpat1-dev zlib1g-dev libminizip-dev
  libpng-dev libjpeg-dev libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
  # the installation checks and the Debian package
  desktop-file-utils appstream shared-mime-info dpkg-dev file
)
if [ -n "${LIBRAVON_EXTRA_PACKAGES:-}" ]; then
  read -r -a extra <<<"$LIBRAVON_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

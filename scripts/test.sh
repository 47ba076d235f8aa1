#!/usr/bin/env bash
# Installs what is missing, builds, checks the installation and the Debian package, and runs
# every test (ctest last, so that its summary closes the output).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/check-install.sh"
cd "${LIBRAVON_BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300

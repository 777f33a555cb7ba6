#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds into build/ (or $VELDO_BUILD_DIR) and makes the Debian
# package there: veldo_VERSION_ARCH.deb. Prints its path alone on standard output (the build's
# progress goes to standard error); install it with apt install ./that/path.
set -euo pipefail
cd "$(dirname "$0")/.."
export VELDO_PACKAGE=1
bash scripts/build.sh >&2
build=${VELDO_BUILD_DIR:-build}
cpack --config "$build/CPackConfig.cmake" -B "$build" >"$build/cpack.log" 2>&1 || { cat "$build/cpack.log" >&2; exit 1; }
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$build/cpack.log"

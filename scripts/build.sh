#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds into build/ (or $VELDO_BUILD_DIR) with extra CMake options from the arguments.
# VELDO_WERROR=1 (as CI sets it) turns compiler warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=${VELDO_BUILD_DIR:-build}
werror=()
[ "${VELDO_WERROR:-0}" = 1 ] && werror=(-DVELDO_WERROR=ON)
cmake -S . -B "$dir" "${werror[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"

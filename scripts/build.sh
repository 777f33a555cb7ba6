#!/usr/bin/env bash
# Configures and builds into build/ (or $VELDO_BUILD_DIR) with extra CMake options from the arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=${VELDO_BUILD_DIR:-build}
cmake -S . -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"

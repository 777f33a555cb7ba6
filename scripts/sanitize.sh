#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with AddressSanitizer (leak checking included) and UndefinedBehaviorSanitizer
# into build-asan/ (or $VELDO_ASAN_BUILD_DIR) and runs every test there; any report fails the test.
set -euo pipefail
cd "$(dirname "$0")/.."
hide=$PWD/scripts/without-serial-devices.sh
suppressions=$PWD/scripts/lsan-suppressions.txt
export VELDO_BUILD_DIR=${VELDO_ASAN_BUILD_DIR:-build-asan}
bash scripts/build.sh -DVELDO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cd "$VELDO_BUILD_DIR"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$suppressions UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen bash "$hide" ctest --output-on-failure -j"$(nproc)"

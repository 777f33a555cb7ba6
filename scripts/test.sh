#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test headless, with the machine's serial
# devices hidden (scripts/without-serial-devices.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
hide=$PWD/scripts/without-serial-devices.sh
bash scripts/build.sh
cd "${VELDO_BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen bash "$hide" ctest --output-on-failure -j"$(nproc)"

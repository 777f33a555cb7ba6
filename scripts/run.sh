#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, starts a simulated box as Com16, then the tool.
# The simulator ends when the tool does. VELDO_NO_BOXSIM=1 starts the tool alone;
# VELDO_BOXSIM_OPTIONS passes options to the simulator (see veldo-boxsim --help).
set -euo pipefail
cd "$(dirname "$0")/.."
VELDO_RUN=1 bash scripts/build.sh
build=${VELDO_BUILD_DIR:-build}
read -r -a VELDO_BOXSIM_OPTIONS <<< "${VELDO_BOXSIM_OPTIONS:-}"

if [ "${VELDO_NO_BOXSIM:-0}" != 1 ]; then
    exec 3< <(exec "$build/tools/veldo-boxsim" --port 16 "${VELDO_BOXSIM_OPTIONS[@]}")
    sim=$!
    trap 'kill "$sim" 2>/dev/null || true' EXIT
    # The simulator says "Link: ..." once Com16 exists; the tool must not probe before that.
    linked=0
    while read -r -t 10 line <&3; do
        echo "veldo-boxsim: $line"
        case $line in Link:*) linked=1; break ;; esac
    done
    if [ $linked = 1 ]; then
        sed -u 's/^/veldo-boxsim: /' <&3 &
    else
        echo "The simulated box did not start; starting the tool without it." >&2
    fi
fi
"$build/app/veldo" "$@"

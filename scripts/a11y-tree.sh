#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the window's tree as a screen reader sees it over AT-SPI: each object's role and name.
# Runs on its own X display and D-Bus session; every port number points nowhere, so no serial
# device is touched. Usage: scripts/a11y-tree.sh [LANGUAGE]
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/app/veldo ] || bash scripts/build.sh
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null \
    || { echo "needs at-spi2-core and python3-pyatspi (apt install at-spi2-core python3-pyatspi)" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/veldo/ports"
for n in $(seq 1 16); do ln -s "$work/none$n" "$work/veldo/ports/com$n"; done
export DISPLAY=:${VELDO_A11Y_DISPLAY:-98}
Xvfb "$DISPLAY" -noreset >/dev/null 2>&1 &
sleep 1
LANGUAGE=${1:-en} XDG_CONFIG_HOME=$work XDG_DATA_HOME=$work dbus-run-session -- bash -c 2>/dev/null '
    /usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 build/app/veldo 2>/dev/null &
    sleep 3
    /usr/bin/python3 - <<"PY"
import pyatspi
def show(node, depth=0):
    print("  " * depth + f"{node.getRoleName()}: {node.name!r}")
    for child in node:
        if child is not None and depth < 3:
            show(child, depth + 1)
for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name.lower() == "veldo":
        show(app)
PY
    kill %2
'

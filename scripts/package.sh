#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian source package and the binary package, with dpkg-buildpackage -us -uc, from
# a clean clone of the committed tree (what is not committed is not in it), as a normal user:
# as root, as $VELDO_BUILD_USER (default veldodev, made when missing). The results (.dsc,
# .tar.xz, the .deb and its -dbgsym, .buildinfo, .changes) land in build/package/ (or $VELDO_PACKAGE_DIR); prints
# the path of the .changes alone on standard output, the build's progress on standard error.
# Extra arguments go to dpkg-buildpackage; DEB_BUILD_OPTIONS (nocheck, nobench) is passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
VELDO_PACKAGE=1 bash scripts/deps.sh >&2
# The build dependencies as debian/control lists them; a missing one is named here.
dpkg-checkbuilddeps >&2

out=${VELDO_PACKAGE_DIR:-$PWD/build/package}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q --no-local . "$work/veldo"

build=(dpkg-buildpackage -us -uc "$@")
if [ "$(id -u)" -eq 0 ]; then
    user=${VELDO_BUILD_USER:-veldodev}
    id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
    chown -R "$user": "$work"
    build=(runuser -u "$user" -- "${build[@]}")
fi
(cd "$work/veldo" && "${build[@]}") >&2

# Everything dpkg-buildpackage wrote beside the source: the .changes lists the debug symbols too.
mkdir -p "$out"
rm -f "$out"/veldo[_-]*
find "$work" -maxdepth 1 -type f -exec cp -t "$out" {} +
ls "$out"/veldo_*.changes

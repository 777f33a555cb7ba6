#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing need on Debian 12, and nothing when all is there.
set -euo pipefail

# dpkg-dev gives the distribution's hardening flags; bash-completion drives the completion test.
packages=(
    cmake g++ make dpkg-dev
    qt6-base-dev qt6-serialport-dev libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libqt6svg6
    fonts-liberation fonts-dejavu-core
    xvfb xauth bash-completion
    pkgconf libgensio-dev libwrap0-dev libssl-dev
)
# Remote ports: libgensio's pkg-config file asks for -lwrap, which only libwrap0-dev provides;
# the network line's tests run ser2net, make certificates with openssl and use gensio's tools.
packages+=(ser2net openssl gensio-bin)
# The format check of CI.
[ "${VELDO_LINT:-0}" = 1 ] && packages+=(clang-format-14)
[ "${VELDO_FUZZ:-0}" = 1 ] && packages+=(clang libclang-rt-14-dev)
# The benchmark times windows on an X display through XCB, and traces what veldo-cli opens.
[ "${VELDO_BENCH:-0}" = 1 ] && packages+=(libxcb1-dev pkgconf strace)
# The run command: the platform plugin for a Wayland session.
[ "${VELDO_RUN:-0}" = 1 ] && packages+=(qt6-wayland)
# The Debian package and its checks: what debian/control builds with besides the above, the
# packaging tools (dpkg-buildpackage, lintian, autopkgtest, hardening-check in devscripts), git
# for the clean clone it is built from, and validators for the desktop entry and the metainfo.
[ "${VELDO_PACKAGE:-0}" = 1 ] && packages+=(
    debhelper libxcb1-dev pkgconf devscripts lintian autopkgtest git desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

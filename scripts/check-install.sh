#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs into a temporary folder and checks what lands there: the expected files and no
# others, a valid desktop entry and AppStream metainfo, and one licence in LICENSE, the copyright
# file and the metainfo. Then builds the Debian package (scripts/package.sh) and checks that it
# holds the same files and its own copyright and changelog, depends on the libraries and fonts
# the tool needs and on nothing it does not, that its executables carry the hardening flags and
# no RUNPATH, and that lintian finds nothing to report, not even an informational or pedantic tag.
set -euo pipefail
cd "$(dirname "$0")/.."
VELDO_PACKAGE=1 bash scripts/deps.sh
bash scripts/build.sh >/dev/null
changes=$(bash scripts/package.sh)
deb=$(ls "$(dirname "$changes")"/veldo_*.deb)
build=${VELDO_BUILD_DIR:-build}
id=io.github.veldo.ProgrammingTool

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

{
    echo usr/bin/veldo usr/bin/veldo-cli usr/bin/veldo-boxsim
    echo usr/share/man/man1/veldo.1.gz usr/share/man/man1/veldo-cli.1.gz usr/share/man/man1/veldo-boxsim.1.gz
    echo usr/share/bash-completion/completions/veldo-cli
    echo "usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml"
    for size in 16 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/$id.png"; done
    echo "usr/share/icons/hicolor/scalable/apps/$id.svg"
} | tr ' ' '\n' | sort >"$work/expected"

# same_files <what> <list>: the list, one path a line, is the expected one.
same_files() {
    diff -u "$work/expected" <(sort "$2") >"$work/diff" || { cat "$work/diff" >&2; fail "$1 differs from the expected files (- missing, + extra)"; }
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/root" && find . ! -type d | sed 's|^\./||') >"$work/installed"
same_files "cmake --install" "$work/installed"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --explain "$work/root/usr/share/metainfo/$id.metainfo.xml"
licence=$(sed -n 's/^SPDX-License-Identifier: //p' LICENSE)
[ -n "$licence" ] || fail "LICENSE names no licence by its SPDX-License-Identifier"
grep -qx "License: $licence" debian/copyright || fail "debian/copyright's licence is not $licence"
grep -q "<project_license>$licence</project_license>" "$work/root/usr/share/metainfo/$id.metainfo.xml" || fail "the metainfo's licence is not $licence"

echo "Package $deb:"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
echo usr/share/doc/veldo/copyright usr/share/doc/veldo/changelog.gz | tr ' ' '\n' | sort -o "$work/expected" - "$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' >"$work/packaged"
same_files "$deb" "$work/packaged"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6serialport6 fonts-liberation; do
    [[ $depends == *"$needed"* ]] || fail "$deb does not depend on $needed: $depends"
done
# The X11 platform plugin comes with libqt6gui6.
[[ $depends != *qt6-qpa-plugins* ]] || fail "$deb depends on qt6-qpa-plugins, which it does not need: $depends"

dpkg-deb -x "$deb" "$work/package"
# Debian 12's flags have no control-flow protection (-fcf-protection); the rest must be there.
hardening-check --nocfprotection "$work"/package/usr/bin/* || fail "an executable in $deb lacks a hardening flag"
for program in "$work"/package/usr/bin/*; do
    ! readelf -d "$program" | grep -E 'R(UN)?PATH' || fail "$program has a search path of its own"
done

# Every tag counts, informational, pedantic and experimental ones included: the .dsc, the
# .changes and both .debs must give lintian nothing to say.
lintian --pedantic -I -E --fail-on none "$changes" >"$work/lintian"
[ ! -s "$work/lintian" ] || { cat "$work/lintian" >&2; fail "lintian found the tags above in $changes"; }
echo "check-install: the installed files, the desktop entry, the metainfo and the package are as expected"

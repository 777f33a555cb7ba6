#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command with the machine's serial devices out of reach: as root, in a private mount
# namespace whose /dev holds everything but ttyS*, ttyUSB* and ttyACM*, so that a test or tool
# that reaches for one of them finds nothing and fails instead of touching a console or a board;
# with a lock folder of its own, as its pseudo-terminals are its own.
# Other users cannot make the namespace; the command then runs as it is, and says so.
# Usage: bash scripts/without-serial-devices.sh COMMAND [ARGUMENTS...]
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "Note: not root, so the serial devices stay visible to: $*" >&2
    exec "$@"
fi
if [ "${VELDO_SERIAL_HIDDEN:-}" != 1 ]; then
    exec unshare --mount --propagation private env VELDO_SERIAL_HIDDEN=1 bash "$0" "$@"
fi

# A /dev of its own: every entry of the real one bound in, the serial devices left out.
dev=$(mktemp -d)
mount -t tmpfs -o mode=755,size=64k veldo-dev "$dev"
shopt -s nullglob dotglob
for entry in /dev/*; do
    name=${entry#/dev/}
    case $name in
        ttyS[0-9]* | ttyUSB[0-9]* | ttyACM[0-9]* | pts | ptmx) continue ;;
    esac
    if [ -L "$entry" ]; then
        cp -a "$entry" "$dev/$name"
    elif [ -d "$entry" ]; then
        mkdir "$dev/$name"
        mount --rbind "$entry" "$dev/$name"
    else
        touch "$dev/$name"
        mount --bind "$entry" "$dev/$name"
    fi
done
# Pseudo-terminals of their own, as in a container: the tests make theirs here, and the
# terminals of the machine's users are out of reach too.
mkdir "$dev/pts"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$dev/pts"
ln -s pts/ptmx "$dev/ptmx"
mount --move "$dev" /dev
rmdir "$dev"
# Lock files name pseudo-terminals by number, and these numbers are private now: a lock folder
# of their own, so that two runs side by side never take each other's locks for their own.
lock=$(readlink -f /var/lock)
mount -t tmpfs -o mode=1777,size=1m veldo-lock "$lock"
exec "$@"

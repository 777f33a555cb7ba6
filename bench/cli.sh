#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times veldo-cli end to end, start-up included, against the simulated box answering at the
# real line rate of 9600 8N1, and prints the median beside the time the bytes need on the
# wire (10 bits a byte).
# Usage: bash bench/cli.sh [runs]   (9 by default; veldo-cli and veldo-boxsim must be built)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-9}
build=${VELDO_BUILD_DIR:-build}
work=$(mktemp -d)
sim=
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A ports folder and downloads folder of the bench's own; nothing is kept.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data VELDO_NO_KEEP=1
"$build/tools/veldo-boxsim" --port 16 >"$work/sim.log" &
sim=$!
for ((i = 0; i < 100; i++)); do
    grep -q '^Link:' "$work/sim.log" && break
    sleep 0.05
done
grep -q '^Link:' "$work/sim.log" || { cat "$work/sim.log" >&2; exit 1; }

cli() {
    "$build/tools/veldo-cli" "$@"
}
cli download --port 16 --quiet --output "$work/box.ini"

# row <name> <bytes on the wire> <target ms or -> <arguments...>: the median of the runs.
row() {
    local name=$1 bytes=$2 target=$3
    shift 3
    : >"$work/times"
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s%N)
        cli "$@" --port 16 --quiet >/dev/null
        end=$(date +%s%N)
        echo $(((end - start) / 1000)) >>"$work/times"
    done
    sort -n "$work/times" | awk -v name="$name" -v bytes="$bytes" -v target="$target" '
        { v[NR] = $1 / 1000 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            wire = bytes * 10 / 9600 * 1000
            result = target == "-" ? "" : median <= target ? "met" : "MISSED"
            printf "%-34s %9.0f %9.0f %7s  %-9s %s\n", name, median, wire, sprintf("+%.0f", median - wire),
                   target == "-" ? "-" : "<= " target " ms", result
        }'
}
printf '%-34s %9s %9s %7s  %-9s %s\n' "veldo-cli, median of $runs (ms)" run wire over target result
row "start-up alone (--version)" 0 - --version
row "download" 199 320 download
row "upload" 199 - upload "$work/box.ini"
row "upload --verify" 398 - upload "$work/box.ini" --verify
row "upload --verify --backup" 597 - upload "$work/box.ini" --verify --backup "$work/backups"

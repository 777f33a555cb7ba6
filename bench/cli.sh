#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times veldo-cli end to end, start-up included, against the simulated box answering at the
# real line rate of 9600 8N1, and prints the median beside the time the bytes need on the
# wire (10 bits a byte); then the same download from that box served by ser2net over RFC 2217
# on loopback, when ser2net is installed.
# Usage: bash bench/cli.sh [runs]   (9 by default; veldo-cli and veldo-boxsim must be built)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-9}
build=${VELDO_BUILD_DIR:-build}
work=$(mktemp -d)
sim= server=
cleanup() {
    for pid in $server $sim; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    done
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
where=(--port 16)
cli download "${where[@]}" --quiet --output "$work/box.ini"

# row <name> <bytes on the wire> <target ms or -> <arguments...>: the median of the runs, each
# on the port in $where.
row() {
    local name=$1 bytes=$2 target=$3
    shift 3
    : >"$work/times"
    for ((i = 0; i < runs; i++)); do
        local start end
        start=$(date +%s%N)
        cli "$@" "${where[@]}" --quiet >/dev/null
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

# ser2net in the foreground with a configuration of its own, serving the simulator's
# pseudo-terminal on a free loopback port.
ser2net=$(PATH=$PATH:/usr/sbin:/sbin command -v ser2net) || { echo "ser2net is not installed: no RFC 2217 row" >&2; exit 0; }
device=$(sed -n 's/^Link: .* -> \(.*\) (Com 16)$/\1/p' "$work/sim.log")
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/ser2net.yaml" <<EOF
%YAML 1.1
---
connection: &box
  accepter: telnet(rfc2217),tcp,127.0.0.1,$port
  connector: serialdev(nouucplock),$device,9600n81,local
EOF
"$ser2net" -n -d -c "$work/ser2net.yaml" >"$work/ser2net.log" 2>&1 &
server=$!
listening=$(printf '0100007F:%04X 00000000:0000 0A' "$port")
for ((i = 0; i < 100; i++)); do
    grep -q "$listening" /proc/net/tcp && break
    sleep 0.05
done
grep -q "$listening" /proc/net/tcp || { cat "$work/ser2net.log" >&2; exit 1; }
where=(--device "rfc2217://127.0.0.1:$port")
row "download over RFC 2217 (loopback)" 199 - download

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the built tool under Xvfb against the toolkit floor (the same widgets with no
# logic): time from launch to the window shown and resident memory once it has settled,
# launching the two in turn so that the machine's noise falls on both alike; then the port
# discovery, veldo-cli against the wire time, and Save/Open. Prints medians beside the targets.
# Usage: bash bench/run.sh [launches]   (launches of each program, 9 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

launches=${1:-9}
build=${VELDO_BUILD_DIR:-build}
floor_source=${VELDO_FLOOR_SOURCE:-../shared/bench/floor}

extra=${VELDO_BENCH_PROCESSES:-5000}
work=$(mktemp -d)
xvfb=
sleepers=()
cleanup() {
    [ ${#sleepers[@]} -gt 0 ] && kill "${sleepers[@]}" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Runs a step quietly, showing its output only when it fails.
quietly() {
    "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log" >&2; exit 1; }
}

VELDO_BENCH=1 bash scripts/deps.sh
quietly cmake -S . -B "$build" -DVELDO_BENCHMARKS=ON
targets=(veldo veldo-launch-timer veldo-ports-bench veldo-stall-bench veldo-cli veldo-boxsim)
[[ $(cmake --build "$build" --target help) == *veldo-files-bench* ]] && targets+=(veldo-files-bench)
quietly cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
quietly cmake -S "$floor_source" -B "$build/bench-floor"
quietly cmake --build "$build/bench-floor" -j"$(nproc)"

# The server picks a free display itself and writes its number once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
read -r -t 20 display <"$work/display" || { cat "$work/xvfb.log" >&2; exit 1; }
# A ports folder of the bench's own: no links left from earlier runs change what the tool finds.
mkdir -m 700 "$work/config" "$work/runtime"
export DISPLAY=:$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY

# A busy machine: extra sleeping processes (bounded, ended on exit), for every row below.
[ "$extra" -le 20000 ] || { echo "VELDO_BENCH_PROCESSES: at most 20000" >&2; exit 1; }
for ((i = 0; i < extra; i++)); do
    sleep 3600 &
    sleepers+=($!)
done

# Appends "<ms to the window> <VmRSS KiB>" of one launch of a program to a file.
launch() {
    "$build/bench/launch/veldo-launch-timer" -- "$1" >>"$2" 2>>"$work/launch.log" \
        || { cat "$work/launch.log" >&2; exit 1; }
}
for ((i = 0; i < launches; i++)); do
    launch "$build/app/veldo" "$work/tool"
    launch "$build/bench-floor/floor" "$work/floor"
done

# The median of one column of a file of figures.
median() {
    cut -d' ' -f"$1" "$2" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
tool_ms=$(median 1 "$work/tool")
floor_ms=$(median 1 "$work/floor")
tool_mib=$(awk -v k="$(median 2 "$work/tool")" 'BEGIN { printf "%.1f", k / 1024 }')
floor_mib=$(awk -v k="$(median 2 "$work/floor")" 'BEGIN { printf "%.1f", k / 1024 }')
read -r refresh_none refresh_sixteen refresh_list <<<"$("$build/bench/ports/veldo-ports-bench" 21)"
stall=$("$build/bench/stall/veldo-stall-bench" 21 2>"$work/stall.log") || { cat "$work/stall.log" >&2; exit 1; }
read -r stall_choosing stall_idle probe_in_line <<<"$stall"
# How many terminal devices veldo-cli ports opens while it judges the machine's own (none).
opened=$(strace -f -e trace=openat "$build/tools/veldo-cli" ports 2>&1 >/dev/null | grep -cE '"/dev/(tty|pts/)' || true)

# row <measure> <tool> <floor or -> <limit> <target or ->: checks the ratio to the floor
# when there is one, else the tool's own figure.
row() {
    awk -v name="$1" -v tool="$2" -v floor="$3" -v limit="$4" -v target="$5" 'BEGIN {
        value = floor == "-" ? tool : tool / floor
        ratio = floor == "-" ? "-" : sprintf("%.2fx", value)
        result = target == "-" ? "" : (floor == "-" ? value < limit : value <= limit) ? "met" : "MISSED"
        printf "%-34s %9s %9s %7s  %-9s %s\n", name, tool, floor, ratio, target, result
    }'
}
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, $extra extra processes"
printf '%-34s %9s %9s %7s  %-9s %s\n' "Median of $launches launches (Xvfb)" veldo floor ratio target result
row "Launch to window shown (ms)" "$tool_ms" "$floor_ms" 1.3 "<= 1.3x"
row "Resident memory when shown (MiB)" "$tool_mib" "$floor_mib" 1.3 "<= 1.3x"
row "DiscoverPorts, no port (ms)" "$refresh_none" - 20 "-"
row "DiscoverPorts, 16 ports (ms)" "$refresh_sixteen" - 20 "-"
row "List refresh, 16 ports (ms)" "$refresh_list" - 50.001 "<= 50 ms"
row "Devices opened by veldo-cli ports" "$opened" - 0.5 "0"
row "Window stall, choosing a port (ms)" "$stall_choosing" - 50.001 "<= 50 ms"
row "Window stall, idle (ms)" "$stall_idle" - 50 "-"
row "Its probe, made in line (ms)" "$probe_in_line" - 50 "-"
# The exchanges below wait on the line, not on the process table: the extra processes end here.
[ ${#sleepers[@]} -gt 0 ] && kill "${sleepers[@]}" 2>/dev/null
sleepers=()

echo
bash bench/cli.sh "$launches"

if [ -x "$build/bench/veldo-files-bench" ]; then
    echo
    "$build/bench/veldo-files-bench"
fi

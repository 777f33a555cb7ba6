#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into build-fuzz/ (or $VELDO_FUZZ_BUILD_DIR) and runs
# each for the given seconds (300 by default; CI gives 20), starting from its seeds in
# fuzz/corpus/<target>/.
# Inputs that reach new code are kept in <build>/fuzz-corpus/<target>/ for the next run;
# findings are written to <build>/fuzz-findings/<target>/. Prints executions and findings per
# target and fails when any target finds something.
# Usage: bash scripts/fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
dir=${VELDO_FUZZ_BUILD_DIR:-build-fuzz}
targets=(fuzz_normalize_code fuzz_ini_file fuzz_exchange)

VELDO_FUZZ=1 bash scripts/deps.sh
werror=()
[ "${VELDO_WERROR:-0}" = 1 ] && werror=(-DVELDO_WERROR=ON)
cmake -S . -B "$dir" "${werror[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELDO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"

failed=0
printf '%-22s %12s %10s %9s\n' target executions "corpus" findings
for target in "${targets[@]}"; do
    corpus=$dir/fuzz-corpus/$target
    findings=$dir/fuzz-findings/$target
    log=$dir/fuzz-findings/$target.log
    mkdir -p "$corpus" "$findings"
    status=0
    "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/${target#fuzz_}" >"$log" 2>&1 || status=$?
    executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    found=$(find "$findings" -type f | wc -l)
    printf '%-22s %12s %10s %9s\n' "$target" "${executions:-?}" "$(find "$corpus" -type f | wc -l)" "$found"
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        failed=1
        tail -n 40 "$log" >&2
    fi
done
exit "$failed"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants each fault of a list in a scratch copy of the tree, one at a time, rebuilds, runs the
# whole suite with the machine's serial devices hidden, and prints which faults it caught.
#
#   scripts/mutants.sh [--matrix] [LIST] [FILTER]
#
# LIST (default scripts/mutants.txt) holds blocks like
#   @ protocol/Exchange.cpp | upload takes any verdict byte
#   - case kNegativeAcknowledge:
#   + case kAcknowledge:
# The "-" text must occur exactly once in the file; the "+" text replaces it. A block whose
# name starts with "equivalent:" is run and reported but not counted; the reason follows.
# FILTER keeps the blocks whose "file: name" contains it. The scratch copy and its build stay
# in $VELDO_MUTANTS_DIR (default /tmp/veldo-mutants), so that a second run builds little.
# --matrix runs the whole suite for every fault and names the test functions that caught it:
# slower, but it shows which tests alone catch a fault before any is cut.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
matrix=
[ "${1:-}" = --matrix ] && matrix=1 && shift
list=$top/${1:-scripts/mutants.txt}
filter=${2:-}
work=${VELDO_MUTANTS_DIR:-/tmp/veldo-mutants}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}

bash scripts/deps.sh
mkdir -p "$work/src"
# Only files that differ are copied, so that the scratch build stays incremental.
git ls-files -z | while IFS= read -r -d '' file; do
    cmp -s "$file" "$work/src/$file" || install -D -m "$(stat -c %a "$file")" "$file" "$work/src/$file"
done
# Ninja and lld: a rebuild after a one-line change is mostly relinking.
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
build() { cmake --build "$work/build" -j"$(nproc)" >/dev/null 2>&1; }
# Stops at the first failing test, unless for the matrix: a fault is caught as soon as one test fails.
suite_options=(--stop-on-failure)
[ -z "$matrix" ] || suite_options=(--output-on-failure)
run_suite() {
    (cd "$work/build" && QT_QPA_PLATFORM=offscreen timeout 900 \
        bash "$top/scripts/without-serial-devices.sh" ctest -j"$(nproc)" "${suite_options[@]}" >"$work/suite.log" 2>&1)
}
catchers() {
    grep -oE '^FAIL!  : [A-Za-z]+::[A-Za-z_]+|\*\*\*(Timeout|Exception).*' "$work/suite.log" | sed 's/^FAIL!  : //' | sort -u | paste -sd' ' -
}
build && run_suite || { echo "The suite fails without any fault planted; fix that first." >&2; exit 1; }

caught=0 missed=0 equivalent=0 unbuilt=0 missed_names=()
while IFS= read -r -d '' block; do
    header=$(head -n1 <<<"$block")
    file=$(sed -E 's/^@ *([^|]*[^| ]) *\|.*/\1/' <<<"$header")
    name=$(sed -E 's/^[^|]*\| *//' <<<"$header")
    [[ "$file: $name" == *"$filter"* ]] || continue
    old=$(sed -n 's/^- //p' <<<"$block")
    new=$(sed -n 's/^+ //p' <<<"$block")
    if ! python3 - "$work/src/$file" "$old" "$new" <<'PY'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(f"{text.count(old)} matches")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
    then
        echo "STALE   $file: $name"; exit 1
    fi
    if ! build; then
        echo "NOBUILD $file: $name"; unbuilt=$((unbuilt + 1))
    elif ! run_suite; then
        echo "caught  $file: $name${matrix:+ by: $(catchers)}"; caught=$((caught + 1))
    elif [[ "$name" == equivalent:* ]]; then
        echo "EQUIV   $file: $name"; equivalent=$((equivalent + 1))
    else
        echo "MISSED  $file: $name"; missed=$((missed + 1)); missed_names+=("$file: $name")
    fi
    cp "$top/$file" "$work/src/$file"
done < <(python3 -c '
import re, sys
blocks = re.findall(r"^@ .*(?:\n[-+] .*)*", open(sys.argv[1], encoding="utf-8").read(), re.M)
sys.stdout.write("".join(b + "\0" for b in blocks))' "$list")
build || true

counted=$((caught + missed))
echo
echo "Caught $caught of $counted faults ($((counted ? 100 * caught / counted : 0))%);" \
     "$equivalent equivalent, $unbuilt did not build."
[ "$missed" -eq 0 ] || printf '  missed: %s\n' "${missed_names[@]}"

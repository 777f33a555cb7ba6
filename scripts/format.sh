#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats every C++ file in the repository with clang-format 14 and .clang-format.
# Usage: bash scripts/format.sh [--check]
#   --check  changes nothing; lists the files that formatting would change and fails if any.
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
case ${1:-} in
    --check) check=1 ;;
    '') ;;
    *) echo "Usage: bash scripts/format.sh [--check]" >&2; exit 2 ;;
esac
formatter=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$formatter" ] || { echo "format: clang-format is missing: sudo apt install clang-format-14" >&2; exit 1; }

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [ "$check" = 0 ]; then
    "$formatter" -i -- "${files[@]}"
    exit 0
fi
unformatted=0
for file in "${files[@]}"; do
    if ! "$formatter" -- "$file" | cmp -s - "$file"; then
        echo "$file"
        unformatted=1
    fi
done
[ "$unformatted" = 0 ] || echo "format: the files above differ from .clang-format; bash scripts/format.sh formats them" >&2
exit "$unformatted"

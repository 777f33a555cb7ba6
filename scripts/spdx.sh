#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line at the top of every C++, shell and CMake file in the repository that
# lacks it: "// SPDX-License-Identifier: GPL-3.0-or-later" in C++, the same after "#" in the
# others (below a "#!" line, which must stay first). Run it again: it changes nothing twice.
# Usage: bash scripts/spdx.sh [--check]   (--check lists the files without it and fails if any)
set -euo pipefail
cd "$(dirname "$0")/.."
id='SPDX-License-Identifier: GPL-3.0-or-later'
check=0
[ "${1:-}" = --check ] && check=1

# comment_for <file>: how a line comment starts in it, or nothing for files without one.
comment_for() {
    case $1 in
        *.cpp | *.h) echo '//' ;;
        *.sh | *.cmake | *.cmake.in | */CMakeLists.txt | CMakeLists.txt | .clang-format | .ci/*) echo '#' ;;
        *) head -c 64 "$1" | grep -q '^#!.*\(bash\|sh\)' && echo '#' ;;
    esac
}

missing=0
while IFS= read -r -d '' file; do
    marker=$(comment_for "$file") || continue
    [ -n "$marker" ] || continue
    head -n 3 "$file" | grep -qF "$id" && continue
    missing=1
    if [ "$check" = 1 ]; then
        echo "$file"
        continue
    fi
    line="$marker $id"
    if head -n 1 "$file" | grep -q '^#!'; then
        sed -i "1a $line" "$file"
    else
        sed -i "1i $line" "$file"
    fi
done < <(git ls-files -z)
[ "$check" = 0 ] || [ "$missing" = 0 ] || { echo "spdx: the files above lack the line \"$id\"; bash scripts/spdx.sh adds it" >&2; exit 1; }
exit 0

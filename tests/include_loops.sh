#!/usr/bin/env bash
# Fails when the files of the source tree include each other in a circle. A file and its
# header count as one unit (printer/document.cpp and printer/document.hpp are
# printer/document); tests and fuzz targets are left out, as nothing includes them.
# Usage: include_loops.sh SOURCE_DIR
set -euo pipefail
cd "$1"

edges() {
    local file from to
    while IFS= read -r file; do
        from=${file%.*}
        while IFS= read -r to; do
            to=${to%.*}
            [[ $to != "$from" && ( -e $to.hpp || -e $to.cpp ) ]] && echo "$from $to"
        done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
    done < <(find . -name '*.cpp' -o -name '*.hpp' | sed 's#^\./##' | grep -v -E '_(test|fuzz)\.cpp$')
}

# tsort names every circle it breaks on standard error.
if ! loops=$(edges | tsort 2>&1 >/dev/null) || [[ -n $loops ]]; then
    echo "FAIL: files that include each other in a circle:"
    echo "$loops"
    exit 1
fi
echo "ok: no include circle in $(find . -name '*.[ch]pp' | wc -l) files"

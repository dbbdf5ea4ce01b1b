#!/usr/bin/env bash
# Fails when a C++ file of the tree is not as clang-format (.clang-format)
# would write it. With --fix, rewrites them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=${CLANG_FORMAT:-clang-format}
command -v "$formatter" >/dev/null || { echo "check-format: $formatter not found" >&2; exit 1; }
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    "$formatter" -i "${files[@]}"
    exit 0
fi
"$formatter" --dry-run --Werror "${files[@]}"
echo "check-format: ${#files[@]} files formatted"

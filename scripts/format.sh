#!/usr/bin/env bash
# Formats every tracked C++ file (*.cpp, *.h) with clang-format and the project's .clang-format.
#   scripts/format.sh           rewrites the files that differ
#   scripts/format.sh --check   changes nothing: lists the files that differ, fails if any does
# clang-format 14, Debian 12's, is the reference: another version may lay some lines out
# differently. CLANG_FORMAT names another binary.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${CLANG_FORMAT:-clang-format}
command -v "$clang_format" >/dev/null || { echo "format.sh: $clang_format is not installed (apt-get install clang-format)" >&2; exit 2; }
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')

case "${1:-}" in
    --check)
        # One report line per place that differs: "file:line:column: warning: ...".
        mapfile -t differing < <("$clang_format" --dry-run "${files[@]}" 2>&1 |
                                 sed -nE 's/^(.+):[0-9]+:[0-9]+: (warning|error): .*/\1/p' | sort -u)
        if [[ ${#differing[@]} -gt 0 ]]; then
            printf '%s\n' "${differing[@]}"
            echo "format.sh: ${#differing[@]} of ${#files[@]} files are not formatted; scripts/format.sh formats them" >&2
            exit 1
        fi
        echo "format.sh: all ${#files[@]} files are formatted"
        ;;
    "")
        "$clang_format" -i "${files[@]}"
        ;;
    *)
        echo "usage: scripts/format.sh [--check]" >&2
        exit 2
        ;;
esac

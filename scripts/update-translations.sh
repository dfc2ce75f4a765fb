#!/usr/bin/env bash
# Brings translations/*.ts up to date with the texts in the sources (the window's and the core's
# phrases; the command-line tool and the virtual converter stay English).
#   scripts/update-translations.sh           update the files
#   scripts/update-translations.sh --check   fail when an update would change them, or when an
#                                            entry is unfinished or obsolete
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[[ -x "$lupdate" ]] || lupdate=$(command -v lupdate)
sources=(app framework ui res protocol serial profile)
files=(translations/linkmate_zh_CN.ts translations/linkmate_en.ts)
# The window marks its texts with the framework's Translate and TRANSLATE_NOOP.
aliases=(-tr-function-alias translate+=Translate,QT_TRANSLATE_NOOP+=TRANSLATE_NOOP)
if [[ "${1:-}" == "--check" ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    for f in "${files[@]}"; do cp "$f" "$work/"; done
    "$lupdate" -silent -locations none -no-obsolete "${aliases[@]}" "${sources[@]}" -ts "$work/linkmate_zh_CN.ts" "$work/linkmate_en.ts" 2>/dev/null
    status=0
    for f in "${files[@]}"; do
        if ! cmp -s "$f" "$work/$(basename "$f")"; then
            echo "$f is not up to date with the sources (run scripts/update-translations.sh):"
            diff -u "$f" "$work/$(basename "$f")" | head -n 40
            status=1
        fi
        if grep -q -E 'type="(unfinished|obsolete|vanished)"' "$f"; then
            echo "$f has unfinished or obsolete entries:"
            grep -n -E 'type="(unfinished|obsolete|vanished)"' "$f" | head -n 20
            status=1
        fi
    done
    [[ $status -eq 0 ]] && echo "translations: up to date, complete"
    exit $status
fi
"$lupdate" -locations none -no-obsolete "${aliases[@]}" "${sources[@]}" -ts "${files[@]}"

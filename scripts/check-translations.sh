#!/usr/bin/env bash
# Checks that every translation file is in step with the sources: lupdate, run on a
# copy, finds no text of the sources that the file lacks or leaves unfinished, and no
# text in the file that the sources no longer have. After a change of the program's
# texts: `cmake --build build --target update_translations`, then translate what
# came in unfinished.
#
#   scripts/check-translations.sh [LUPDATE]     (default: Qt 6's lupdate)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="${1:-/usr/lib/qt6/bin/lupdate}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failed=0
for ts in "$root"/data/translations/celvio_*.ts; do
  copy="$tmp/$(basename "$ts")"
  cp "$ts" "$copy"
  (cd "$root" && "$lupdate" -silent -locations none -extensions cpp,h src -ts "$copy")
  bad="$(grep -B4 -E 'type="(unfinished|vanished|obsolete)"' "$copy" | grep -oE '<source>[^<]*' | sed 's/<source>//' || true)"
  if [ -n "$bad" ] || ! cmp -s <(grep -c '<message' "$ts") <(grep -c '<message' "$copy"); then
    echo "check-translations: $(basename "$ts") is not in step with the sources:" >&2
    grep -B4 -E 'type="(unfinished|vanished|obsolete)"' "$copy" >&2 || true
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "check-translations: every translation file is in step with the sources"
exit "$failed"

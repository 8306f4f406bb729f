#!/usr/bin/env bash
# Extracts the program's translatable texts into a gettext template and,
# with --merge, brings the language catalogues po/<lang>.po up to it.
#
#   tools/update-translations.sh                 # po/vantrel.pot from the code
#   tools/update-translations.sh --merge         # ... and msgmerge into po/*.po
#   tools/update-translations.sh --pot FILE      # the template to FILE only (the tests)
#
# The texts are those of the window program: _("...") and wxTRANSLATE("...")
# in gui/ and session/ (and the chart's lane names in livelog/, and the names
# of fields and sources in history/, with TranslatePlural's two forms), and the labels,
# tooltips and help texts of the
# layouts (resources/*.xrc, through wxrc --gettext). The command-line program
# (cli/) is never translated and is not read. A merged catalogue marks new
# texts untranslated and changed ones fuzzy: translate them, drop the fuzzy
# flag, then build (msgfmt --check) and run the catalogue test.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
pot="$root/po/vantrel.pot"
merge=0
while [ $# -gt 0 ]; do
  case "$1" in
    --merge) merge=1 ;;
    --pot) pot=$2; shift ;;
    *) echo "usage: $0 [--merge] [--pot FILE]" >&2; exit 2 ;;
  esac
  shift
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"
# wxrc names each text's layout in a #line directive; the template keeps the
# layout's name as the reference.
wxrc --gettext resources/*.xrc -o "$work/layouts.cpp"
mkdir -p "$work/resources"
awk -v dir="$work/resources" '
  /^#line / { file = $3; gsub(/"/, "", file); sub(/^resources\//, "", file); next }
  { print >> (dir "/" file) }' "$work/layouts.cpp"
(cd "$work" && find resources -type f | LC_ALL=C sort) > "$work/layouts.list"
git ls-files --cached --others --exclude-standard 'gui/*.cpp' 'gui/*.h' 'session/*.cpp' 'session/*.h' 'livelog/ChartAxis.h' 'history/*.cpp' 'history/*.h' | LC_ALL=C sort > "$work/code.list"

xgettext --language=C++ --from-code=UTF-8 --keyword=_ --keyword=wxTRANSLATE --keyword=CHART_LANE_NAME --keyword=wxPLURAL:1,2 --keyword=TranslatePlural:1,2 \
  --add-comments=TRANSLATORS: --add-location=file --sort-by-file --no-wrap \
  --package-name=VantrelStudio --msgid-bugs-address=support@norvanelabs.com \
  --files-from="$work/code.list" -o "$work/code.pot"
(cd "$work" && xgettext --language=C++ --from-code=UTF-8 --keyword=_ --add-location=file --sort-by-file \
  --no-wrap --files-from=layouts.list -o layouts.pot)
msgcat --use-first --sort-by-file --no-wrap "$work/code.pot" "$work/layouts.pot" -o "$work/vantrel.pot"
sed -i 's/charset=CHARSET/charset=UTF-8/' "$work/vantrel.pot"
mkdir -p "$(dirname "$pot")"
cp "$work/vantrel.pot" "$pot"

if [ "$merge" -eq 1 ]; then
  for po in "$root"/po/*.po; do
    msgmerge --quiet --update --backup=none --no-wrap --sort-by-file "$po" "$pot"
    printf '%s: %s\n' "$(basename "$po")" "$(msgfmt --check --statistics -o /dev/null "$po" 2>&1)"
  done
fi

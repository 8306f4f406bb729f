#!/bin/sh
# check-catalogues.sh SOURCE WORK: po/vantrel.pot holds the code's texts now (extracted into WORK); each
# po/*.po translates all, none fuzzy, each with its msgid's printf conversions in the same order (in
# every plural form).
set -e
"$1/tools/update-translations.sh" --pot "$2/vantrel.pot"
msgcmp --use-untranslated "$2/vantrel.pot" "$1/po/vantrel.pot" && msgcmp --use-untranslated "$1/po/vantrel.pot" "$2/vantrel.pot"
for po in "$1"/po/*.po; do
  out=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1) && echo "$po: $out" || { echo "$out"; exit 1; }
  case "$out" in *untranslated* | *fuzzy*) exit 1 ;; esac
  msgcmp "$po" "$1/po/vantrel.pot"
  msgcat --no-wrap "$po" | awk -v po="$po" 'function c(s, out) { gsub(/%%/, "", s)
      while (match(s, /%[-+ #0-9.]*[hlLzjt]*[diouxXeEfgGcsp]/)) { out = out substr(s, RSTART, RLENGTH) " "; s = substr(s, RSTART + RLENGTH) }
      return out }
    function check() { if (c(id) != c(str)) { print po ": " str " for " id; bad = 1 } str = "" }
    /^msgid / { if (k == 2) check(); id = $0; k = 1; next } /^msgid_plural / { k = 0; next }
    /^msgstr/ { if (k == 2) check(); str = $0; k = 2; next }
    /^"/ { if (k == 1) id = id $0; else if (k == 2) str = str $0 } END { if (k == 2) check(); exit bad }'
done

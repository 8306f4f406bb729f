#!/usr/bin/env bash
# Checks the links of a Markdown file that point into the repository: every
# linked file or image exists, and every #anchor names a heading of its file
# (GitHub's rule: lower case, spaces to hyphens, punctuation dropped).
# Usage: check-doc-links.sh <file.md>...
set -euo pipefail
fail=0

anchors_of() { # the anchors that the headings of a Markdown file make
  grep -E '^#{1,6} ' "$1" | sed -E 's/^#+ +//' | tr '[:upper:]' '[:lower:]' \
    | sed -E 's/[^a-z0-9 _-]//g; s/ /-/g'
}

for doc in "$@"; do
  dir=$(dirname "$doc")
  # Inline links and images: ](target) with no scheme.
  while IFS= read -r target; do
    case "$target" in
      http://* | https://* | mailto:*) continue ;;
    esac
    path=${target%%#*}
    anchor=""
    [[ "$target" == *"#"* ]] && anchor=${target#*#}
    file="$doc"
    if [ -n "$path" ]; then
      file="$dir/$path"
      if [ ! -e "$file" ]; then
        echo "FAIL: $doc links to missing $path" >&2
        fail=1
        continue
      fi
    fi
    if [ -n "$anchor" ] && ! anchors_of "$file" | grep -qxF "$anchor"; then
      echo "FAIL: $doc links to #$anchor, which is no heading of $file" >&2
      fail=1
    fi
  done < <(grep -oE '\]\([^) ]+\)' "$doc" | sed -E 's/^\]\(//; s/\)$//')
done
[ $fail = 0 ] && echo "links OK in $*"
exit $fail

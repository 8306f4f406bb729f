#!/usr/bin/env bash
# Style check: every tracked C/C++ file must be as clang-format (the repository's
# .clang-format) writes it, and clang-tidy (the checks named in .clang-tidy)
# must find nothing in the production code. Lists the offending files and exits
# non-zero when either fails.
#
# Usage: tools/check-style.sh [build-dir]
# The build directory (default: build) provides compile_commands.json, so
# clang-tidy sees the sources as the build compiles them. CHECK_STYLE_JOBS sets
# how many clang-tidy processes run at once (default: the number of cores).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build="$(cd "${1:-build}" && pwd)"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "check-style: $build/compile_commands.json is missing; configure the build first" >&2
  exit 2
fi
jobs="${CHECK_STYLE_JOBS:-$(nproc)}"

# The version the repository is formatted with; other versions format some
# constructs differently.
pick() {
  local name
  for name in "$@"; do
    if command -v "$name" >/dev/null; then
      echo "$name"
      return
    fi
  done
  echo "check-style: none of $* found (tools/install-deps.sh installs them)" >&2
  exit 2
}
clang_format="$(pick clang-format-14 clang-format)"
clang_tidy="$(pick clang-tidy-14 clang-tidy)"

status=0

echo "== clang-format ($("$clang_format" --version | grep -o 'version [0-9.]*'))"
unformatted=()
while IFS= read -r -d '' file; do
  if ! "$clang_format" --style=file "$file" | cmp -s - "$file"; then
    unformatted+=("$file")
  fi
done < <(git ls-files -z '*.cpp' '*.h' '*.c')
if [ ${#unformatted[@]} -gt 0 ]; then
  for file in "${unformatted[@]}"; do
    diff -u --label "$file" --label "$file (clang-format)" "$file" <("$clang_format" --style=file "$file") || true
  done
  echo "check-style: ${#unformatted[@]} file(s) differ from clang-format (fix with $clang_format -i <file>):"
  printf '  %s\n' "${unformatted[@]}"
  status=1
else
  echo "clang-format: all files formatted"
fi

echo "== include cycles in gui/"
# A header and its source are one part; a part that includes another (through
# either file) depends on it. tsort names the parts of a loop.
edges="$(git ls-files 'gui/*.cpp' 'gui/*.h' | while read -r file; do
  sed -n 's|^#include "\(gui/[^"]*\)\.h".*|\1|p' "$file" | while read -r used; do
    echo "${file%.*} $used"
  done
done)"
if cycle="$(echo "$edges" | tsort 2>&1 >/dev/null)" && [ -z "$cycle" ]; then
  echo "include cycles: none"
else
  echo "check-style: the parts of gui/ include each other in a loop:"
  echo "$cycle" | sed 's/^tsort: /  /'
  status=1
fi

echo "== clang-tidy ($("$clang_tidy" --version | grep -o 'version [0-9.]*'), $jobs jobs)"
# The production code: every translation unit of the build below these folders.
folders='usb|device|config|session|gui|cli|fwimages|emulator|editor|history|livelog|tools'
mapfile -t sources < <(python3 - "$build/compile_commands.json" "$root" "$folders" <<'EOF'
import json, re, sys
db, root, folders = sys.argv[1:]
pattern = re.compile(re.escape(root) + "/(" + folders + r")/.*\.(cpp|c)$")
for entry in json.load(open(db)):
    path = entry["file"]
    if not path.startswith("/"):
        path = entry["directory"] + "/" + path
    if pattern.match(path):
        print(path)
EOF
)
if [ ${#sources[@]} -eq 0 ]; then
  echo "check-style: no production sources in $build/compile_commands.json" >&2
  exit 2
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
tidy_status=0
# RUN_CLANG_TIDY= (set, empty) takes the xargs path even where run-clang-tidy is installed.
run_clang_tidy="${RUN_CLANG_TIDY-$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)}"
if [ -n "$run_clang_tidy" ]; then
  # Takes regular expressions; each path is matched whole.
  patterns=()
  for file in "${sources[@]}"; do
    patterns+=("^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$file")\$")
  done
  "$run_clang_tidy" -quiet -j "$jobs" -p "$build" -clang-tidy-binary "$(command -v "$clang_tidy")" \
    "${patterns[@]}" >"$log" 2>&1 || tidy_status=$?
else
  printf '%s\0' "${sources[@]}" |
    xargs -0 -n 1 -P "$jobs" "$clang_tidy" --quiet -p "$build" >"$log" 2>&1 || tidy_status=$?
fi
# Without colours, and without the command lines and counts of suppressed warnings.
sed -i 's/\x1b\[[0-9;]*m//g' "$log"
grep -vF -e "$(command -v "$clang_tidy") " -e "$clang_tidy " "$log" |
  grep -Ev '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter=' || true

findings="$(grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error): ' "$log" | sort -u || true)"
if [ -n "$findings" ] || [ "$tidy_status" -ne 0 ]; then
  if [ -n "$findings" ]; then
    echo "check-style: $(wc -l <<<"$findings") clang-tidy finding(s), by check:"
    sed -nE 's/.*\[([^]]+)\]$/\1/p' <<<"$findings" | tr ',' '\n' | grep -v '^-warnings-as-errors$' | sort | uniq -c | sort -rn
    echo "check-style: files with clang-tidy findings:"
    sed -E 's/:[0-9]+:[0-9]+: .*//; s|^'"$root"'/||' <<<"$findings" | sort | uniq -c | sort -rn
  else
    echo "check-style: clang-tidy failed (exit $tidy_status) without a finding; see its output above"
  fi
  status=1
else
  echo "clang-tidy: no findings in ${#sources[@]} translation units"
fi

exit $status

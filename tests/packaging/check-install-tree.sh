#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks the tree: every file a user
# needs is there, nothing else is, and the installed program finds libVantrel
# through its RUNPATH (not through the build tree).
# Usage: check-install-tree.sh <build-dir> <scratch-prefix>
set -euo pipefail
build=$1
dest=$2
rm -rf "$dest"
cmake --install "$build" --prefix "$dest" >/dev/null

fail=0
complain() { echo "FAIL: $*" >&2; fail=1; }

app=com.norvanelabs.VantrelStudio
lib=$(cd "$dest" && ls -d lib*/vantrelstudio/libVantrel.so.1 lib/*/vantrelstudio/libVantrel.so.1 2>/dev/null | head -1 || true)
[ -n "$lib" ] || complain "libVantrel.so.1 not installed in <libdir>/vantrelstudio"
expected=(
  "$lib"
  share/vantrelstudio/resource.xrs
  share/vantrelstudio/images.zip
  share/applications/$app.desktop
  share/metainfo/$app.metainfo.xml
  share/icons/hicolor/16x16/apps/$app.png
  share/icons/hicolor/32x32/apps/$app.png
  share/icons/hicolor/64x64/apps/$app.png
  share/icons/hicolor/128x128/apps/$app.png
  share/icons/hicolor/256x256/apps/$app.png
  share/icons/hicolor/scalable/apps/$app.svg
  lib/udev/rules.d/70-vantrel.rules
  share/doc/vantrelstudio/README.md
  share/man/man1/VantrelStudio.1.gz
  share/man/man1/vantrel.1.gz
  share/bash-completion/completions/vantrel
  share/doc/vantrelstudio/docs/user-guide.md
  share/locale/de/LC_MESSAGES/vantrel.mo
  share/locale/it/LC_MESSAGES/vantrel.mo
  share/locale/fr/LC_MESSAGES/vantrel.mo
  share/locale/es/LC_MESSAGES/vantrel.mo
  bin/VantrelStudio
  bin/vantrel
)
for f in "${expected[@]}"; do
  [ -n "$f" ] && [ -e "$dest/$f" ] || complain "missing $f"
done

# Anything else is a stray install rule that would end up in the package.
while IFS= read -r f; do
  case "$f" in
    share/doc/vantrelstudio/*) ;;
    *vantrelstudio/libVantrel.so*) ;;
    *)
      found=0
      for e in "${expected[@]}"; do [ "$f" = "$e" ] && found=1; done
      [ $found = 1 ] || complain "unexpected file $f"
      ;;
  esac
done < <(cd "$dest" && find . -type f -o -type l | sed 's|^\./||' | sort)

[ -e "$dest/${lib%.1}" ] && complain "development link ${lib%.1} installed"

for program in VantrelStudio vantrel; do
  runpath=$(readelf -d "$dest/bin/$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case "$runpath" in
    *'$ORIGIN'*) ;;
    *) complain "RUNPATH \"$runpath\" of $program is not relative to the program" ;;
  esac
  case "$runpath" in
    *"$(cd "$build" && pwd)"*) complain "RUNPATH \"$runpath\" of $program points into the build tree" ;;
  esac
  resolved=$(ldd "$dest/bin/$program" | sed -n 's/^\s*libVantrel\.so\.1 => \(\S*\).*/\1/p')
  [ "$(realpath -m "$resolved")" = "$(realpath -m "$dest/$lib")" ] \
    || complain "libVantrel.so.1 of $program resolves to \"$resolved\", not the installed $lib"
  ldd "$dest/bin/$program" | grep -q "not found" && complain "unresolved libraries of $program: $(ldd "$dest/bin/$program" | grep 'not found')"
done
# The command-line program runs without a display and names its version.
"$dest/bin/vantrel" --version | grep -q '^vantrel ' || complain "installed vantrel does not run"
bash -c 'source "$1" && complete -p vantrel' _ "$dest/share/bash-completion/completions/vantrel" >/dev/null 2>&1 \
  || complain "the bash completion does not register for vantrel"

rules=$(cat "$dest/lib/udev/rules.d/70-vantrel.rules" 2>/dev/null || true)
grep -q 'TAG+="uaccess"' <<<"$rules" || complain "installed udev rule has no uaccess tag"

[ $fail = 0 ] && echo "install tree OK: ${#expected[@]} files in $dest"
exit $fail

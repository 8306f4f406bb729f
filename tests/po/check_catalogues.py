#!/usr/bin/env python3
"""Checks the translation catalogues against the code.

usage: check_catalogues.py SOURCE_DIR WORK_DIR

- every po/<lang>.po compiles with msgfmt --check, all entries translated, none fuzzy;
- the printf conversions of each translation are those of its message id, in order;
- po/vantrel.pot holds exactly the texts the code and the layouts have now (it is
  extracted again into WORK_DIR), and every catalogue exactly the template's.
"""
import glob
import os
import re
import subprocess
import sys

CONVERSION = re.compile(r"%(?:%|[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|L|z|j|t)?[diouxXeEfgGcsp])")


def entries(path):
    """(msgid, msgstr, fuzzy) of each entry but the header; obsolete ones left out."""
    text = open(path, encoding="utf-8").read()
    found = []
    for block in re.split(r"\n\s*\n", text):
        lines = [l for l in block.splitlines() if not l.startswith("#~")]
        fuzzy = any(l.startswith("#,") and "fuzzy" in l for l in lines)
        fields, current = {}, None
        for line in lines:
            m = re.match(r'^(msgid|msgstr) "(.*)"$', line)
            if m:
                current = m.group(1)
                fields[current] = m.group(2)
            elif line.startswith('"') and current:
                fields[current] += line[1:-1]
        if fields.get("msgid"):
            found.append((fields["msgid"], fields.get("msgstr", ""), fuzzy))
    return found


def conversions(text):
    return [c for c in CONVERSION.findall(text) if c != "%%"]


def main(source, work):
    failures = []
    pot = os.path.join(source, "po", "vantrel.pot")
    fresh = os.path.join(work, "vantrel.pot")
    subprocess.run([os.path.join(source, "tools", "update-translations.sh"), "--pot", fresh], check=True)
    template = {msgid for msgid, _, _ in entries(pot)}
    now = {msgid for msgid, _, _ in entries(fresh)}
    for msgid in sorted(template - now):
        failures.append(f"vantrel.pot: no longer in the code: {msgid!r}")
    for msgid in sorted(now - template):
        failures.append(f"vantrel.pot: in the code but not in the template: {msgid!r}")

    catalogues = sorted(glob.glob(os.path.join(source, "po", "*.po")))
    if not catalogues:
        failures.append("no catalogue in po/")
    for po in catalogues:
        name = os.path.basename(po)
        run = subprocess.run(["msgfmt", "--check", "--statistics", "-o", os.devnull, po],
                             capture_output=True, text=True)
        statistics = run.stderr.strip().splitlines()[-1] if run.stderr.strip() else ""
        if run.returncode != 0 or "untranslated" in statistics or "fuzzy" in statistics:
            failures.append(f"{name}: msgfmt: {run.stderr.strip()}")
        found = entries(po)
        ids = {msgid for msgid, _, _ in found}
        for msgid in sorted(template - ids):
            failures.append(f"{name}: missing {msgid!r}")
        for msgid in sorted(ids - template):
            failures.append(f"{name}: not in the template {msgid!r}")
        for msgid, msgstr, fuzzy in found:
            if fuzzy or not msgstr:
                failures.append(f"{name}: {'fuzzy' if fuzzy else 'untranslated'} {msgid!r}")
            elif conversions(msgid) != conversions(msgstr):
                failures.append(f"{name}: conversions {conversions(msgstr)} instead of "
                                f"{conversions(msgid)} in {msgstr!r}")
        print(f"{name}: {statistics}")

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

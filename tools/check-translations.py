#!/usr/bin/env python3
"""Fails when a translation of the windows is unfinished or out of date.

Usage: check-translations.py LUPDATE SOURCE_DIR TS...

Each .ts is updated from the sources into a scratch copy (as update_translations does); every
entry of the copy must be translated, keep the source's %1, %2, ... and be in the .ts as
committed. The fix for every fault listed: `cmake --build build/dev --target update_translations`,
then translate what it added.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SOURCES = ["src/core", "src/ui", "src/programs/voltrix.cpp"]


def entries(path):
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            found[(name, message.findtext("source"))] = message.find("translation")
    return found


def placeholders(text):
    return sorted(set(re.findall(r"%\d", text or "")))


def check(lupdate, root, ts):
    faults = []
    with tempfile.TemporaryDirectory() as scratch:
        fresh = os.path.join(scratch, os.path.basename(ts))
        shutil.copy(ts, fresh)
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none", "-I", os.path.join(root, "src"),
                        *[os.path.join(root, s) for s in SOURCES], "-ts", fresh], check=True)
        committed = entries(ts)
        current = entries(fresh)
    for key in current.keys() - committed.keys():
        faults.append("not in the .ts yet: [%s] %r" % key)
    for key in committed.keys() - current.keys():
        faults.append("no longer in the sources: [%s] %r" % key)
    for (context, source), translation in current.items():
        if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete") \
                or not (translation.text or "").strip():
            faults.append("untranslated: [%s] %r" % (context, source))
        elif placeholders(translation.text) != placeholders(source):
            faults.append("placeholders differ: [%s] %r -> %r" % (context, source, translation.text))
    return faults


def main():
    lupdate, root, *files = sys.argv[1:]
    failed = False
    for ts in files:
        for fault in sorted(check(lupdate, root, ts)):
            print("%s: %s" % (os.path.basename(ts), fault))
            failed = True
    if failed:
        print("Run `cmake --build build/dev --target update_translations` and translate the entries listed.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

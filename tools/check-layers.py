#!/usr/bin/env python3
"""Checks that the core's subsystems include each other only as docs/architecture.md allows:
a subsystem includes only subsystems of lower levels, and every folder of src/core is named."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
levels = {}
for line in (root / "docs/architecture.md").read_text().splitlines():
    row = re.match(r"\|\s*(\d+)\s*\|([^|]*)\|", line)
    if row:
        for name in re.findall(r"`(\w+)`", row.group(2)):
            levels[name] = int(row.group(1))

faults = []
for path in sorted((root / "src/core").glob("*/*")):
    subsystem = path.parent.name
    if subsystem not in levels:
        faults.append(f"{path.relative_to(root)}: the folder {subsystem} is not in docs/architecture.md")
        continue
    for number, line in enumerate(path.read_text().splitlines(), 1):
        include = re.match(r'#include "core/(\w+)/', line)
        if not include or include.group(1) == subsystem:
            continue
        used = include.group(1)
        if levels.get(used, 99) >= levels[subsystem]:
            faults.append(f"{path.relative_to(root)}:{number}: {subsystem} (level {levels[subsystem]}) "
                          f"includes {used} (level {levels.get(used, '?')})")
for fault in faults:
    print(fault)
print(f"{len(levels)} subsystems, {len(faults)} faults")
sys.exit(1 if faults else 0)

#!/usr/bin/env python3
"""The folders form a one-way stack: a folder includes headers of the folders
below it only. Prints every include that goes up or sideways; exit 1 if any.
Usage: check_layers.py SOURCE_DIR"""
import pathlib
import re
import sys

# Bottom first. Front ends sit on top and include nothing of each other.
STACK = [["include"], ["state"], ["bspline"], ["foilio"], ["screens"], ["fit"],
         ["cli", "app", "bench", "python"]]
LEVEL = {folder: n for n, row in enumerate(STACK) for folder in row}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)

root = pathlib.Path(sys.argv[1])
faults = []
for folder, level in LEVEL.items():
    for source in sorted((root / folder).rglob("*")):
        if source.suffix not in {".h", ".cpp"}:
            continue
        for target in INCLUDE.findall(source.read_text(errors="replace")):
            top = "include" if target.startswith("tarvelo/") else target.split("/")[0]
            if top in LEVEL and top != folder and LEVEL[top] >= level:
                faults.append(f"{source.relative_to(root)} includes {target}")
print("\n".join(faults) or "every folder includes only folders below it")
sys.exit(1 if faults else 0)

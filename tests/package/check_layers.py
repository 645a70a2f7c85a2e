#!/usr/bin/env python3
"""The folders form a one-way stack: a folder includes headers of the folders
below it only, and the command-line programs and the Python module include
the public header <tarvelo/...> and nothing else of ours. Prints every include
that breaks the stack; exit 1 if any. The build refuses most of these by
itself (each folder's library sees only what it links); this also covers
headers no source of the folder happens to include yet.
Usage: check_layers.py SOURCE_DIR"""
import pathlib
import re
import sys

# Bottom first; folders on one row include nothing of each other. The
# engine (bspline) sits below the public header: it includes none of ours.
# The benchmarks time the window's display area too, so they sit on top.
STACK = [["bspline"], ["include"], ["foilio"], ["geometry", "state"], ["screens"], ["fit"],
         ["lib"], ["cli", "app", "python"], ["bench"]]
LEVEL = {folder: n for n, row in enumerate(STACK) for folder in row}
# Front ends that are built as any other user of the library would be.
PUBLIC_ONLY = {"cli", "python"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)


def faults_in(root):
    faults = []
    for folder, level in LEVEL.items():
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in {".h", ".cpp"}:
                continue
            for target in INCLUDE.findall(source.read_text(errors="replace")):
                where = f"{source.relative_to(root)} includes {target}"
                if ".." in target.split("/"):
                    faults.append(where + " (a path out of its folder)")
                    continue
                top = "include" if target.startswith("tarvelo/") else target.split("/")[0]
                if top not in LEVEL or top == folder:
                    continue
                if folder in PUBLIC_ONLY and top != "include":
                    faults.append(where + " (only <tarvelo/...> here)")
                elif LEVEL[top] >= level:
                    faults.append(where)
    return faults


if __name__ == "__main__":
    faults = faults_in(pathlib.Path(sys.argv[1]))
    print("\n".join(faults) or "every folder includes only folders below it")
    sys.exit(1 if faults else 0)

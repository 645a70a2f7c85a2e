#!/usr/bin/env python3
"""The folders form a one-way stack: a folder includes headers of its own and
of the folders below it only; the front ends sit on top, and the command-line
programs and the Python module include the public headers <tarvelo/...> and
nothing else of ours. No include climbs out of its folder ("../x.h"), which
the compiler would find beside the file whatever the stack says. Prints every
include that breaks the stack; exit 1 if any. The build refuses most of these
by itself (each folder is compiled with the headers of the stack up to it);
this also covers headers no source of the folder happens to include yet.

Usage: check_layers.py SOURCE_DIR "STACK"
STACK is the build's list, bottom first, separated by ';': folders, and
`api` and `window` for the public headers <tarvelo/tarvelo.h> and
<tarvelo/window.h>."""
import pathlib
import re
import sys

# Above the stack: the window and the programs, then the benchmarks, which
# time the window's display area too.
FRONT_ENDS = [["cli", "app", "python"], ["bench"]]
# Front ends that are built as any other user of the library would be.
PUBLIC_ONLY = {"cli", "python"}
HEADERS = {"tarvelo/tarvelo.h": "api", "tarvelo/window.h": "window"}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)


def levels(stack):
    rows = [[entry] for entry in stack] + FRONT_ENDS
    return {entry: n for n, row in enumerate(rows) for entry in row}


def entry_of(target):
    if target in HEADERS:
        return HEADERS[target]
    return target.split("/")[0]


def faults_in(root, stack):
    level = levels(stack)
    faults = []
    for folder, at in level.items():
        if folder in HEADERS.values():
            continue
        for source in sorted((root / folder).rglob("*")):
            if source.suffix not in {".h", ".cpp", ".inc"}:
                continue
            for target in INCLUDE.findall(source.read_text(errors="replace")):
                where = f"{source.relative_to(root)} includes {target}"
                if target.startswith(".") or ".." in target.split("/"):
                    faults.append(where + " (a path out of its folder)")
                    continue
                top = entry_of(target)
                if target.startswith("tarvelo/") and top not in level:
                    faults.append(where + " (no such public header)")
                    continue
                if top not in level or top == folder:
                    continue
                if folder in PUBLIC_ONLY and top not in HEADERS.values():
                    faults.append(where + " (only <tarvelo/...> here)")
                elif level[top] >= at:
                    faults.append(where)
    return faults


if __name__ == "__main__":
    stack = [entry for entry in sys.argv[2].split(";") if entry]
    faults = faults_in(pathlib.Path(sys.argv[1]), stack)
    print("\n".join(faults) or "every folder includes only folders below it")
    sys.exit(1 if faults else 0)

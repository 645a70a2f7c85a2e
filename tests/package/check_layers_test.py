#!/usr/bin/env python3
"""check_layers.py finds what breaks the stack in a tree made for it, and
nothing in one that keeps it. Usage: check_layers_test.py"""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from check_layers import faults_in  # noqa: E402

STACK = ["cad", "bspline", "api", "foilio", "geometry", "lib", "window", "state", "screens", "fit"]
TREE = {
    "bspline/knots.cpp": '#include "bspline/bspline.h"\n#include <vector>\n',
    "cad/module.cpp": '#include "cad/cad.h"\n#include <BRep_Builder.hxx>\n',
    "lib/cad_module.cpp": '#include "cad/cad.h"\n',
    "foilio/items.cpp": '#include <tarvelo/tarvelo.h>\n#include "bspline/array.h"\n',
    "lib/fit.cpp": '#include "foilio/items.h"\n#include "geometry/outline.h"\n',
    "fit/run.cpp": '#include <tarvelo/window.h>\n#include "lib/foil.h"\n#include "screens/screens.h"\n',
    "cli/main.cpp": '#include <tarvelo/window.h>\n#include "cli/program.h"\n',
    "app/window.cpp": '#include "fit/run.h"\n',
    "bench/window_bench.cpp": '#include "app/picture_box.h"\n',
}
BROKEN = {
    "bspline/exact.cpp": ('#include <tarvelo/tarvelo.h>\n', "bspline/exact.cpp includes tarvelo/tarvelo.h"),
    "cad/module.cpp": ('#include "bspline/exact.h"\n', "cad/module.cpp includes bspline/exact.h"),
    "cad/cad.h": ('#include <tarvelo/tarvelo.h>\n', "cad/cad.h includes tarvelo/tarvelo.h"),
    "cli/blade_command.cpp": ('#include "cad/cad.h"\n', "cli/blade_command.cpp includes cad/cad.h (only <tarvelo/...> here)"),
    "foilio/foil_file.cpp": ('#include "state/state.h"\n', "foilio/foil_file.cpp includes state/state.h"),
    "geometry/outline.h": ('#include "state/state.h"\n', "geometry/outline.h includes state/state.h"),
    "lib/fit.cpp": ('#include "fit/run.h"\n', "lib/fit.cpp includes fit/run.h"),
    "lib/names.cpp": ('#include <tarvelo/window.h>\n', "lib/names.cpp includes tarvelo/window.h"),
    "geometry/outline.cpp": ('#include "lib/foil.h"\n', "geometry/outline.cpp includes lib/foil.h"),
    "screens/graphic.cpp": ('#include "fit/run.h"\n', "screens/graphic.cpp includes fit/run.h"),
    "lib/count.cpp": ('#include "./placement.h"\n', "lib/count.cpp includes ./placement.h (a path out of its folder)"),
    "lib/outline.cpp": ('#include <tarvelo/other.h>\n', "lib/outline.cpp includes tarvelo/other.h (no such public header)"),
    "cli/fit_command.cpp": ('#include "fit/run.h"\n', "cli/fit_command.cpp includes fit/run.h (only <tarvelo/...> here)"),
    "python/module.cpp": ('#include "foilio/items.h"\n', "python/module.cpp includes foilio/items.h (only <tarvelo/...> here)"),
    "screens/svg.cpp": ('#include "../fit/run.h"\n', "screens/svg.cpp includes ../fit/run.h (a path out of its folder)"),
    "app/picture_box.cpp": ('#include "bench/dense_fit.h"\n', "app/picture_box.cpp includes bench/dense_fit.h"),
}


def tree(files):
    root = pathlib.Path(tempfile.mkdtemp())
    for name, text in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_text(text)
    return root


failed = []
if faults_in(tree(TREE), STACK):
    failed.append(f"a tree that keeps the stack: {faults_in(tree(TREE), STACK)}")
for name, (text, fault) in BROKEN.items():
    found = faults_in(tree({**TREE, name: text}), STACK)
    if found != [fault]:
        failed.append(f"{name}: found {found}, expected [{fault!r}]")
cases = 1 + len(BROKEN)
print("\n".join(failed + [f"{cases - len(failed)} passed, {len(failed)} failed"]))
sys.exit(1 if failed else 0)

#!/usr/bin/env python3
"""tarvelo-export's DXF read back by a DXF library (ezdxf): for each .FOI and
size, two degree-3 SPLINE entities on the layers UPPER and LOWER, with the
clamped uniform knots and the control points (x_j, F c_j +- T t_j / 2) worked
out here from the .FOI's text; with --te-thickness D, t_j grown by
(D / T - t_n) x_j and the trailing edge D thick to 1e-12. Exit 1 on the
first difference.
Usage: check_dxf.py TARVELO_EXPORT NACA2412.FOI WORK_DIR"""
import itertools
import os
import subprocess
import sys

import ezdxf

export, example, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)

# A .FOI of 4 and one of 20 control points beside the bundled one of 8.
four = "four\r\n 4  4 \r\n" + "".join(
    f"{x:10.5f}{t:10.5f}{c:10.5f}\r\n" for x, t, c in
    [(0, 0, 0), (0, 0.5, 0.1), (0.33333, 0.9, 0.2), (1, 0.1, 0)])
twenty = "twenty\r\n 20  4 \r\n" + "".join(
    f"{min(1, (j / 17) ** 2):10.5f}{0.9 * (j / 19) ** 0.5 * (1 - j / 19) + 0.01:10.5f}"
    f"{-0.3 * (j / 19) * (1 - j / 19):10.5f}\r\n" for j in range(20))
files = [example]
for name, text in (("four.FOI", four), ("twenty.FOI", twenty)):
    files.append(os.path.join(work, name))
    with open(files[-1], "w", newline="") as f:
        f.write(text)


def control_points(foi):
    """x, thickness and camber of each control point, as the file has them."""
    with open(foi, encoding="latin-1") as f:
        lines = f.read().splitlines()
    n = int(lines[1].split()[0])
    return [tuple(float(v) for v in line.split()) for line in lines[2:2 + n]]


failures = []
for foi in files:
    points = control_points(foi)
    n = len(points)
    knots = [0.0] * 4 + [j / (n - 3) for j in range(1, n - 3)] + [1.0] * 4
    for (T, F), te in itertools.product(((0.12, 0.02), (0.3, -0.05), (1, 0)), (None, 0.003)):
        dxf = os.path.join(work, "outline.dxf")
        subprocess.run([export, "--format", "dxf", "--thickness", str(T), "--camber", str(F),
                        "-o", dxf, foi] + (["--te-thickness", str(te)] if te is not None else []), check=True)
        doc = ezdxf.readfile(dxf)
        where = f"{os.path.basename(foi)} T={T} F={F} te={te}"
        added = 0 if te is None else te / T - points[-1][1]
        if doc.dxfversion != "AC1015" or doc.audit().has_errors:
            failures.append(f"{where}: version {doc.dxfversion} or audit errors")
        splines = {s.dxf.layer: s for s in doc.modelspace()}
        if sorted(splines) != ["LOWER", "UPPER"] or len(doc.modelspace()) != 2:
            failures.append(f"{where}: entities on {sorted(splines)}")
            continue
        for layer, side in (("UPPER", 1), ("LOWER", -1)):
            s = splines[layer]
            want = [(x, F * c + side * (T * (t + added * x) / 2), 0.0) for x, t, c in points]
            got = [tuple(p) for p in s.control_points]
            if s.dxftype() != "SPLINE" or s.dxf.degree != 3 or list(s.knots) != knots or got != want:
                failures.append(f"{where} {layer}: degree {s.dxf.degree}, knots {list(s.knots)}, "
                                f"control points {got}, want {want}")
        if te is not None:
            ends = [splines[layer].control_points[-1][1] for layer in ("UPPER", "LOWER")]
            if abs(ends[0] - ends[1] - te) > 1e-12:
                failures.append(f"{where}: trailing edge {ends[0] - ends[1]} thick")

print("\n".join(failures) or f"{len(files) * 6} drawings read back as written")
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""tarvelo-export's DXF read back by a DXF library (ezdxf): for each .FOI and
size, two degree-3 SPLINE entities on the layers UPPER and LOWER, with the
clamped uniform knots and the control points (x_j, F c_j +- T t_j / 2) worked
out here from the .FOI's text, times the chord length; with --te-thickness
D, t_j grown by (D / T - t_n) x_j and the trailing edge D thick to 1e-12;
an open trailing edge closed by a LINE on the layer TE, the three one loop
to the last bit; the units in the header. Exit 1 on the first difference.
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


# The size and drawing of each export: T, F, chord length (None: chord units)
# and units with their $INSUNITS and $MEASUREMENT. The twenty's camber is
# nowhere above 0, so it is stored as it is: F 1 gives it back, 0 leaves it out.
SIZES = {"four.FOI": [(0.12, 0.02, None, None), (0.3, -0.05, 150, ("mm", 4, 1)), (1, 0, 2.5, ("in", 1, 0))],
         "twenty.FOI": [(0.12, 1, None, None), (0.3, 0, 0.25, ("m", 6, 1))]}
DEFAULT = [(0.12, 0.02, None, None), (0.3, -0.05, 30, ("cm", 5, 1)), (1, 0, None, None)]

failures = []
drawings = 0
for foi in files:
    points = control_points(foi)
    n = len(points)
    knots = [0.0] * 4 + [j / (n - 3) for j in range(1, n - 3)] + [1.0] * 4
    for (T, F, chord, units), te in itertools.product(SIZES.get(os.path.basename(foi), DEFAULT), (None, 0.003)):
        dxf = os.path.join(work, "outline.dxf")
        drawn = (["--chord", str(chord)] if chord else []) + (["--units", units[0]] if units else []) + \
            (["--te-thickness", str(te)] if te is not None else [])
        subprocess.run([export, "--format", "dxf", "--thickness", str(T), "--camber", str(F), *drawn,
                        "-o", dxf, foi], check=True)
        drawings += 1
        doc = ezdxf.readfile(dxf)
        where = f"{os.path.basename(foi)} T={T} F={F} {' '.join(drawn)}"
        added = 0 if te is None else te / T - points[-1][1]
        if doc.dxfversion != "AC1015" or doc.audit().has_errors:
            failures.append(f"{where}: version {doc.dxfversion} or audit errors")
        want_units = (units[1], units[2]) if units else (0, None)
        got_units = (doc.header["$INSUNITS"], doc.header.get("$MEASUREMENT") if units else None)
        if got_units != want_units:
            failures.append(f"{where}: $INSUNITS, $MEASUREMENT {got_units}, want {want_units}")
        entities = {e.dxf.layer: e for e in doc.modelspace()}
        c = chord or 1
        ends = {side: F * points[-1][2] + side * (T * (points[-1][1] + added) / 2) for side in (1, -1)}
        layers = ["LOWER", "UPPER"] + (["TE"] if ends[1] != ends[-1] else [])
        if sorted(entities) != sorted(layers) or len(doc.modelspace()) != len(layers):
            failures.append(f"{where}: entities on {sorted(entities)}")
            continue
        for layer, side in (("UPPER", 1), ("LOWER", -1)):
            s = entities[layer]
            want = [(c * x, c * (F * cb + side * (T * (t + added * x) / 2)), 0.0) for x, t, cb in points]
            got = [tuple(p) for p in s.control_points]
            if s.dxftype() != "SPLINE" or s.dxf.degree != 3 or list(s.knots) != knots or got != want:
                failures.append(f"{where} {layer}: degree {s.dxf.degree}, knots {list(s.knots)}, "
                                f"control points {got}, want {want}")
        if "TE" in entities:
            line = entities["TE"]
            start, end = tuple(line.dxf.start), tuple(line.dxf.end)
            upper_end = tuple(entities["UPPER"].control_points[-1])
            lower_end = tuple(entities["LOWER"].control_points[-1])
            if line.dxftype() != "LINE" or start != upper_end or end != lower_end:
                failures.append(f"{where} TE: {line.dxftype()} {start} {end}, want {upper_end} {lower_end}")
        thick = (entities["UPPER"].control_points[-1][1] - entities["LOWER"].control_points[-1][1]) / c
        if te is not None and abs(thick - te) > 1e-12:
            failures.append(f"{where}: trailing edge {thick} thick")
        # A fit's thickness is 0 at the leading edge: one point begins both.
        if points[0][1] == 0 and \
                tuple(entities["UPPER"].control_points[0]) != tuple(entities["LOWER"].control_points[0]):
            failures.append(f"{where}: the surfaces start apart")

print("\n".join(failures) or f"{drawings} drawings read back as written")
sys.exit(1 if failures else 0)

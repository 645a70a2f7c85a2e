#!/usr/bin/env python3
"""Generate the coordinate files of the import tests from formulas.

Each has the quirks of files as section collections publish them: the Selig
and Lednicer layouts, tabs, CR LF, a missing final line end, repeated points,
an open trailing edge, and surfaces that cross within the last 1 % of the
chord. Made here, so the project may redistribute them.

Run from anywhere: python3 tests/import/data/make_coordinate_files.py
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def four_digit_half_thickness(x, t):
    """Half-thickness of a NACA four-digit section, fraction of chord."""
    return 5.0 * t * (0.2969 * math.sqrt(x) - 0.1260 * x - 0.3516 * x ** 2
                      + 0.2843 * x ** 3 - 0.1015 * x ** 4)


def four_digit_camber(x, m, p):
    """NACA four-digit mean line, fraction of chord."""
    if m == 0.0:
        return 0.0
    if x < p:
        return m / p ** 2 * (2.0 * p * x - x * x)
    return m / (1.0 - p) ** 2 * ((1.0 - 2.0 * p) + 2.0 * p * x - x * x)


def cosine(n):
    return [(1.0 - math.cos(math.pi * i / (n - 1))) / 2.0 for i in range(n)]


def surfaces(xs, half, camber, skew=lambda x: 0.0):
    """Upper and lower surface, leading edge to trailing edge; `skew` moves
    both surfaces toward and past each other."""
    upper = [(x, camber(x) + half(x) - skew(x)) for x in xs]
    lower = [(x, camber(x) - half(x) + skew(x)) for x in xs]
    return upper, lower


def write(name, text):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode("ascii"))


def main():
    # Selig, tab-separated, CR LF, the open trailing edge of the standard
    # four-digit thickness.
    up, lo = surfaces(cosine(61), lambda x: four_digit_half_thickness(x, 0.12),
                      lambda x: four_digit_camber(x, 0.02, 0.4))
    rows = ["%.6f\t%.6f" % p for p in up[::-1] + lo[1:]]
    write("naca2412-tabs-crlf.dat", "NACA 2412 tabs CR LF\r\n" + "\r\n".join(rows) + "\r\n")

    # Lednicer, counts with points, blank lines, five decimals, no final
    # line end.
    up, lo = surfaces(cosine(61), lambda x: four_digit_half_thickness(x, 0.12),
                      lambda x: four_digit_camber(x, 0.04, 0.4))
    block = lambda pts: "\n".join("  %.5f  %.5f" % p for p in pts)
    write("naca4412-lednicer.dat", "NACA 4412 Lednicer\n       61.       61.\n\n" + block(up) +
          "\n\n" + block(lo))

    # Selig the other way round (lower surface first), the leading edge and a
    # point of each surface repeated, a closed trailing edge.
    closed = lambda x: 5.0 * 0.09 * (0.2969 * math.sqrt(x) - 0.1260 * x - 0.3516 * x ** 2
                                     + 0.2843 * x ** 3 - 0.1036 * x ** 4)
    up, lo = surfaces(cosine(51), closed, lambda x: 0.0)
    pts = lo[::-1] + up[1:]
    pts = pts[:20] + [pts[19]] + pts[20:50] + [pts[49], pts[50]] + pts[50:80] + [pts[79]] + pts[80:]
    write("naca0009-repeated.dat", "NACA 0009 repeated points\n" +
          "".join("%.6f %.6f\n" % p for p in pts))

    # Lednicer with surfaces of different counts that cross at 99.6 % of the
    # chord: a thin, skewed trailing edge.
    skew = lambda x: 0.003 * max(0.0, (x - 0.99) / 0.01) ** 2
    half = lambda x: four_digit_half_thickness(x, 0.09)
    mean = lambda x: four_digit_camber(x, 0.06, 0.4)
    up, _ = surfaces(cosine(71), half, mean, skew)
    _, lo = surfaces(cosine(57), half, mean, skew)
    write("naca6409-crossing.dat", "NACA 6409 crossing at the trailing edge\n71 57\n\n" +
          "\n".join("%.6f %.6f" % p for p in up) + "\n\n" +
          "\n".join("%.6f %.6f" % p for p in lo) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())

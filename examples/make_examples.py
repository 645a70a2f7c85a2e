#!/usr/bin/env python3
"""Generate the sample section files (*.dat) shipped in this folder, and
the coordinate file coordinates/naca4412.dat.

Each file: an identification line, the point count, then one line per
point "x, t1, t2, c" in percent of chord, where t1 + t2 is the full
thickness (written as two equal halves) and c is the mean-line ordinate.
Lines end in CR LF so the files read the same on every platform.

Run from anywhere: python3 examples/make_examples.py
Standard library only; exits non-zero if a sanity check fails.
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Stations used by the published section tables, percent of chord.
TABLE_STATIONS = [0.0, 0.5, 0.75, 1.25, 2.5, 5.0, 7.5, 10.0] + [
    float(s) for s in range(15, 101, 5)
]

failures = []


def check(ok, message):
    # Collect rather than stop, so one run reports every broken fact.
    if not ok:
        failures.append(message)
        print("CHECK FAILED: " + message, file=sys.stderr)


# ---------------------------------------------------------------- thickness

def four_digit_half_thickness(x, t):
    """Half-thickness of a NACA four-digit section, fraction of chord."""
    return 5.0 * t * (0.2969 * math.sqrt(x) - 0.1260 * x - 0.3516 * x ** 2
                      + 0.2843 * x ** 3 - 0.1015 * x ** 4)


def sixteen_series_half_thickness(x, t):
    """Half-thickness of a NACA 16-series section, fraction of chord.

    Two polynomials joined at the 50 % maximum-thickness station.
    """
    if x <= 0.5:
        r = (0.989665 * math.sqrt(x) - 0.239250 * x - 0.041000 * x ** 2
             - 0.559400 * x ** 3)
    else:
        u = 1.0 - x
        r = 0.010000 + 2.325000 * u - 3.420000 * u ** 2 + 1.460000 * u ** 3
    return t * r


# ---------------------------------------------------------------- mean lines

def four_digit_camber(x, m, p):
    """NACA four-digit mean line, fraction of chord."""
    if m == 0.0:
        return 0.0
    if x < p:
        return m / p ** 2 * (2.0 * p * x - x * x)
    return m / (1.0 - p) ** 2 * ((1.0 - 2.0 * p) + 2.0 * p * x - x * x)


def _sq_ln(u):
    # u^2 ln|u|, taking the limit 0 at u = 0.
    return 0.0 if u == 0.0 else u * u * math.log(abs(u))


def _x_ln(u):
    # u ln u, taking the limit 0 at u = 0.
    return 0.0 if u == 0.0 else u * math.log(u)


def a_series_camber(x, a, cli):
    """NACA a-series mean line (uniform load to x = a), fraction of chord."""
    g = -1.0 / (1.0 - a) * (a * a * (0.5 * math.log(a) - 0.25) + 0.25)
    h = 1.0 / (1.0 - a) * (0.5 * _sq_ln(1.0 - a)
                           - 0.25 * (1.0 - a) ** 2) + g
    bracket = (0.5 * _sq_ln(a - x) - 0.5 * _sq_ln(1.0 - x)
               + 0.25 * (1.0 - x) ** 2 - 0.25 * (a - x) ** 2)
    return cli / (2.0 * math.pi * (a + 1.0)) * (
        bracket / (1.0 - a) - _x_ln(x) + g - h * x)


# ---------------------------------------------------------------- output

def fmt(v):
    # Round first so tiny negative residues never print as "-0.0000".
    v = round(v, 4)
    if v == 0.0:
        v = 0.0
    return "%8.4f" % v


def section_points(stations, half_thickness, camber):
    """Rows (x, t1, t2, c) in percent of chord, rounded as written."""
    rows = []
    for s in stations:
        x = s / 100.0
        half = round(100.0 * half_thickness(x), 4)
        rows.append((s, half, half, round(100.0 * camber(x), 4)))
    return rows


def write_dat(name, title, rows):
    lines = [title, str(len(rows))]
    lines += [", ".join(fmt(v) for v in row) for row in rows]
    data = ("\r\n".join(lines) + "\r\n").encode("ascii")
    path = os.path.join(HERE, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def read_back(path):
    """Parse a written file byte by byte, the way the application must."""
    with open(path, "rb") as f:
        raw = f.read()
    check(raw.endswith(b"\r\n"), path + ": last line not CR LF terminated")
    check(raw.count(b"\n") == raw.count(b"\r\n"), path + ": bare LF found")
    check(raw.count(b"\r") == raw.count(b"\r\n"), path + ": bare CR found")
    check(all(b < 128 for b in raw), path + ": non-ASCII byte")
    lines = raw.decode("ascii").split("\r\n")[:-1]
    count = int(lines[1])
    check(count == len(lines) - 2,
          "%s: count line says %d, found %d points"
          % (path, count, len(lines) - 2))
    rows = []
    for ln in lines[2:]:
        parts = ln.split(", ")
        check(len(parts) == 4, path + ": bad data line " + repr(ln))
        rows.append(tuple(float(p) for p in parts))
    return rows


def verify(name, rows, nominal_t, symmetric=False):
    """Sanity facts every sample must satisfy; returns (max t, max c)."""
    xs = [r[0] for r in rows]
    check(xs[0] == 0.0 and xs[-1] == 100.0, name + ": x must run 0 to 100")
    check(all(b > a for a, b in zip(xs, xs[1:])),
          name + ": x not strictly increasing")
    check(all(r[1] >= 0.0 and r[2] >= 0.0 for r in rows),
          name + ": negative thickness")
    check(all(r[1] == r[2] for r in rows), name + ": halves differ")
    tmax = max(r[1] + r[2] for r in rows)
    # Table stations need not hit the true maximum, so allow 2 %.
    check(abs(tmax - nominal_t) <= 0.02 * nominal_t,
          "%s: max thickness %.4f, expected about %.4f"
          % (name, tmax, nominal_t))
    cs = [r[3] for r in rows]
    if symmetric:
        check(all(c == 0.0 for c in cs), name + ": symmetric but cambered")
    else:
        check(cs[0] == 0.0 and cs[-1] == 0.0,
              name + ": camber not zero at both ends")
    return tmax, max(cs, key=abs)


def outline(n, half_thickness, camber):
    """Upper and lower surface (x, y), leading edge to trailing edge, at n
    cosine-spaced stations; thickness laid off vertically from the mean line."""
    xs = [(1.0 - math.cos(math.pi * i / (n - 1))) / 2.0 for i in range(n)]
    upper = [(x, camber(x) + half_thickness(x)) for x in xs]
    lower = [(x, camber(x) - half_thickness(x)) for x in xs]
    return upper, lower


def write_coordinates():
    """A coordinate file in the Selig layout for tarvelo-import: a name line,
    then x y from the trailing edge over the upper surface to the leading
    edge and back along the lower surface, six decimals, LF line ends."""
    upper, lower = outline(61, lambda x: four_digit_half_thickness(x, 0.12),
                           lambda x: four_digit_camber(x, 0.04, 0.4))
    points = upper[::-1] + lower[1:]
    lines = ["NACA 4412"] + ["%9.6f %9.6f" % p for p in points]
    folder = os.path.join(HERE, "coordinates")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "naca4412.dat")
    with open(path, "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("ascii"))
    check(len(points) == 121, path + ": not 121 points")
    print("%-20s %d points, Selig layout" % ("coordinates/naca4412.dat", len(points)))


def single_hump(f, n=4000):
    """True if f rises then falls on (0, 1) with f(0) = f(1) = 0."""
    vals = [f(i / n) for i in range(n + 1)]
    top = max(range(n + 1), key=lambda i: vals[i])
    rising = all(b >= a for a, b in zip(vals[:top], vals[1:top + 1]))
    falling = all(b <= a for a, b in zip(vals[top:], vals[top + 1:]))
    return rising and falling, top / n, vals[top]


def main():
    # Cosine spacing clusters points at both edges where curvature is high;
    # rounding to 4 decimals keeps written and computed x identical.
    dense = [round(50.0 * (1.0 - math.cos(math.pi * i / 39)), 4)
             for i in range(40)]

    samples = [
        ("naca2412.dat",
         "NACA 2412, standard thickness and camber, 26 stations",
         TABLE_STATIONS,
         lambda x: four_digit_half_thickness(x, 0.12),
         lambda x: four_digit_camber(x, 0.02, 0.4),
         12.0, False),
        ("naca16-206-a08.dat",
         "NACA 16-206 thickness, a=0.8 mean line, cli=0.2, 26 stations",
         TABLE_STATIONS,
         lambda x: sixteen_series_half_thickness(x, 0.06),
         lambda x: a_series_camber(x, 0.8, 0.2),
         6.0, False),
        ("naca0012.dat",
         "NACA 0012, symmetric section, 26 stations",
         TABLE_STATIONS,
         lambda x: four_digit_half_thickness(x, 0.12),
         lambda x: four_digit_camber(x, 0.0, 0.0),
         12.0, True),
        ("naca4412-40pt.dat",
         "NACA 4412, standard thickness and camber, 40 cosine-spaced stations",
         dense,
         lambda x: four_digit_half_thickness(x, 0.12),
         lambda x: four_digit_camber(x, 0.04, 0.4),
         12.0, False),
    ]

    for name, title, stations, half_t, camber, nominal_t, sym in samples:
        rows = section_points(stations, half_t, camber)
        path = write_dat(name, title, rows)
        back = read_back(path)
        check(len(back) == len(stations), name + ": point count changed")
        check(back == rows, name + ": file does not read back as written")
        tmax, cmax = verify(name, back, nominal_t, sym)
        print("%-20s %2d points  max thickness %7.4f %%  max camber %7.4f %%"
              % (name, len(back), tmax, cmax))

    write_coordinates()

    # The mean lines themselves, on a fine grid rather than table stations.
    ok, xpk, ypk = single_hump(lambda x: a_series_camber(x, 0.8, 0.2))
    check(ok, "a=0.8 mean line does not have a single maximum")
    check(abs(a_series_camber(0.0, 0.8, 0.2)) < 1e-12
          and abs(a_series_camber(1.0, 0.8, 0.2)) < 1e-12,
          "a=0.8 mean line not zero at the ends")
    print("a=0.8 mean line, cli=0.2: peak %.6f at x/c = %.4f" % (ypk, xpk))
    for m in (0.02, 0.04):
        ok, xpk, ypk = single_hump(lambda x: four_digit_camber(x, m, 0.4))
        check(ok and abs(xpk - 0.4) < 1e-9 and abs(ypk - m) < 1e-12,
              "four-digit mean line m=%g peak wrong" % m)

    if failures:
        print("%d check(s) failed" % len(failures), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

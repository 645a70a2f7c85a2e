"""The Python module against the C++ API, to the last bit, on the bundled sections."""
import math
import os
import pathlib
import subprocess
import sys

import numpy as np
import pytest
import tarvelo

EXAMPLES = pathlib.Path(os.environ["TARVELO_EXAMPLES_DIR"])
SECTIONS = ["naca2412.dat", "naca16-206-a08.dat", "naca0012.dat", "naca4412-40pt.dat"]
STATIONS = [0.0, 1e-9, 0.001, 0.3, 0.5, 1.0]


def api(section, count, foi, placement="window"):
    """What the C++ API gives, as {name: [floats]}."""
    coordinates = ["--coordinates"] if section.startswith("coordinates/") else []
    exact = ["--exact"] if placement == "exact" else []
    out = subprocess.run(
        [os.environ["TARVELO_API_DUMP"]] + coordinates + exact
        + [str(EXAMPLES / section), str(count), str(foi)] + [repr(x) for x in STATIONS],
        check=True, capture_output=True, text=True).stdout
    return {line.split()[0]: [float.fromhex(v) for v in line.split()[1:]]
            for line in out.splitlines()}


def same(values, want):
    """Equal to the last bit, as the same sequence of doubles."""
    return [float(v).hex() for v in np.ravel(values)] == [w.hex() for w in want]


@pytest.mark.parametrize("section", SECTIONS + ["coordinates/naca4412.dat"])
# Beyond the window's 20; at 23 the window's placement dips the 16-206's nose below 0.
@pytest.mark.parametrize("count", [4, 8, 20, 22])
@pytest.mark.parametrize("placement", ["window", "exact"])
def test_the_fit_equals_the_cpp_api_to_the_last_bit(section, count, placement, tmp_path):
    want = api(section, count, tmp_path / "c.FOI", placement)
    read = tarvelo.import_coordinates if section.startswith("coordinates/") else tarvelo.read_section
    fit = tarvelo.fit_section(read(EXAMPLES / section), count, placement=placement)
    assert fit.placement == placement
    assert same(fit.knots, want["knots"])
    assert same(fit.control_x, want["control_x"])
    assert same(fit.x, want["x"])
    assert same([fit.misplaced_points, fit.largest_misplacement], want["misplacement"])
    for name in ("thickness", "camber"):
        curve = getattr(fit, name)
        assert same([curve.ymax, curve.rms, curve.max_deviation, curve.max_deviation_x],
                    want[name + ".scalars"])
        for field in ("control", "fitted", "difference"):
            assert isinstance(getattr(curve, field), np.ndarray)
            assert same(getattr(curve, field), want[name + "." + field]), field
    tarvelo.write_foil_file(tmp_path / "py.FOI", fit)
    assert (tmp_path / "py.FOI").read_bytes() == (tmp_path / "c.FOI").read_bytes()
    foil = tarvelo.read_foil_file(tmp_path / "py.FOI")
    thickness, camber = foil.evaluate(np.array(STATIONS).reshape(2, 3))
    assert thickness.shape == camber.shape == (2, 3)
    assert same(np.stack([thickness.ravel(), camber.ravel()], axis=1), want["evaluate"])
    assert foil.evaluate(0.3) == (thickness[1, 0], camber[1, 0])


def test_failures_raise_tarvelo_error_with_the_librarys_message(tmp_path):
    assert issubclass(tarvelo.Error, Exception)
    missing = tmp_path / "missing.dat"
    with pytest.raises(tarvelo.Error, match=r"^.*missing\.dat: input file not found$") as e:
        tarvelo.read_section(missing)
    assert e.value.kind == "not_found"
    section = tarvelo.read_section(EXAMPLES / "naca0012.dat")
    with pytest.raises(tarvelo.Error, match="^4 to 80 control points are allowed, not 81$") as e:
        tarvelo.fit_section(section, 81)
    assert e.value.kind == "usage"
    with pytest.raises(tarvelo.Error, match="is not a chord position from 0 to 1") as e:
        tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI").evaluate([0.5, 1.5])
    assert e.value.kind == "usage"
    (tmp_path / "bad.FOI").write_bytes(b"bad\r\n 4  4 \r\n x\r\n")
    with pytest.raises(tarvelo.Error, match="invalid number in line 3") as e:
        tarvelo.read_foil_file(tmp_path / "bad.FOI")
    assert e.value.kind == "bad_data"
    with pytest.raises(tarvelo.Error, match="output file could not be written: no such folder") as e:
        tarvelo.write_foil_file(tmp_path / "no" / "such.FOI", tarvelo.fit_section(section, 8))
    assert e.value.kind == "not_written"


def test_threads_fit_read_and_write_at_once_as_one_thread_does(tmp_path):
    """The module lets go of the interpreter while the library works: eight
    threads give, bit for bit, what one thread gives."""
    from concurrent.futures import ThreadPoolExecutor
    jobs = [(name, count) for name in SECTIONS for count in (4, 8, 12, 20)]

    def work(job):
        name, count = job
        fit = tarvelo.fit_section(tarvelo.read_section(EXAMPLES / name), count)
        foi = tmp_path / f"{pathlib.Path(name).stem}-{count}.FOI"
        tarvelo.write_foil_file(foi, fit)
        foil = tarvelo.read_foil_file(foi)
        return ([float(v).hex() for v in np.concatenate([fit.thickness.control, fit.camber.control])],
                foi.read_bytes(), tarvelo.export(foil, "dxf", 0.1, 0.02 if foil.has_camber else 0.0))

    serial = [work(job) for job in jobs]
    with ThreadPoolExecutor(max_workers=8) as pool:
        assert list(pool.map(work, jobs)) == serial


def test_a_sections_fields_are_the_files_columns_as_fractions():
    path = EXAMPLES / "naca2412.dat"
    lines = path.read_bytes().decode("latin-1").split("\r\n")
    rows = [[float(v) for v in line.split(",")] for line in lines[2:2 + int(lines[1])]]
    section = tarvelo.read_section(path)
    assert section.id_line == lines[0]
    assert section.points == len(rows) == 26
    for field, want in [("x", [r[0] / 100 for r in rows]),
                        ("thickness", [(r[1] + r[2]) / 100 for r in rows]),
                        ("camber", [r[3] / 100 for r in rows])]:
        assert isinstance(getattr(section, field), np.ndarray)
        assert same(getattr(section, field), want), field


def test_sections_made_in_python_and_the_count_for_a_tolerance():
    x = np.linspace(0, 1, 21) ** 2
    section = tarvelo.Section("made", x, 0.12 * np.sqrt(x) * (1 - x), 0.02 * x * (1 - x))
    # The fewest count within the tolerance, else the one with the smallest error.
    for tolerance, measure, want in [(1e-4, "rms", (5, True)), (3e-6, "rms", (9, True)),
                                     (3e-6, "max_deviation", (7, False))]:
        count, reached, fit = tarvelo.fewest_control_points(section, tolerance, measure)
        assert (count, reached) == want and fit.control_points == count, (tolerance, measure)
        errors = {n: max(getattr(f.thickness, measure), getattr(f.camber, measure))
                  for n in range(4, 21) for f in [tarvelo.fit_section(section, n)]}
        within = [n for n, e in errors.items() if e <= tolerance]
        assert count == (within[0] if within else min(errors, key=errors.get)), (tolerance, measure)


def test_an_id_line_is_utf8_where_it_is_utf8_else_latin1(tmp_path):
    data = (EXAMPLES / "naca0012.dat").read_bytes()
    for id_line, text in [(b"caf\xc3\xa9", "caf\u00e9"), (b"caf\xe9 \xbd", "caf\u00e9 \u00bd")]:
        path = tmp_path / "s.dat"
        path.write_bytes(id_line + data[data.index(b"\r\n"):])
        assert tarvelo.read_section(path).id_line == text


def test_the_readme_example_draws_a_plot(tmp_path):
    script = pathlib.Path(os.environ["TARVELO_SOURCE_DIR"]) / "examples/python/plot_fit.py"
    readme = (pathlib.Path(os.environ["TARVELO_SOURCE_DIR"]) / "README.md").read_text()
    assert script.read_text() in readme
    png = tmp_path / "fit.png"
    subprocess.run(["/usr/bin/python3", str(script), str(EXAMPLES / "naca2412.dat"), str(png)],
                   check=True)
    import matplotlib.image
    image = matplotlib.image.imread(png)
    assert image.shape[0] > 300 and image.shape[1] > 500
    assert len(np.unique(image.reshape(-1, image.shape[2]), axis=0)) > 10  # not blank


def test_exports_are_the_bytes_of_tarvelo_export(tmp_path):
    """The module's exports against the program's, byte for byte."""
    foi = EXAMPLES / "naca2412.FOI"
    foil = tarvelo.read_foil_file(foi)

    def program(*args):
        return subprocess.run([os.environ["TARVELO_EXPORT_PROGRAM"], *args, str(foi)],
                              check=True, capture_output=True).stdout

    size = ["--thickness", "0.12", "--camber", "0.02"]
    assert tarvelo.export_table(foil, tarvelo.cosine_stations(41)) == program()
    assert tarvelo.export_selig(foil, 0.12, 0.02) == program("--format", "selig", *size)
    assert tarvelo.export_dxf(foil, 0.12, 0.02) == program("--format", "dxf", *size)
    assert tarvelo.export_svg(foil, 0.12, 0.02) == program("--format", "svg", *size)
    # The library's table of formats, as the program lists it.
    formats = tarvelo.export_formats()
    listed = program("--list-formats").decode().splitlines()
    assert [f"{f['name']}\t{f['description']}" for f in formats] == listed
    for f in formats:
        sized = size if f["needs_size"] else []
        assert tarvelo.export(foil, f["name"], 0.12 if sized else 0.0, 0.02 if sized else 0.0) == \
            program("--format", f["name"], *sized)
    assert tarvelo.export(foil, "table", points=5) == program("--points", "5")
    assert tarvelo.export(foil, "table", stations=[0.25, 1.0]) == program("--at", "0.25,1") == \
        tarvelo.export_table(foil, np.array([0.25, 1.0]))
    for empty in (lambda: tarvelo.export(foil, "table", stations=[]), lambda: tarvelo.export_table(foil, [])):
        with pytest.raises(tarvelo.UsageError, match="^stations must hold at least one chord position$"):
            empty()
    with pytest.raises(tarvelo.Error, match="unknown export format 'pdf'") as e:
        tarvelo.export(foil, "pdf")
    assert e.value.kind == "usage"
    outline = tarvelo.section_outline(foil, 0.12, 0.02)
    assert same(outline.upper, 0.02 * foil.camber + 0.06 * foil.thickness)
    with pytest.raises(tarvelo.Error):
        tarvelo.section_outline(foil, 0.0, 0.02)


def naca0012_outline(points=31):
    """A NACA 0012 outline in Selig order, as an array of shape (n, 2)."""
    x = (1 - np.cos(np.linspace(0, np.pi, points))) / 2
    half = 0.6 * (0.2969 * np.sqrt(x) - 0.1260 * x - 0.3516 * x**2 + 0.2843 * x**3 - 0.1015 * x**4)
    return np.concatenate([np.stack([x[::-1], half[::-1]], axis=1), np.stack([x[1:], -half[1:]], axis=1)])


def test_an_outline_from_a_file_or_an_array_imports_as_one_section(tmp_path):
    outline = naca0012_outline()
    path = tmp_path / "naca0012.dat"
    path.write_text("NACA 0012\n" + "".join("%r %r\n" % (x, y) for x, y in outline))
    turned = outline @ np.array([[np.cos(0.1), np.sin(0.1)], [-np.sin(0.1), np.cos(0.1)]]) * 2
    for imported in (tarvelo.import_outline(path), tarvelo.import_outline(outline, name="NACA 0012")):
        section = imported.section
        assert section.id_line == "NACA 0012"
        assert (imported.frame, imported.scale, imported.angle_deg, imported.shift) == ("kept", 1.0, 0.0, (0.0, 0.0))
        assert imported.warnings == []
        assert section.points == 41 and section.x[0] == 0 and section.x[-1] == 1
        assert same(section.x, tarvelo.import_coordinates(path).x)
        assert np.all(section.camber == 0) and section.thickness[20] == pytest.approx(0.10588, abs=1e-5)
        assert np.array_equal(imported.upper, outline[30::-1]) and np.array_equal(imported.lower, outline[30:])
    moved = tarvelo.import_outline(turned + [3, 4], name="turned", stations=9)
    assert moved.frame == "normalised" and moved.section.id_line == "turned [scaled 0.5, turned 5.73 deg]"
    assert moved.scale == pytest.approx(0.5) and moved.angle_deg == pytest.approx(np.degrees(0.1), abs=1e-3)
    assert moved.section.x.shape == moved.section.thickness.shape == moved.section.camber.shape == (9,)
    with pytest.raises(tarvelo.Error, match=r"^bad: point 2 is not a finite number$"):
        tarvelo.import_outline(np.array([[1.0, 0.0], [np.nan, 0.0]] + [[0.0, 0.0]] * 9), name="bad")
    with pytest.raises(ValueError, match="shape"):
        tarvelo.import_outline(np.zeros((4, 3)))
    with pytest.raises(TypeError):
        tarvelo.import_outline([["0", "1"]] * 11)
    # A lower surface three points short is continued, and import_coordinates says so.
    repaired = tarvelo.import_outline(outline[:-3], name="short")
    assert len(repaired.warnings) == 1 and repaired.warnings[0].startswith("The lower surface ends ")
    with pytest.warns(UserWarning) as said:
        short = tarvelo.import_coordinates(outline[:-3], name="short")
    assert [str(w.message) for w in said] == repaired.warnings
    assert same(short.thickness, repaired.section.thickness)


def test_a_section_made_in_python_is_checked_as_it_is_made():
    """Arrays that no data file could hold are refused at once, with the
    reason; wrong types are TypeErrors, strings included."""
    x = np.linspace(0, 1, 11)
    good = tarvelo.Section("made", x, 0.1 * np.sqrt(x) * (1 - x), 0.0 * x)
    assert same(good.x, list(x)) and same(good.camber, [0.0] * 11)
    for args, message in [
        (("pct", 100 * x, x, x), r"^x must lie from 0 to 1, a fraction of the chord \(not percent\) at point 2$"),
        (("back", x[::-1], x, x), r"^x must never decrease at point 2$"),
        (("short", x, x[:-1], x), r"^x, thickness and camber of the section differ in length \(11, 10, 11\)$"),
        (("nan", x, np.where(x > 0.5, np.nan, x), x), r"^the section has a value that is not finite at point 7$"),
        (("two\nlines", x, x, x), r"^the ID line holds a line end \(CR or LF\)$"),
    ]:
        with pytest.raises(ValueError, match=message) as e:
            tarvelo.Section(*args)
        assert isinstance(e.value, tarvelo.Error) and e.value.kind == "usage"
    for bad in (("made", "0.5", x, x), ("made", ["a"] * 11, x, x), (5, x, x, x)):
        with pytest.raises(TypeError):
            tarvelo.Section(*bad)


def test_counts_are_limited_and_types_checked_before_any_work():
    foil = tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI")
    section = tarvelo.read_section(EXAMPLES / "naca2412.dat")
    for call, message in [
        (lambda: tarvelo.cosine_stations(2**31 - 1), "at most 100000 stations are allowed"),
        (lambda: tarvelo.cosine_stations(1), "at least 2 stations are needed"),
        (lambda: tarvelo.fit_section(section, 81), "4 to 80 control points are allowed"),
        (lambda: tarvelo.fit_section(section, 8, placement="best"), "unknown placement 'best'"),
        (lambda: tarvelo.import_coordinates(EXAMPLES / "coordinates/naca4412.dat", stations=402),
         "5 to 401 stations are allowed"),
        (lambda: tarvelo.export(foil, "selig", 0.1, 0.02, points=100001), "2 to 100000 points are allowed"),
        (lambda: tarvelo.export(foil, "dxf", 0.1, 0.02, units="ft"), "unknown unit 'ft'"),
    ]:
        with pytest.raises(ValueError, match=message):
            call()
    for call in (lambda: foil.evaluate("0.5"), lambda: foil.evaluate(["0.5"]), lambda: foil.evaluate(None),
                 lambda: tarvelo.fit_section(section, "8"), lambda: tarvelo.fit_section("naca2412.dat")):
        with pytest.raises(TypeError):
            call()


def test_a_fit_in_memory_is_a_foil_spline_that_knows_its_size(tmp_path):
    section = tarvelo.read_section(EXAMPLES / "naca2412.dat")
    fit = tarvelo.fit_section(section, 8)
    foil = fit.foil_spline()
    tarvelo.write_foil_file(tmp_path / "a.FOI", fit)
    read = tarvelo.read_foil_file(tmp_path / "a.FOI")
    assert foil.own_size == (fit.thickness.ymax, 1.0 if fit.camber.ymax <= 0 else fit.camber.ymax)
    assert read.own_size is None
    assert same(foil.control_x, list(fit.control_x)) and same(foil.thickness, list(fit.thickness.control))
    x = np.array([0.1, 0.3, 0.7])
    t, c = foil.evaluate(x)
    ts, cs = foil.evaluate(x, scaled=True)
    assert same(ts, list(fit.thickness.ymax * t)) and same(cs, list(fit.camber.ymax * c))
    # A float gives floats, the array's values.
    assert foil.evaluate(0.3) == (t[1], c[1]) and foil.evaluate(0.3, scaled=True) == (ts[1], cs[1])
    # The file rounds to five decimals: its section at the same size is within that.
    tr, cr = read.evaluate(x, scaled=True, thickness=fit.thickness.ymax, camber=fit.camber.ymax)
    assert np.max(np.abs(tr - ts)) < 1e-5 and np.max(np.abs(cr - cs)) < 1e-5
    with pytest.raises(ValueError, match="knows no size of its own"):
        read.evaluate(0.5, scaled=True)
    with pytest.raises(ValueError, match="thickness and camber are for scaled=True"):
        foil.evaluate(0.5, thickness=0.1)
    assert repr(section) == "<tarvelo.Section 'NACA 2412, standard thickness and camber, 26 stations', 26 points>"
    assert repr(fit).startswith("<tarvelo.Fit 'NACA 2412, standard thickness and camber, 26 stations', "
                                "8 control points, window placement, rms thickness ")
    assert repr(fit.thickness).startswith("<tarvelo.CurveFit ymax 0.12, rms ")
    assert repr(read) == "<tarvelo.FoilSpline 'NACA 2412, standard thickness and camber, 26 stations', 8 control points>"
    assert repr(foil).endswith(", 8 control points, own size t/c 0.12 f/c 0.02>")


def test_the_table_export_takes_no_size_and_a_chord_is_a_positive_normal_number():
    foil = tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI")
    table = tarvelo.export(foil, "table")
    assert tarvelo.export(foil, "table", 0.0, -0.0) == table  # 0, the default, is none
    normalised = "^the table export is normalised: it takes no thickness or camber$"
    chord = r"^the chord length must be from 2\.2250738585072014e-308 to 1e6, not "
    smallest = sys.float_info.min
    for kwargs, refusal in [
        ({"thickness": 0.12}, normalised), ({"camber": -0.02}, normalised), ({"thickness": np.nan}, normalised),
        ({"format": "dxf", "chord": smallest}, None), ({"format": "dxf", "chord": 1e6}, None),
        ({"format": "dxf", "chord": math.nextafter(smallest, 0)}, chord + r"2\.225073858507201e-308$"),
        ({"format": "svg", "chord": 1e-320}, chord + "1e-320$"),
        ({"format": "selig", "chord": math.nextafter(1e6, 2e6)}, chord + r"1000000\.0000000001$"),
        ({"format": "properties", "chord": -1.0}, chord + "-1$"),
        ({"format": "dxf", "chord": np.nan}, chord + "nan$"),
    ]:
        args = {"format": "table", **kwargs}
        if args["format"] != "table":
            args.update(thickness=0.12, camber=0.02)
        if refusal is None:
            assert tarvelo.export(foil, **args).count(b"\n") > 100, kwargs
            continue
        with pytest.raises(tarvelo.UsageError, match=refusal) as e:
            tarvelo.export(foil, **args)
        assert e.value.kind == "usage"


def test_a_masked_array_is_taken_only_without_masked_values():
    foil = tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI")
    x = np.linspace(0, 1, 11)
    thickness, camber = 0.1 * np.sqrt(x) * (1 - x), 0.02 * x * (1 - x)
    outline = naca0012_outline()
    calls = {
        "x": lambda v: tarvelo.Section("m", v, thickness, camber),
        "thickness": lambda v: tarvelo.Section("m", x, v, camber),
        "camber": lambda v: tarvelo.Section("m", x, thickness, v),
        "stations": lambda v: tarvelo.export(foil, "table", stations=v),
    }
    plain = {"x": x, "thickness": thickness, "camber": camber, "stations": x}
    for name, call in calls.items():
        unmasked = call(np.ma.masked_array(plain[name], mask=np.zeros(11, bool)))
        same_result = call(plain[name])
        assert (unmasked == same_result) if isinstance(unmasked, bytes) else \
            same(getattr(unmasked, name), list(getattr(same_result, name))), name
        with pytest.raises(tarvelo.UsageError, match=f"^{name} has masked values: fill them "
                                                     r"\(numpy\.ma\.filled\) or leave them out$"):
            call(np.ma.masked_array(plain[name], mask=x == 0.5))
    t, c = foil.evaluate(np.ma.masked_array([0.3, 0.5]))
    assert same(t, list(foil.evaluate([0.3, 0.5])[0]))
    for masked in (np.ma.masked_array([0.3, 2.0], mask=[False, True]), np.ma.masked):
        with pytest.raises(tarvelo.UsageError, match="^x has masked values"):
            foil.evaluate(masked)
    imported = tarvelo.import_outline(np.ma.masked_array(outline), name="n")
    assert same(imported.section.thickness, list(tarvelo.import_outline(outline, name="n").section.thickness))
    with pytest.raises(tarvelo.UsageError, match="^an outline that is not a path has masked values"):
        tarvelo.import_outline(np.ma.masked_invalid(np.where(outline > 0.9, np.nan, outline)), name="n")


def test_a_section_without_camber_takes_none_and_is_named_so():
    foil = tarvelo.fit_section(tarvelo.read_section(EXAMPLES / "naca0012.dat"), 8).foil_spline()
    assert not foil.has_camber and tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI").has_camber
    for camber in (0.05, -1.0):
        with pytest.raises(tarvelo.UsageError, match=r"^the section has no camber \(its stored camber is 0 "
                           r"everywhere\): a largest camber of -?[0-9.]+ cannot be given it, only 0$"):
            tarvelo.export(foil, "selig", 0.12, camber)
    name = tarvelo.export(foil, "selig", 0.12, 0.0).split(b"\n")[0]
    assert name.startswith(foil.id_line.encode() + b" t/c=0.120") and name.endswith(b" symmetric")
    assert b"f/c" not in name

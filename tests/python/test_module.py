"""The Python module against the C++ API, to the last bit, on the bundled sections."""
import os
import pathlib
import subprocess

import numpy as np
import pytest
import tarvelo

EXAMPLES = pathlib.Path(os.environ["TARVELO_EXAMPLES_DIR"])
SECTIONS = ["naca2412.dat", "naca16-206-a08.dat", "naca0012.dat", "naca4412-40pt.dat"]
STATIONS = [0.0, 1e-9, 0.001, 0.3, 0.5, 1.0]


def api(section, count, foi):
    """What the C++ API gives, as {name: [floats]}."""
    coordinates = ["--coordinates"] if section.startswith("coordinates/") else []
    out = subprocess.run(
        [os.environ["TARVELO_API_DUMP"]] + coordinates
        + [str(EXAMPLES / section), str(count), str(foi)] + [repr(x) for x in STATIONS],
        check=True, capture_output=True, text=True).stdout
    return {line.split()[0]: [float.fromhex(v) for v in line.split()[1:]]
            for line in out.splitlines()}


def same(values, want):
    """Equal to the last bit, as the same sequence of doubles."""
    return [float(v).hex() for v in np.ravel(values)] == [w.hex() for w in want]


@pytest.mark.parametrize("section", SECTIONS + ["coordinates/naca4412.dat"])
@pytest.mark.parametrize("count", [4, 8, 20])
def test_the_fit_equals_the_cpp_api_to_the_last_bit(section, count, tmp_path):
    want = api(section, count, tmp_path / "c.FOI")
    read = tarvelo.import_coordinates if section.startswith("coordinates/") else tarvelo.read_section
    fit = tarvelo.fit_section(read(EXAMPLES / section), count)
    assert same(fit.knots, want["knots"])
    assert same(fit.control_x, want["control_x"])
    assert same(fit.x, want["x"])
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
    with pytest.raises(tarvelo.Error, match=r"^.*missing\.dat - Input file not found !! $"):
        tarvelo.read_section(missing)
    section = tarvelo.read_section(EXAMPLES / "naca0012.dat")
    with pytest.raises(tarvelo.Error, match="^4 to 20 control points are allowed !! $"):
        tarvelo.fit_section(section, 21)
    with pytest.raises(tarvelo.Error, match="is not a chord position from 0 to 1"):
        tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI").evaluate([0.5, 1.5])


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


def test_an_id_line_with_a_line_end_is_refused(tmp_path):
    x = np.linspace(0, 1, 21) ** 2
    fit = tarvelo.fit_section(tarvelo.Section("ok", x, 0.1 * np.sqrt(x) * (1 - x), 0 * x), 4)
    tarvelo.write_foil_file(tmp_path / "s.FOI", fit)
    earlier = (tmp_path / "s.FOI").read_bytes()
    for name in ["two\nlines", "name\r\n 4  4 "]:
        section = tarvelo.Section(name, x, 0.1 * np.sqrt(x) * (1 - x), 0 * x)
        with pytest.raises(tarvelo.Error, match=r"^The ID line holds a line end \(CR or LF\) !! $"):
            tarvelo.section_file_text(section)
        with pytest.raises(tarvelo.Error, match=r"^The ID line holds a line end \(CR or LF\) !! $"):
            tarvelo.write_foil_file(tmp_path / "s.FOI", tarvelo.fit_section(section, 4))
    assert (tmp_path / "s.FOI").read_bytes() == earlier


def test_sections_made_in_python_and_the_count_for_a_tolerance():
    x = np.linspace(0, 1, 21) ** 2
    section = tarvelo.Section("made", x, 0.12 * np.sqrt(x) * (1 - x), 0.02 * x * (1 - x))
    count, reached, fit = tarvelo.fewest_control_points(section, 1e-4)
    assert reached and fit.control_points == count
    assert max(fit.thickness.rms, fit.camber.rms) <= 1e-4
    assert count == 4 or max(tarvelo.fit_section(section, count - 1).thickness.rms,
                             tarvelo.fit_section(section, count - 1).camber.rms) > 1e-4


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
    outline = tarvelo.section_outline(foil, 0.12, 0.02)
    assert same(outline.upper, 0.02 * foil.camber + 0.06 * foil.thickness)
    with pytest.raises(tarvelo.Error):
        tarvelo.section_outline(foil, 0.0, 0.02)

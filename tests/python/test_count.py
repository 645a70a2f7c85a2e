"""The count for a tolerance as tarvelo-fit chooses it, to the last bit, by
each of its measures, the outline's distance included; and the tolerances it
takes."""
import json
import math
import os
import pathlib
import subprocess
import sys

import numpy as np
import pytest
import tarvelo

SOURCE = pathlib.Path(os.environ["TARVELO_SOURCE_DIR"])
OUTLINES = ["examples/coordinates/naca4412.dat", "tests/import/data/naca0009-repeated.dat",
            "tests/import/data/naca2412-tabs-crlf.dat", "tests/import/data/naca4412-lednicer.dat"]
# Its surfaces cross behind 99 % of the chord; the fits of the counts chosen
# carry the crossing ahead of it, and no .FOI is made of them.
CROSSING = "tests/import/data/naca6409-crossing.dat"
OPTION = {"outline": "--auto-outline", "rms": "--auto", "max_deviation": "--auto-max"}


def hexes(values):
    return [float(v).hex() for v in np.ravel(values)]


def program(path, measure, tolerance, most, tmp_path):
    """tarvelo-fit's JSON of the file, and the .FOI it wrote."""
    foi = tmp_path / "program.FOI"
    run = subprocess.run(
        [os.environ["TARVELO_FIT_PROGRAM"], "--coordinates", f"{OPTION[measure]}={tolerance}", "--placement=exact",
         "--max-control-points", str(most), "--json", "-o", str(foi), str(path)],
        check=True, capture_output=True, text=True)
    return json.loads(run.stdout), foi.read_bytes()


@pytest.mark.parametrize("outline", OUTLINES, ids=[pathlib.Path(o).stem for o in OUTLINES])
@pytest.mark.parametrize("measure, tolerance, most", [("outline", "1e-4", 40), ("rms", "2e-5", 40),
                                                      ("max_deviation", "1e-4", 12)])
def test_the_count_of_an_outline_is_tarvelo_fits_to_the_last_bit(outline, measure, tolerance, most, tmp_path):
    want, foi = program(SOURCE / outline, measure, tolerance, most, tmp_path)
    # The program's count by the outline takes stations at every point of the file.
    if measure == "outline":
        imported = tarvelo.import_outline(SOURCE / outline, stations=161, at_every_point=True)
    else:
        imported = tarvelo.import_outline(SOURCE / outline)
    choice = tarvelo.fewest_control_points(imported, float(tolerance), measure=measure, placement="exact",
                                           max_control_points=most)
    fit = choice.fit
    assert (choice.control_points, choice.reached) == (want["control_points"], want["reached"])
    assert fit.control_points == choice.control_points and fit.placement == "exact"
    assert hexes(fit.knots) == hexes(want["knots"]) and hexes(fit.control_x) == hexes(want["control_x"])
    for name in ("thickness", "camber"):
        curve = getattr(fit, name)
        fields = ["ymax", "rms", "max_deviation", "max_deviation_x", "between_deviation", "between_deviation_x"]
        got = [getattr(curve, f) for f in fields] + list(curve.control)
        w = want[name]
        assert hexes(got) == hexes([w[f] for f in fields] + w["control"])
    d = choice.outline_deviation
    assert (d.deviation.hex(), d.x.hex(), d.surface) == (want["outline_deviation"].hex(),
                                                          want["outline_deviation_x"].hex(),
                                                          want["outline_deviation_surface"])
    assert (d.between.hex(), d.between_x.hex(), d.between_surface) == (want["outline_between_deviation"].hex(),
                                                                       want["outline_between_deviation_x"].hex(),
                                                                       want["outline_between_deviation_surface"])
    # The import as the program reports it, and the .FOI it writes.
    assert [imported.frame, imported.scale, imported.angle_deg, list(imported.shift), imported.warnings] == \
        [want["import"][k] for k in ("frame", "scale", "angle_deg", "shift", "warnings")]
    tarvelo.write_foil_file(tmp_path / "py.FOI", fit)
    assert (tmp_path / "py.FOI").read_bytes() == foi
    # The deviation of any fit of the outline, on its own.
    alone = tarvelo.outline_deviation(fit, imported)
    assert (alone.deviation, alone.x, alone.surface) == (d.deviation, d.x, d.surface)


# A crossing outline: where the search can choose a count the data carry,
# that fit is not inside out and both write the same .FOI; where it cannot,
# both refuse the fit they chose, with the same message.
@pytest.mark.parametrize("measure, tolerance, most, refused", [("outline", "1e-4", 40, False),
                                                               ("rms", "2e-5", 40, False),
                                                               ("max_deviation", "1e-4", 12, True)])
def test_a_fit_inside_out_is_refused_alike_by_tarvelo_fit_and_the_module(measure, tolerance, most, refused,
                                                                        tmp_path):
    foi = tmp_path / "program.FOI"
    run = subprocess.run(
        [os.environ["TARVELO_FIT_PROGRAM"], "--coordinates", f"{OPTION[measure]}={tolerance}", "--placement=exact",
         "--max-control-points", str(most), "--quiet", "-o", str(foi), str(SOURCE / CROSSING)],
        capture_output=True, text=True)
    imported = (tarvelo.import_outline(SOURCE / CROSSING, stations=161, at_every_point=True) if measure == "outline"
                else tarvelo.import_outline(SOURCE / CROSSING))
    choice = tarvelo.fewest_control_points(imported, float(tolerance), measure=measure, placement="exact",
                                           max_control_points=most)
    if not refused:
        assert run.returncode == 0, run.stderr
        tarvelo.write_foil_file(tmp_path / "py.FOI", choice.fit)
        assert (tmp_path / "py.FOI").read_bytes() == foi.read_bytes()
        return
    assert run.returncode == 1 and not foi.exists()
    said = run.stderr.strip().split("\n")[-1]
    with pytest.raises(tarvelo.Error) as refused:
        tarvelo.write_foil_file(tmp_path / "py.FOI", choice.fit)
    assert refused.value.kind == "bad_data"
    assert said == f"tarvelo-fit: {SOURCE / CROSSING}: {refused.value}"
    assert said.endswith(": its outline would be inside out there, and its .FOI refused")
    assert not (tmp_path / "py.FOI").exists()


def test_a_choice_reads_by_name_and_unpacks_as_the_earlier_triple():
    section = tarvelo.read_section(SOURCE / "examples/naca2412.dat")
    choice = tarvelo.fewest_control_points(section, 1e-4)
    count, reached, fit = choice
    assert (count, reached, fit.control_points) == (choice.control_points, choice.reached, count)
    assert len(choice) == 3 and choice[0] == count and choice[-2] is reached and tuple(choice)[:2] == (count, reached)
    assert hexes(choice[2].thickness.control) == hexes(choice.fit.thickness.control)
    assert choice.outline_deviation is None  # a section without its outline
    with pytest.raises(IndexError):
        choice[3]
    assert repr(choice) == f"<tarvelo.CountChoice {count} control points, reached>"
    imported = tarvelo.import_outline(SOURCE / "tests/import/data/naca6409-crossing.dat")
    outline = tarvelo.fewest_control_points(imported, 1e-4, measure="outline", max_control_points=6)
    assert not outline.reached
    assert repr(outline).startswith("<tarvelo.CountChoice ") and ", not reached, outline deviation " in repr(outline)
    assert repr(outline.outline_deviation).startswith("<tarvelo.OutlineDeviation ")
    # Each measure is the fewest count within the tolerance by that measure.
    imported = tarvelo.import_outline(SOURCE / "examples/coordinates/naca4412.dat")
    for measure, error in [("rms", lambda f: max(f.thickness.rms, f.camber.rms)),
                           ("max_deviation", lambda f: max(f.thickness.max_deviation, f.camber.max_deviation)),
                           ("outline", lambda f: tarvelo.outline_deviation(f, imported).deviation)]:
        chosen = tarvelo.fewest_control_points(imported, 2e-3, measure=measure)
        errors = [error(tarvelo.fit_section(imported.section, n)) for n in range(4, chosen.control_points + 1)]
        assert chosen.reached and errors[-1] <= 2e-3 and all(e > 2e-3 for e in errors[:-1]), measure


def test_measures_and_what_they_need_are_refused_by_name():
    section = tarvelo.read_section(SOURCE / "examples/naca2412.dat")
    for call, message in [
        (lambda: tarvelo.fewest_control_points(section, measure="outline"),
         "^the outline deviation needs the outline the section was imported from$"),
        (lambda: tarvelo.fewest_control_points(section, measure="max"),
         "^unknown measure 'max': use rms, max_deviation or outline$"),
        (lambda: tarvelo.fewest_control_points(section, max_control_points=81),
         "^the most control points searched must be from 4 to 80, not 81$"),
    ]:
        with pytest.raises(tarvelo.UsageError, match=message) as e:
            call()
        assert e.value.kind == "usage"
    with pytest.raises(TypeError):
        tarvelo.outline_deviation(tarvelo.fit_section(section), section)


LARGEST_SUBNORMAL = math.nextafter(sys.float_info.min, 0)


@pytest.mark.parametrize("tolerance, refused", [
    (sys.float_info.min, None), (sys.float_info.max, None),
    (LARGEST_SUBNORMAL, "2.225073858507201e-308"), (5e-324, "5e-324"), (0.0, "0"), (-0.0, "-0"), (-1.0, "-1"),
    (math.nan, "nan"), (math.inf, "inf"), (-math.inf, "-inf")])
def test_a_tolerance_is_a_positive_normal_number(tolerance, refused):
    section = tarvelo.read_section(SOURCE / "examples/naca2412.dat")
    imported = tarvelo.import_outline(SOURCE / "examples/coordinates/naca4412.dat")
    for measure, of in [("rms", section), ("max_deviation", section), ("outline", imported)]:
        if refused is None:
            choice = tarvelo.fewest_control_points(of, tolerance, measure=measure, max_control_points=5)
            assert (choice.control_points, choice.reached) == ((4, True) if tolerance > 1 else
                                                               (choice.control_points, False))
            continue
        with pytest.raises(tarvelo.UsageError, match=r"^the tolerance must be from 2\.2250738585072014e-308 to "
                                                     r"1\.7976931348623157e\+308 \(per chord\), not "
                                                     + refused.replace("+", r"\+") + "$"):
            tarvelo.fewest_control_points(of, tolerance, measure=measure)

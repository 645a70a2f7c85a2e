"""Every value the module gives pickles, and unpickles to an object whose
every field is the same to the last bit, for each protocol."""
import copy
import os
import pathlib
import pickle

import numpy as np
import pytest
import tarvelo

EXAMPLES = pathlib.Path(os.environ["TARVELO_EXAMPLES_DIR"])
SOURCE = pathlib.Path(os.environ["TARVELO_SOURCE_DIR"])

# The fields each class shows: a field added without its place in the
# pickled state would come back different, or not at all.
FIELDS = {
    "Section": ["camber", "id_line", "points", "thickness", "x"],
    "ImportTransform": ["angle_deg", "frame", "scale", "shift"],
    "ImportedSection": ["angle_deg", "frame", "le_radius", "lower", "lower_between", "nose_inflections", "scale",
                        "section", "shift", "transform", "upper", "upper_between", "warnings"],
    "CurveFit": ["between_deviation", "between_deviation_x", "control", "difference", "fitted", "max_deviation",
                 "max_deviation_x", "rms", "ymax"],
    "Fit": ["camber", "control_points", "control_x", "id_line", "knots", "largest_misplacement", "misplaced_points",
            "order", "placement", "thickness", "x"],
    "FoilSpline": ["camber", "control_x", "has_camber", "id_line", "order", "own_size", "thickness"],
    "OutlineSpline": ["knots", "lower", "upper", "x"],
    "OutlineDeviation": ["between", "between_surface", "between_x", "deviation", "surface", "x"],
    "CountChoice": ["carried", "control_points", "error", "fit", "outline_deviation", "reached"],
}


def bits(value):
    """Every field of a value, its doubles as their bits, recursively."""
    if isinstance(value, float):
        return ("float", value.hex())
    if isinstance(value, np.ndarray):
        return ("array", value.dtype.str, value.shape, value.tobytes())
    if isinstance(value, (tuple, list)):
        return (type(value).__name__, [bits(v) for v in value])
    if type(value).__module__ == "tarvelo":
        names = sorted(n for n, v in vars(type(value)).items() if isinstance(v, property))
        assert names == FIELDS[type(value).__name__], type(value).__name__
        return (type(value).__name__, {n: bits(getattr(value, n)) for n in names})
    assert value is None or isinstance(value, (str, int, bool)), type(value)
    return (type(value).__name__, value)


def values(tmp_path):
    latin1 = (EXAMPLES / "naca0012.dat").read_bytes().replace(b"NACA 0012", b"caf\xe9 \xbd", 1)
    (tmp_path / "latin1.dat").write_bytes(latin1)
    section = tarvelo.read_section(tmp_path / "latin1.dat")
    window = tarvelo.fit_section(tarvelo.read_section(EXAMPLES / "naca4412-40pt.dat"), 20)
    assert window.misplaced_points > 0  # every field holds something
    x = (1 - np.cos(np.linspace(0, np.pi, 31))) / 2
    half = 0.6 * (0.2969 * np.sqrt(x) - 0.1260 * x - 0.3516 * x**2 + 0.2843 * x**3 - 0.1015 * x**4)
    outline = np.concatenate([np.stack([x[::-1], half[::-1]], axis=1), np.stack([x[1:], -half[1:]], axis=1)])
    turned = outline @ np.array([[np.cos(0.1), np.sin(0.1)], [-np.sin(0.1), np.cos(0.1)]]) * 2 + [3, 4]
    crossing = tarvelo.import_outline(turned[:-3], name="turned, its lower surface short")
    assert crossing.frame == "normalised" and crossing.warnings
    choice = tarvelo.fewest_control_points(crossing, 1e-3, measure="outline", max_control_points=8)
    foil = choice.fit.foil_spline()
    x = np.linspace(0, 1, 9)
    return {
        "a section read with an 8-bit ID line": section,
        "a section made in Python": tarvelo.Section("made", x**2, 0.1 * x * (1 - x), -0.01 * x),
        "an imported section, normalised and repaired": crossing,
        "its transform": crossing.transform,
        "a kept transform": tarvelo.import_outline(EXAMPLES / "coordinates/naca4412.dat").transform,
        "a fit of the 8-bit ID line": tarvelo.fit_section(section, 8, placement="exact"),
        "a fit with misplaced points": window,
        "a curve fit": window.camber,
        "a foil spline of a fit": foil,
        "a foil spline read from a file": tarvelo.read_foil_file(EXAMPLES / "naca2412.FOI"),
        "an outline": tarvelo.section_outline(foil, 0.09, 0.06, te_thickness=0.002),
        "an outline deviation": choice.outline_deviation,
        "a count choice with its outline": choice,
        "a count choice without": tarvelo.fewest_control_points(section, 1e-5),
    }


@pytest.mark.parametrize("protocol", range(pickle.HIGHEST_PROTOCOL + 1))
def test_every_value_comes_back_the_same_to_the_last_bit(protocol, tmp_path):
    for name, value in values(tmp_path).items():
        back = pickle.loads(pickle.dumps(value, protocol=protocol))
        assert type(back) is type(value) and back is not value, name
        assert bits(back) == bits(value), name
    assert {type(v).__name__ for v in values(tmp_path).values()} == set(FIELDS)


def test_what_is_unpickled_writes_the_same_files(tmp_path):
    """The 8-bit ID line comes back as its bytes, not as the text shown."""
    given = values(tmp_path)
    fit = given["a fit of the 8-bit ID line"]
    back = copy.deepcopy(fit)
    tarvelo.write_foil_file(tmp_path / "a.FOI", fit)
    tarvelo.write_foil_file(tmp_path / "b.FOI", back)
    assert (tmp_path / "a.FOI").read_bytes() == (tmp_path / "b.FOI").read_bytes()
    assert b"caf\xe9 \xbd" in (tmp_path / "a.FOI").read_bytes()
    section = given["a section read with an 8-bit ID line"]
    assert tarvelo.section_file_text(pickle.loads(pickle.dumps(section))) == tarvelo.section_file_text(section)
    foil = given["a foil spline of a fit"]
    assert tarvelo.export(pickle.loads(pickle.dumps(foil)), "dxf", 0.1, 0.02) == tarvelo.export(foil, "dxf", 0.1, 0.02)
    assert str(pickle.loads(pickle.dumps(given["its transform"]))).startswith("frame normalised: scale ")


@pytest.mark.parametrize("cls, state", [
    (tarvelo.Fit, (b"id", 8)), (tarvelo.CurveFit, ()), (tarvelo.Section, (b"id", [0.0], [0.0], [0.0], [0.0])),
    (tarvelo.ImportTransform, ("turned", 1.0, 0.0, 0.0, 0.0)), (tarvelo.CountChoice, (4, True, None, None)),
    (tarvelo.FoilSpline, (b"id", 4, [0.0], [0.0], [0.0], (0.1,))), (tarvelo.OutlineDeviation, (0.1, 0.5)),
])
def test_a_state_that_no_pickle_gave_is_refused(cls, state):
    blank = cls.__new__(cls)
    with pytest.raises((ValueError, TypeError)):
        blank.__setstate__(state)
    with pytest.raises(TypeError):
        blank.__setstate__(list(state))

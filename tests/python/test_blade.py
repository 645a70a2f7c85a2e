"""tarvelo.make_blade: the table as arrays, the report of tarvelo-blade --json
and the same files."""
import json
import os
import pathlib
import subprocess
import threading

import numpy as np
import pytest
import tarvelo

EXAMPLES = pathlib.Path(os.environ["TARVELO_EXAMPLES_DIR"])
PROGRAM = os.environ["TARVELO_BLADE_PROGRAM"]
TABLE = EXAMPLES / "blade" / "propeller.txt"
FOIL = EXAMPLES / "blade" / "section.FOI"


def columns():
    t = tarvelo.read_blade_table(TABLE)
    return t, [t[k] for k in ("r", "chord", "pitch", "thickness", "camber", "skew", "rake")]


def test_the_table_reads_as_arrays():
    t, cols = columns()
    assert t["diameter"] == 304.8 and t["units"] == "mm" and t["blades"] == 3
    assert list(t["r"]) == [0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 1.0]
    assert t["skew"][-1] == 26.0 and t["rake"][-1] == 0.024


def test_the_report_and_the_files_are_the_programs(tmp_path):
    t, cols = columns()
    report = tarvelo.make_blade(*cols, foil=tarvelo.read_foil_file(FOIL), diameter=304.8, blades=3,
                                export=["step", "csv", "svg"], output_dir=tmp_path, stem="propeller")
    program_dir = tmp_path / "program"
    program_dir.mkdir()
    out = subprocess.run([PROGRAM, "--section", str(FOIL), "--export", "step,csv,svg", "--json",
                          "--output-dir", str(program_dir), str(TABLE)],
                         check=True, capture_output=True, text=True).stdout
    want = json.loads(out)
    for key in ("diameter", "units", "blades", "volume", "expanded_area_ratio", "projected_area_ratio",
                "tolerance", "max_deviation", "max_deviation_r", "max_deviation_x", "max_deviation_side",
                "sections"):
        assert report[key] == want[key], key
    assert [pathlib.Path(o["file"]).name for o in report["outputs"]] == \
        ["propeller.step", "propeller-sections.csv", "propeller.svg"]
    assert [len(o.get("solids", [])) for o in report["outputs"]] == [3, 0, 0]
    assert all(s["valid"] and s["closed"] for s in report["outputs"][0]["solids"])
    for name in ("propeller-sections.csv", "propeller.svg"):
        assert (tmp_path / name).read_bytes() == (program_dir / name).read_bytes()
    assert (tmp_path / "propeller.step").stat().st_size > 0


@pytest.mark.parametrize("change, kind, message", [
    (dict(blades=0), "usage", "the number of blades is given neither by the table nor by the options"),
    (dict(tolerance=2e-3), "usage", "the tolerance must be from 1e-9 to 1e-3 of the diameter"),
    (dict(units="ft"), "usage", "unknown unit 'ft': use mm, cm, m or in"),
    (dict(export=["dxf"]), "usage", "unknown blade format 'dxf': use step, iges, stl, csv or svg"),
])
def test_refusals_name_their_cause_and_write_nothing(change, kind, message, tmp_path):
    t, cols = columns()
    args = dict(foil=tarvelo.read_foil_file(FOIL), diameter=304.8, blades=3, export=["csv"],
                output_dir=tmp_path)
    args.update(change)
    with pytest.raises(tarvelo.Error) as raised:
        tarvelo.make_blade(*cols, **args)
    assert raised.value.kind == kind and str(raised.value) == message
    assert isinstance(raised.value, ValueError)
    assert list(tmp_path.iterdir()) == []


def test_a_column_of_another_length_or_of_text_is_refused():
    t, cols = columns()
    foil = tarvelo.read_foil_file(FOIL)
    with pytest.raises(tarvelo.UsageError, match="^pitch has 9 values where r has 10$"):
        tarvelo.make_blade(cols[0], cols[1], cols[2][:-1], *cols[3:], foil=foil, diameter=1, blades=1)
    with pytest.raises(TypeError):
        tarvelo.make_blade(cols[0], "0.3", *cols[2:], foil=foil, diameter=1, blades=1)


def test_a_table_refused_names_the_row_and_column(tmp_path):
    t, cols = columns()
    chord = np.array(cols[1])
    chord[3] = 0
    with pytest.raises(tarvelo.Error) as raised:
        tarvelo.make_blade(cols[0], chord, *cols[2:], foil=tarvelo.read_foil_file(FOIL), diameter=1, blades=1,
                           export=["csv"], output_dir=tmp_path)
    assert raised.value.kind == "bad_data"
    assert str(raised.value) == "the table: row 4, column c/D: the chord must be above 0 before the last row"
    assert list(tmp_path.iterdir()) == []


def test_threads_make_blades_at_once():
    t, cols = columns()
    foil = tarvelo.read_foil_file(FOIL)
    results = [None] * 4

    def make(i):
        results[i] = tarvelo.make_blade(*cols, foil=foil, diameter=304.8, blades=3, tolerance=1e-5)

    threads = [threading.Thread(target=make, args=(i,)) for i in range(4)]
    for th in threads:
        th.start()
    for th in threads:
        th.join()
    assert all(r == results[0] for r in results)

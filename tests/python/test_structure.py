"""triex.structure against an independent computation: the structures of a
Debian package (pymol-data) read as plain PDB text, their mass-weighted
inertia tensor diagonalised by NumPy; and the command line's columns are
the Python keys, with the same numbers."""

import csv
import io
import os
import subprocess

import numpy as np
import pytest

import triex

gemmi = pytest.importorskip("gemmi")  # its table of atomic masses; the parsing here is our own

DATA = "/usr/share/pymol"
# Interleukin-2 (hydrogens included), the heat-labile enterotoxin type IIb
# (seven chains, waters left out), a racemic designed peptide (alternate
# locations, acetyl caps).
FILES = [f"{DATA}/data/demo/il2.pdb", f"{DATA}/data/demo/1tii.pdb", f"{DATA}/test/dat/3al1.pdb"]


def numpy_ellipsoid(path):
    """Atoms of the first model's polymers, the most occupied of each
    atom's alternate locations; the semi-axes sqrt(5 lambda) of the
    mass-weighted covariance and its eigenvectors, a >= b >= c."""
    best = {}
    with open(path) as f:
        for line in f:
            if line.startswith("ENDMDL"):
                break
            # The polymers: ATOM records, and the caps that HETATM records bond to a chain's ends.
            if not (line.startswith("ATOM") or (line.startswith("HETATM") and line[17:20] in ("ACE", "NH2"))):
                continue
            key = (line[21], line[22:27], line[12:16])  # chain, residue number and code, atom name
            occupancy = float(line[54:60])
            if key not in best or (line[16] != " " and occupancy > best[key][0]):
                element = line[76:78].strip()
                xyz = [float(line[30:38]), float(line[38:46]), float(line[46:54])]
                best[key] = (occupancy, gemmi.Element(element).weight, xyz)
    masses = np.array([m for _, m, _ in best.values()])
    x = np.array([xyz for _, _, xyz in best.values()])
    centre = masses @ x / masses.sum()
    d = x - centre
    covariance = (masses[:, None] * d).T @ d / masses.sum()
    lam, vectors = np.linalg.eigh(covariance)
    return len(masses), masses.sum(), np.sqrt(5 * lam[::-1]), vectors[:, ::-1].T, np.sqrt(np.trace(covariance))


@pytest.mark.parametrize("path", FILES)
def test_equivalent_ellipsoid_agrees_with_numpy(path):
    if not os.path.exists(path):
        pytest.skip(f"{path} not found (Debian package pymol-data)")
    atoms, mass, axes, directions, rg = numpy_ellipsoid(path)
    got = triex.structure(path)
    assert got["atoms"] == atoms
    assert got["model_molar_mass_g_per_mol"] == pytest.approx(mass, rel=1e-12)
    assert got["rg_atoms_angstrom"] == pytest.approx(rg, rel=1e-12)
    for i, name in enumerate("abc"):
        assert got[f"{name}_angstrom"] == pytest.approx(axes[i], rel=1e-10)
        direction = np.array([got[f"axis_{name}_{k}"] for k in "xyz"])
        assert abs(direction @ directions[i]) == pytest.approx(1.0, abs=1e-10)
    assert got["a_over_b"] == pytest.approx(axes[0] / axes[1], rel=1e-10)


def test_command_columns_are_the_python_keys_with_the_same_numbers():
    binary = os.environ.get("TRIEX_BINARY")
    if not binary or not os.path.exists(FILES[0]):
        pytest.skip("the triex program or pymol-data not found")
    options = dict(molar_mass=15400, vs=0.98, vbar=0.73, solvent_density=0.9982, viscosity=1.002, temperature=293.15)
    arguments = [binary, "structure", FILES[0]]
    for key, value in options.items():
        arguments += ["--" + key.replace("_", "-"), str(value)]
    done = subprocess.run(arguments, capture_output=True, text=True, check=True)
    (row,) = list(csv.DictReader(io.StringIO(done.stdout)))
    got = triex.structure(FILES[0], **options)
    assert list(row) == list(got)
    assert row.pop("file") == got.pop("file")
    assert {k: float(v) for k, v in row.items()} == got


def test_refused_files_and_inputs_raise_value_error(tmp_path):
    flat = tmp_path / "flat.pdb"
    flat.write_text("".join(
        f"ATOM  {i + 1:5d}  CA  ALA A{i + 1:4d}    {i % 4:8.3f}{i // 4:8.3f}{0:8.3f}  1.00 20.00           C\n"
        for i in range(16)))
    with pytest.raises(ValueError, match=r"flat\.pdb: the atoms lie in a plane"):
        triex.structure(flat)
    with pytest.raises(ValueError, match="a molar mass needs vs"):
        triex.structure(FILES[0], molar_mass=15000)
    with pytest.raises(ValueError, match="hydration needs solvent_density and vbar"):
        triex.structure(FILES[0], molar_mass=15000, hydration=0.3)

#!/usr/bin/python3
"""Checks the quantum-chemical and topographic descriptors against the text MOPAC prints.

For each molecule (SMILES embedded in 3D with RDKit, Debian's python3-rdkit; run with /usr/bin/python3) the script
writes a MOPAC input with the keywords "PM7 ALLVEC BONDS 1SCF", runs Debian's `mopac` (MOPAC 22), and reads our
values with the quantum_dump tool. Existing outputs (.out files named on the command line) are checked the same way.
From MOPAC's own text it recomputes:
  - "Homo Energy" and "Lumo Energy": the two numbers of "HOMO LUMO ENERGIES (EV)" (must be equal);
  - "Polarization": the mean |CHARGE| of "NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS";
  - "Local dipole index": the mean |q1 - q2| over the bonds quantum_dump lists;
  - the order-1 path cells of the four topographic indexes, from the printed per-atom bond orders
    ("(VALENCIES)   BOND ORDERS") and electron counts ("No. of ELECS."): omega weights = sums of the bond orders to
    other non-hydrogen atoms, delta-q = (q - h) / r, corrected (q - sum of the hydrogens' q) / r with r = Z - q for
    Si, S, Cl, Br, I and 1 otherwise, epsilon(Ro) bond weights = sums of the orders of the adjacent heavy bonds.
Reports every difference; exit status 1 when there is one.

Usage: /usr/bin/python3 scripts/validate_quantum.py --dump build/tools/quantum_dump [FILE.out ...]
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

MOLECULES = [
    ("ethanol", "CCO"), ("acetic_acid", "CC(=O)O"), ("benzene", "c1ccccc1"), ("pyridine", "c1ccncc1"),
    ("chlorobenzene", "Clc1ccccc1"), ("dimethyl_sulfide", "CSC"), ("bromoethane", "CCBr"),
    ("acetonitrile", "CC#N"), ("aniline", "Nc1ccccc1"), ("thiophene", "c1ccsc1"), ("iodomethane", "CI"),
    ("tetramethylsilane", "C[Si](C)(C)C"), ("trimethyl_phosphate", "COP(=O)(OC)OC"), ("isobutane", "CC(C)C"),
    ("cyclohexanone", "O=C1CCCCC1"),
]
CORE_REFERRED = {"Si": 14, "S": 16, "Cl": 17, "Br": 35, "I": 53}


def write_input(name, smiles, folder):
    from rdkit import Chem
    from rdkit.Chem import AllChem
    mol = Chem.AddHs(Chem.MolFromSmiles(smiles))
    AllChem.EmbedMolecule(mol, randomSeed=7)
    AllChem.MMFFOptimizeMolecule(mol)
    lines = ["PM7 ALLVEC BONDS 1SCF", name, ""]
    conf = mol.GetConformer()
    for atom in mol.GetAtoms():
        p = conf.GetAtomPosition(atom.GetIdx())
        lines.append("%-2s %10.5f 1 %10.5f 1 %10.5f 1" % (atom.GetSymbol(), p.x, p.y, p.z))
    path = os.path.join(folder, name + ".mop")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    subprocess.run(["mopac", path], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return os.path.join(folder, name + ".out")


def parse_mopac(path):
    text = open(path, errors="replace").read()
    homo = re.search(r"HOMO LUMO ENERGIES \(EV\) =\s+(-?[\d.]+)\s+(-?[\d.]+)", text)
    atoms = []  # (symbol, charge, electrons)
    block = text[text.rindex("NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS"):]
    for line in block.splitlines()[3:]:
        m = re.match(r"\s+(\d+)\s+([A-Za-z]+)\s+(-?\d+\.\d+)\s+(\d+\.\d+)", line)
        if not m:
            break
        atoms.append((m.group(2), float(m.group(3)), float(m.group(4))))
    orders = {}
    if "(VALENCIES)   BOND ORDERS" in text:
        current = None
        for line in text[text.rindex("(VALENCIES)   BOND ORDERS"):].splitlines()[1:]:
            head = re.match(r"\s+(\d+)\s+[A-Za-z]+\s+\(\s*[\d.]+\)(.*)", line)
            if head:
                current, rest = int(head.group(1)), head.group(2)
            elif current and re.match(r"\s+\d+\s+[A-Za-z]+\s+\d+\.\d+", line):
                rest = line
            elif line.strip() == "":
                continue
            else:
                break
            for j, _, value in re.findall(r"(\d+)\s+([A-Za-z]+)\s+(-?\d+\.\d+)", rest):
                orders[(current, int(j))] = float(value)
    return (float(homo.group(1)), float(homo.group(2))) if homo else None, atoms, orders


def parse_dump(output):
    results = {}
    for block in output.split("file ")[1:]:
        lines = block.splitlines()
        values = {"bonds": [], "cells": {}, "log": [], "error": None}
        for line in lines[1:]:
            key, _, rest = line.partition(" ")
            if key in ("homo", "lumo", "polarization", "ldi"):
                values[key] = float(rest)
            elif key == "cell":
                k, r, c, v = rest.split()
                values["cells"][(int(k), int(r), int(c))] = float(v)
            elif key == "bond":
                a, b = rest.split()
                values["bonds"].append((int(a), int(b)))
            elif key == "log":
                values["log"].append(rest)
            elif key == "error":
                values["error"] = rest
        results[lines[0]] = values
    return results


def expected_cells(atoms, orders, bonds):
    heavy = lambda i: atoms[i - 1][0] != "H"
    heavy_bonds = [(a, b) for a, b in bonds if heavy(a) and heavy(b)]
    order = lambda a, b: orders.get((a, b), orders.get((b, a)))
    omega, dq, dqc = {}, {}, {}
    for i, (symbol, _, q) in enumerate(atoms, 1):
        if not heavy(i):
            continue
        neighbours = [b if a == i else a for a, b in bonds if i in (a, b)]
        omega[i] = sum(order(i, j) for j in neighbours if heavy(j))
        r = CORE_REFERRED[symbol] - q if symbol in CORE_REFERRED else 1.0
        hydrogens = [j for j in neighbours if not heavy(j)]
        dq[i] = (q - len(hydrogens)) / r
        dqc[i] = (q - sum(atoms[j - 1][2] for j in hydrogens)) / r
    cells = []
    for weights in (omega, dq, dqc):
        cells.append(sum(1 / math.sqrt(weights[a] * weights[b]) for a, b in heavy_bonds if weights[a] * weights[b] > 0))
    eps = 0.0
    for a, b in heavy_bonds:
        w = sum(order(c, d) for c, d in heavy_bonds if (c, d) != (a, b) and {c, d} & {a, b})
        if w > 0:
            eps += 1 / math.sqrt(w)
    cells.append(eps)
    return cells


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dump", required=True)
    parser.add_argument("outputs", nargs="*")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="validate_quantum_")
    files = [write_input(name, smiles, work) for name, smiles in MOLECULES] + args.outputs
    dump = subprocess.run([args.dump] + files, capture_output=True, text=True).stdout
    ours = parse_dump(dump)
    problems = 0
    for path in files:
        name = os.path.basename(path)
        mine = ours.get(path)
        if mine is None or mine["error"]:
            print("%s: quantum_dump failed: %s" % (name, mine and mine["error"]))
            problems += 1
            continue
        gap, atoms, orders = parse_mopac(path)
        checks = []
        if gap:
            checks += [("Homo Energy", mine.get("homo"), gap[0], 0), ("Lumo Energy", mine.get("lumo"), gap[1], 0)]
        checks.append(("Polarization", mine.get("polarization"), sum(abs(c) for _, c, _ in atoms) / len(atoms), 1e-12))
        ldi = sum(abs(atoms[a - 1][1] - atoms[b - 1][1]) for a, b in mine["bonds"]) / len(mine["bonds"])
        checks.append(("Local dipole index", mine.get("ldi"), ldi, 1e-12))
        if orders:
            for k, (label, value) in enumerate(zip(("Omega", "Omega(q)", "Omega(q)c", "Epsilon(Ro)"),
                                                   expected_cells(atoms, orders, mine["bonds"]))):
                checks.append((label + " (1, P)", mine["cells"].get((k, 1, 0)), value, 1e-9 * (1 + abs(value))))
        bad = [c for c in checks if c[1] is None or abs(c[1] - c[2]) > c[3]]
        for label, got, want, _ in bad:
            print("%s: %s is %s, MOPAC's text gives %.12g" % (name, label, got, want))
        problems += len(bad)
        print("%s: %d atoms, %d bonds, %d checks%s%s" % (name, len(atoms), len(mine["bonds"]), len(checks),
                                                          ", all equal" if not bad else "",
                                                          "; log: " + " | ".join(mine["log"]) if mine["log"] else ""))
    print("%d files, %d differences" % (len(files), problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

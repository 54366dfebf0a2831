#!/usr/bin/env python3
"""Freezes what the MOPAC 22 outputs of tests/data/mopac print into tests/data/mopac/printed.tsv, read by
tests/inputs/mopac_files_test.cpp: a plain line scanner, independent of the program's reader. Run it after
scripts/make_mopac_test_data.sh; the rows of water_mopac7.out (written by hand) are kept as they are.
Usage: scripts/mopac_printed.py [folder]   (default tests/data/mopac)"""
import glob
import os
import re
import sys

VECTORS = {"water_allvec_opt.out": None, "sf6_allvec_1scf.out": {1}}  # coefficients frozen: all atoms, or these


def scan(path):
    lines = open(path, encoding="latin-1").read().splitlines()
    name = os.path.basename(path)
    singles, xyz, charges, orders, vectors, roots = {}, [], [], {}, [], []
    for i, line in enumerate(lines):
        words = line.split()
        if "Empirical Formula:" in line:
            singles["atoms"] = line.split("=")[1].split()[:1]
        elif "NO. OF FILLED LEVELS" in line:
            singles["filled"] = line.split("=")[1].split()[:1]
        elif "HOMO LUMO ENERGIES (EV)" in line:
            singles["homo_lumo"] = line.split("=")[1].split()[:2]
        elif "CARTESIAN COORDINATES" in line:
            xyz = []
            for row in lines[i + 1:]:
                m = re.match(r"\s*\d+\s+[A-Za-z]+\s+(\S+)\s+(\S+)\s+(\S+)\s*$", row)
                if m:
                    xyz.append(list(m.groups()))
                elif xyz:
                    break
        elif "NET ATOMIC CHARGES" in line:
            charges = []
            for row in lines[i + 3:]:
                m = re.match(r"\s*\d+\s+[A-Za-z]+\s+(\S+)\s+(\S+)", row)
                if not m:
                    break
                charges.append(list(m.groups()))
        elif "(VALENCIES)   BOND ORDERS" in line:
            current = 0
            for row in lines[i + 1:]:
                if not row.strip():
                    continue
                if "*" in row:
                    break
                if "(" in row:
                    current = int(row.split()[0])
                    row = row[row.index(")") + 1:]
                items = row.split()
                for k in range(0, len(items) - 2, 3):
                    partner, order = int(items[k]), items[k + 2]
                    orders[(min(current, partner), max(current, partner))] = order
        elif words[:2] == ["Root", "No."]:
            block = [int(w) for w in words[2:]]
            roots += block
            orbital, atom = 0, 0
            for row in lines[i + 1:]:
                if "Root No." in row or "NET ATOMIC" in row:
                    break
                m = re.match(r"\s*([A-Za-z0-9]+)\s+[A-Z][a-z]?\s+(\d+)((?:\s+-?\d+\.\d+)+)\s*$", row)
                if not m:
                    continue
                number = int(m.group(2))
                orbital = orbital + 1 if number == atom else 1
                atom = number
                wanted = VECTORS.get(name, set())
                if name in VECTORS and (wanted is None or atom in wanted):
                    for root, value in zip(block, m.group(3).split()):
                        vectors.append(["vector", atom, orbital, root, value])
    rows = [[kind] + values for kind, values in singles.items()]
    if roots:
        rows.append(["roots", roots[0], roots[-1]])
    rows += [["atom", k + 1] + xyz[k] + charges[k] for k in range(len(xyz))]
    rows += [["bond", f"{i}-{j}", order] for (i, j), order in sorted(orders.items())]
    return [[name] + [str(v) for v in row] for row in rows + vectors]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "tests/data/mopac"
    target = os.path.join(folder, "printed.tsv")
    kept = [l for l in open(target).read().splitlines() if l.startswith("water_mopac7.out")] if os.path.exists(target) else []
    out = ["# What the MOPAC outputs of this folder print, frozen by scripts/mopac_printed.py (a line scanner apart from",
           "# the program's reader); the water_mopac7.out rows are written by hand from that file. Columns: file, then",
           "# atoms N | filled N | homo_lumo H L (MOPAC's own line, eV) | roots FIRST LAST (printed) | atom I X Y Z CHARGE",
           "# ELECTRONS (the last coordinates and charges) | bond I-J ORDER (every printed pair) | vector ATOM ORBITAL ROOT VALUE"]
    for path in sorted(glob.glob(os.path.join(folder, "*.out"))):
        if os.path.basename(path) != "water_mopac7.out":
            out += ["\t".join(row) for row in scan(path)]
    open(target, "w").write("\n".join(out + kept) + "\n")


if __name__ == "__main__":
    main()

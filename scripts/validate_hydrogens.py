#!/usr/bin/python3
"""Completed hydrogens, polar surface and logP against RDKit (Debian's python3-rdkit, a reference only).

The fixture molecules (shared/fixtures/drugs-2000.smi) are read by the program as SMILES, as a Kekule SD file
without hydrogens (written here by RDKit), as the fixture's 3D SD file with hydrogens and, when Open Babel is
installed, as MOL2 (written by obabel from that SD file). For each form, tools/completion_dump prints per
heavy atom the hydrogens the reader and the completion block leave, and the sums of the "Hydrophobicity" and
"Polar surface" weights. They are compared with RDKit's GetTotalNumHs per atom, CalcTPSA(includeSandP=True)
and Crippen MolLogP on the SMILES.

  --dump TOOL          completion_dump (built from tools/)
  --make-test-data DIR writes the frozen test data of tests/inputs/hydrogen_completion_test.cpp and
                       tests/procedures/cross_format_test.cpp (see tests/data/completion/SOURCES.md)
Usage: /usr/bin/python3 scripts/validate_hydrogens.py --dump build/tools/completion_dump
"""

import argparse
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

try:
    from rdkit import Chem, RDLogger, rdBase
    from rdkit.Chem import Crippen, rdMolDescriptors
    RDLogger.DisableLog("rdApp.*")
except ImportError:  # pragma: no cover
    sys.exit("RDKit not available: run with Debian's /usr/bin/python3 (package python3-rdkit)")

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, ".."))
# The shared fixtures sit next to the repository (or next to the folder of worktrees it is one of).
FIXTURES = next((p for p in (os.path.join(REPO, "..", "shared", "fixtures"),
                             os.path.join(REPO, "..", "..", "shared", "fixtures")) if os.path.isdir(p)),
                os.path.join(REPO, "..", "shared", "fixtures"))


def run_dump(tool, path):
    out = subprocess.run([tool, path, os.path.join(REPO, "data")], capture_output=True, text=True, check=False)
    rows = []
    for line in out.stdout.splitlines():
        f = line.split("\t")
        if f[0] == "error":
            rows.append(None)
        else:
            rows.append((f[0], [int(x) for x in f[1].split(",")] if f[1] else [], f[2], float(f[3]), float(f[4])))
    return rows


CHARGED = [
    ("nitro", "C[N+](=O)[O-]"), ("nitrobenzene", "O=[N+]([O-])c1ccccc1"),
    ("pyridine N-oxide", "[O-][n+]1ccccc1"), ("N-methylpyridinium", "C[n+]1ccccc1"),
    ("pyridinium", "c1cc[nH+]cc1"), ("N-methylpyridinium Kekule", "C[N+]1=CC=CC=C1"),
    ("pyridinium Kekule", "C1=CC=[NH+]C=C1"), ("methylammonium", "C[NH3+]"),
    ("tetramethylammonium", "C[N+](C)(C)C"), ("acetate", "CC(=O)[O-]"), ("phenolate", "[O-]c1ccccc1"),
    ("methanesulfonate", "CS(=O)(=O)[O-]"), ("tetramethylphosphonium", "C[P+](C)(C)C"),
    ("methyl azide", "CN=[N+]=[N-]"), ("diazomethane", "C=[N+]=[N-]"), ("ethyl diazoacetate", "CCOC(=O)C=[N+]=[N-]"),
    ("methyl isocyanide", "[C-]#[N+]C"), ("glycine zwitterion", "[NH3+]CC(=O)[O-]"),
    ("imidazolium", "Cn1cc[nH+]c1"), ("trimethylsulfonium", "C[S+](C)C"), ("cyanocarbanion", "[N-]=C=C(C#N)C#N"),
]
UNCOMMON = [
    ("silane", "[SiH4]"), ("methylsilane", "C[SiH3]"), ("benzeneselenol", "[SeH]c1ccccc1"),
    ("methaneselenol", "C[SeH]"), ("trimethylarsine", "C[As](C)C"), ("arsine", "[AsH3]"), ("germane", "C[GeH3]"),
    ("iron dihydride", "[FeH2]"), ("methylstannane", "C[SnH3]"),
]


def without_valences(block):
    """The molblock with every V2000 atom line's valence field (columns 49-51) cleared: RDKit writes it for
    charged and unusual atoms, most other writers do not, and the hydrogens must then follow from the charges."""
    lines = block.split("\n")
    natoms = int(lines[3][:3])
    for k in range(4, 4 + natoms):
        line = lines[k]
        if len(line) >= 51:
            lines[k] = line[:48] + "  0" + line[51:]
    return "\n".join(lines)


def make_test_data(out, entries, ref, sdf):
    """Frozen inputs and RDKit readings for make test (no RDKit or Open Babel needed there)."""
    os.makedirs(out, exist_ok=True)
    stamp = f"RDKit {rdBase.rdkitVersion}, scripts/validate_hydrogens.py --make-test-data, {datetime.date.today()}"

    def counts(m):
        return ",".join(str(at.GetTotalNumHs()) for at in m.GetAtoms() if at.GetAtomicNum() > 1)

    def table(name, rows, with_h):
        with open(os.path.join(out, name + ".tsv"), "w") as t, open(os.path.join(out, name + ".sdf"), "w") as f:
            t.write(f"# {stamp}. Columns: name, SMILES, hydrogens per heavy atom (GetTotalNumHs, SMILES order).\n"
                    f"# {name}.sdf holds the same molecules, "
                    + ("with explicit hydrogens.\n" if with_h else
                       "Kekule, without hydrogens and with the atoms' valence fields cleared.\n"))
            for label, smiles in rows:
                m = Chem.MolFromSmiles(smiles)
                t.write(f"{label}\t{smiles}\t{counts(m)}\n")
                k = Chem.AddHs(m) if with_h else Chem.Mol(m)
                Chem.Kekulize(k, clearAromaticFlags=True)
                k.SetProp("_Name", label)
                block = Chem.MolToMolBlock(k, kekulize=True)
                f.write((block if with_h else without_valences(block)) + "$$$$\n")

    table("charged", CHARGED, False)
    table("uncommon", UNCOMMON, True)
    with open(os.path.join(out, "hydrogen_reference.tsv"), "w") as t:
        t.write(f"# {stamp}: every 2nd molecule of shared/fixtures/drugs-2000.smi (sources in the fixture README).\n"
                "# Columns: name, SMILES, hydrogens per heavy atom (GetTotalNumHs, SMILES order).\n")
        for i in range(0, len(entries), 2):
            if ref[i] is not None:
                t.write(f"{entries[i][1]}\t{entries[i][0]}\t{','.join(map(str, ref[i][0]))}\n")
    # Cross-format set: every 40th fixture molecule as SMILES, 3D SD with H (the fixture's own records), Kekule SD
    # without H and MOL2 (Open Babel from the 3D SD records).
    picked = list(range(0, len(entries), 40))
    with open(os.path.join(out, "cross.sml2"), "w") as f:
        for i in picked:
            f.write(f"{entries[i][1]}\n{entries[i][0]}\n")
    records = open(sdf).read().split("$$$$\n")
    with open(os.path.join(out, "cross-h.sdf"), "w") as f:
        for i in picked:
            f.write(records[i] + "$$$$\n")
    with open(os.path.join(out, "cross-noh.sdf"), "w") as f:
        for i in picked:
            k = Chem.RemoveHs(Chem.MolFromSmiles(entries[i][0]))
            Chem.Kekulize(k, clearAromaticFlags=True)
            k.SetProp("_Name", entries[i][1])
            f.write(Chem.MolToMolBlock(k, kekulize=True) + "$$$$\n")
    if shutil.which("obabel"):
        subprocess.run(["obabel", os.path.join(out, "cross-h.sdf"), "-O", os.path.join(out, "cross.mol2")],
                       capture_output=True, check=False)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dump", required=True)
    ap.add_argument("--smi", default=os.path.join(FIXTURES, "drugs-2000.smi"))
    ap.add_argument("--sdf", default=os.path.join(FIXTURES, "drugs-2000.sdf"))
    ap.add_argument("--make-test-data")
    ap.add_argument("--show", type=int, default=8)
    a = ap.parse_args()

    entries = [l.rstrip("\n").split("\t") for l in open(a.smi) if l.strip()]
    ref = []
    tmp = tempfile.mkdtemp()
    smi_path = os.path.join(tmp, "in.smi")
    noh_path = os.path.join(tmp, "noh.sdf")
    with open(smi_path, "w") as smi, open(noh_path, "w") as noh:
        for smiles, name in entries:
            m = Chem.MolFromSmiles(smiles)
            hs = [at.GetTotalNumHs() for at in m.GetAtoms()] if m else None
            heavy = [at.GetAtomicNum() > 1 for at in m.GetAtoms()] if m else None
            ref.append(None if m is None else (
                [h for h, k in zip(hs, heavy) if k], rdMolDescriptors.CalcTPSA(m, includeSandP=True),
                Crippen.MolLogP(m)))
            smi.write(f"{smiles}\t{name}\n")
            k = Chem.RemoveHs(m) if m else Chem.Mol()
            Chem.Kekulize(k, clearAromaticFlags=True)
            noh.write(without_valences(Chem.MolToMolBlock(k, kekulize=True)))
            noh.write("$$$$\n")
    # MolToMolBlock leaves the title empty: put the names in.
    with open(noh_path) as f:
        blocks = f.read().split("$$$$\n")
    with open(noh_path, "w") as f:
        for (smiles, name), block in zip(entries, blocks):
            f.write(name + block[block.index("\n"):] + "$$$$\n")

    forms = [("SMILES", smi_path), ("SD without H (Kekule)", noh_path), ("SD with H (3D)", a.sdf)]
    if shutil.which("obabel"):
        mol2 = os.path.join(tmp, "drugs.mol2")
        subprocess.run(["obabel", a.sdf, "-O", mol2], capture_output=True, check=False)
        forms.append(("MOL2 (Open Babel)", mol2))
    else:
        print("Open Babel missing (apt-get install openbabel): MOL2 form skipped")

    print(f"RDKit {rdBase.rdkitVersion}; {len(entries)} molecules of {os.path.basename(a.smi)}")
    results = {}
    for label, path in forms:
        rows = run_dump(a.dump, path)
        results[label] = rows
        same_h = tpsa_ok = n = 0
        logp_err = []
        bad = []
        for i, r in enumerate(ref):
            if r is None or i >= len(rows) or rows[i] is None:
                continue
            n += 1
            ours = rows[i]
            if ours[1] == r[0]:
                same_h += 1
            else:
                bad.append((entries[i][1], entries[i][0], ours[1], r[0]))
            if abs(ours[4] - r[1]) < 0.01:
                tpsa_ok += 1
            logp_err.append(abs(ours[3] - r[2]))
        print(f"== {label}: {n} molecules; per-atom hydrogens equal for {same_h} ({100.0 * same_h / n:.2f} %); "
              f"TPSA within 0.01 for {tpsa_ok} ({100.0 * tpsa_ok / n:.2f} %); "
              f"logP MAE {sum(logp_err) / len(logp_err):.4f}")
        for name, smiles, ours, theirs in bad[:a.show]:
            print(f"   {name}\t{smiles}\n      ours  {ours}\n      RDKit {theirs}")

    # Cross-format agreement of the program with itself.
    base = results["SMILES"]
    for label, rows in results.items():
        if label == "SMILES":
            continue
        same = sum(1 for x, y in zip(base, rows) if x and y and x[1] == y[1] and x[2] == y[2]
                   and abs(x[3] - y[3]) < 1e-6 and abs(x[4] - y[4]) < 1e-6)
        print(f"== {label} vs SMILES: hydrogens, aromatic atoms, logP and TPSA identical for {same} of {len(base)}")
        shown = 0
        for (smiles, name), x, y in zip(entries, base, rows):
            if x and y and not (x[1] == y[1] and x[2] == y[2] and abs(x[3] - y[3]) < 1e-6 and abs(x[4] - y[4]) < 1e-6):
                if shown < a.show:
                    print(f"   {name}\t{smiles}\n      SMILES {x[1:]}\n      {label[:6]} {y[1:]}")
                shown += 1

    if a.make_test_data:
        make_test_data(a.make_test_data, entries, ref, a.sdf)
    shutil.rmtree(tmp)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Compares the MOL/SD reader with RDKit (Debian's python3-rdkit; run with /usr/bin/python3).

For every record of the given MOL/SD files it compares what our reader makes (as printed by the sdf_dump tool)
with RDKit's reading of the same record (SDMolSupplier, sanitize=False, removeHs=False, strictParsing=True, so
that RDKit keeps the file's atoms, bonds and charges as written):
  - the record's name (the first line; a misaligned record shows here first),
  - atom and bond counts, element symbols,
  - formal charges per atom,
  - 3D coordinates per atom (within 1e-6 A),
  - bonds: atom pairs and orders (single, double, triple, aromatic).
By default it checks the fixture SD files (../shared/fixtures/drugs-2000.sdf and formats/*.mol) and the
RDKit-comparable files of tests/data/inputs/. Exit status 1 when any record differs.

  --freeze FILE     writes the RDKit readings of the tests/data/inputs files to FILE (tab-separated, with
                    provenance) for the unit test that replays them without RDKit.
  --make-data       (re)writes the RDKit-made test files of tests/data/inputs/ (excerpt, data items, V3000).

Usage: /usr/bin/python3 scripts/validate_sdf.py [--dump PATH] [--freeze FILE] [--make-data] [files...]
"""
import argparse
import datetime
import glob
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FIXTURES = os.path.join(ROOT, "..", "shared", "fixtures")
DATA = os.path.join(ROOT, "tests", "data", "inputs")

# Test files that RDKit reads the same way by design; the others pin behaviour RDKit does not share (a V2000
# record without version stamp keeps its atom-block charges here) or are broken on purpose.
COMPARABLE = ["drugs-excerpt.sdf", "data-items-lf.sdf", "data-items-crlf.sdf", "v3000-charged.sdf",
              "BZR_Diazepam.mol", "BZR_Diazepam_v3000.mol", "CHEMBL2321810_1520011.mol", "CS_ethanol.mol",
              "CS_pyridine-2-thiol.mol", "NCI_3.mol"]

BOND_KINDS = {"SINGLE": 0, "DOUBLE": 1, "TRIPLE": 2, "AROMATIC": 3}


def load_rdkit():
    try:
        from rdkit import Chem, RDLogger, rdBase
    except ImportError:
        sys.exit("RDKit is missing: run this script with /usr/bin/python3 (Debian's python3-rdkit)")
    RDLogger.DisableLog("rdApp.*")
    return Chem, rdBase.rdkitVersion


def rdkit_records(Chem, path):
    supplier = Chem.SDMolSupplier(path, sanitize=False, removeHs=False, strictParsing=True)
    records = []
    for mol in supplier:
        if mol is None:
            records.append(None)
            continue
        conf = mol.GetConformer() if mol.GetNumConformers() else None
        coords = []
        for a in mol.GetAtoms():
            p = conf.GetAtomPosition(a.GetIdx()) if conf else None
            coords.append((p.x, p.y, p.z) if p else (0.0, 0.0, 0.0))
        bonds = sorted((min(b.GetBeginAtomIdx(), b.GetEndAtomIdx()) + 1, max(b.GetBeginAtomIdx(), b.GetEndAtomIdx()) + 1,
                        BOND_KINDS.get(str(b.GetBondType()), 0)) for b in mol.GetBonds())
        records.append({
            "name": mol.GetProp("_Name") if mol.HasProp("_Name") else "",
            "symbols": [a.GetSymbol() for a in mol.GetAtoms()],
            "charges": [a.GetFormalCharge() for a in mol.GetAtoms()],
            "coords": coords,
            "bonds": bonds,
        })
    return records


def our_records(dump, path):
    run = subprocess.run([dump, path], capture_output=True, text=True)
    records = []
    for line in run.stdout.splitlines():
        f = line.split("\t")
        if f[0] == "error":
            records.append({"error": f[1] if len(f) > 1 else "?"})
            continue
        symbols = f[4].split(" ") if f[4] else []
        charges = [0] * len(symbols)
        if f[5] != "-":
            for item in f[5].split(";"):
                i, c = item.split(":")
                charges[int(i) - 1] = int(c)
        coords = [tuple(float(v) for v in xyz.split(" ")) for xyz in f[6].split(";")] if f[6] else []
        bonds = sorted(tuple(int(v) for v in b.split("-")) for b in f[7].split(";")) if f[7] else []
        records.append({"name": f[1], "symbols": symbols, "charges": charges, "coords": coords, "bonds": bonds})
    return records


def compare(ours, ref):
    """The first difference between two readings of a record, or None."""
    if ref is None:
        return "RDKit rejects the record"
    if "error" in ours:
        return "our reader fails: " + ours["error"]
    if ours["name"] != ref["name"]:
        return "name %r, RDKit %r" % (ours["name"], ref["name"])
    if len(ours["symbols"]) != len(ref["symbols"]):
        return "%d atoms, RDKit %d" % (len(ours["symbols"]), len(ref["symbols"]))
    if len(ours["bonds"]) != len(ref["bonds"]):
        return "%d bonds, RDKit %d" % (len(ours["bonds"]), len(ref["bonds"]))
    for i, (a, b) in enumerate(zip(ours["symbols"], ref["symbols"])):
        if a != b:
            return "atom %d: %s, RDKit %s" % (i + 1, a, b)
    for i, (a, b) in enumerate(zip(ours["charges"], ref["charges"])):
        if a != b:
            return "atom %d: charge %d, RDKit %d" % (i + 1, a, b)
    for i, (a, b) in enumerate(zip(ours["coords"], ref["coords"])):
        if any(abs(x - y) > 1e-6 for x, y in zip(a, b)):
            return "atom %d: coordinates %s, RDKit %s" % (i + 1, a, b)
    if ours["bonds"] != ref["bonds"]:
        diff = sorted(set(ours["bonds"]) ^ set(ref["bonds"]))
        return "bonds differ: %s" % diff[:4]
    return None


def make_data(Chem):
    """The RDKit-made test files. Coordinates come from a seeded embedding; the files are frozen once written."""
    from rdkit.Chem import AllChem
    os.makedirs(DATA, exist_ok=True)
    # Every 80th record of the drug set, byte for byte (LF line ends, no data items).
    with open(os.path.join(FIXTURES, "drugs-2000.sdf"), "rb") as f:
        records = f.read().split(b"$$$$\n")
    excerpt = [r for i, r in enumerate(records) if r.strip() and i % 80 == 0]
    with open(os.path.join(DATA, "drugs-excerpt.sdf"), "wb") as f:
        for r in excerpt:
            f.write(r + b"$$$$\n")
    # Three records with data items between them: a named neutral molecule, an unnamed zwitterion (empty name
    # line, "M  CHG"), an isotope-labelled one ("M  ISO") with a multi-line data item.
    entries = [("CCO", "ethanol", {"SOURCE": "test set", "MW": "46.07"}),
               ("[NH3+]CC(=O)[O-]", "", {"NOTE": "zwitterion, unnamed"}),
               ("[13CH3]C(=O)c1ccccc1", "acetophenone-13C", {"COMMENT": "line one\nline two"})]
    mols = []
    for smiles, name, props in entries:
        mol = Chem.AddHs(Chem.MolFromSmiles(smiles))
        AllChem.EmbedMolecule(mol, randomSeed=42)
        mol.SetProp("_Name", name)
        for k, v in props.items():
            mol.SetProp(k, v)
        mols.append(mol)
    for name, v3000 in (("data-items-lf.sdf", False), ("v3000-charged.sdf", True)):
        writer = Chem.SDWriter(os.path.join(DATA, name))
        writer.SetForceV3000(v3000)
        for mol in mols:
            writer.write(mol)
        writer.close()
    with open(os.path.join(DATA, "data-items-lf.sdf"), "rb") as f:
        text = f.read()
    with open(os.path.join(DATA, "data-items-crlf.sdf"), "wb") as f:
        f.write(text.replace(b"\n", b"\r\n"))
    # The format samples as they are.
    for path in sorted(glob.glob(os.path.join(FIXTURES, "formats", "*.mol"))):
        with open(path, "rb") as src, open(os.path.join(DATA, os.path.basename(path)), "wb") as dst:
            dst.write(src.read())
    print("test data written to %s" % DATA)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--dump", default=os.path.join(ROOT, "build", "tools", "sdf_dump"),
                    help="path of the sdf_dump tool")
    ap.add_argument("--freeze", help="write the reference of the tests/data/inputs files here")
    ap.add_argument("--make-data", action="store_true", help="write the RDKit-made test files first")
    ap.add_argument("files", nargs="*")
    args = ap.parse_args()

    Chem, version = load_rdkit()
    if args.make_data:
        make_data(Chem)
    local = [os.path.join(DATA, n) for n in COMPARABLE]
    files = [os.path.abspath(f) for f in args.files] or ([os.path.join(FIXTURES, "drugs-2000.sdf")] +
                           sorted(glob.glob(os.path.join(FIXTURES, "formats", "*.mol"))) + local)

    total = 0
    failures = 0
    for path in files:
        ours = our_records(args.dump, path)
        refs = rdkit_records(Chem, path)
        differ = []
        if len(ours) != len(refs):
            differ.append((0, "%d records, RDKit %d" % (len(ours), len(refs))))
        for i, (o, r) in enumerate(zip(ours, refs)):
            why = compare(o, r)
            if why:
                differ.append((i + 1, why))
        total += len(refs)
        failures += len(differ)
        atoms = sum(len(r["symbols"]) for r in refs if r)
        print("%-28s %5d records %7d atoms: %s" % (os.path.basename(path), len(refs), atoms,
                                                   "agree" if not differ else "%d differ" % len(differ)))
        for i, why in differ[:10]:
            print("    record %d: %s" % (i, why))
    print("RDKit %s: %d records, %d differences" % (version, total, failures))

    if args.freeze:
        with open(args.freeze, "w", encoding="utf-8", newline="\n") as f:
            f.write("# MOL/SD reference: RDKit %s readings (SDMolSupplier, sanitize=False, removeHs=False) of the\n"
                    % version)
            f.write("# test files in tests/data/inputs (sources: shared/fixtures drugs-2000.sdf excerpt and formats/*.mol,\n")
            f.write("# written by RDKit 2022.09.3 and Open Babel 3.1.1; data-items-*.sdf and v3000-charged.sdf written\n")
            f.write("# by RDKit through scripts/validate_sdf.py --make-data). Written by scripts/validate_sdf.py on %s.\n"
                    % datetime.date.today().isoformat())
            f.write("# Columns: file, record (from 1), name, atoms, bonds, symbols (blank-separated), charges\n")
            f.write("# (atom:charge for non-zero ones, - for none), coordinates (x y z per atom, ';'-separated),\n")
            f.write("# bonds (atom-atom-kind, kinds 0 single, 1 double, 2 triple, 3 aromatic, ';'-separated).\n")
            f.write("file\trecord\tname\tatoms\tbonds\tsymbols\tcharges\tcoords\tbonds\n")
            for path in local:
                for i, r in enumerate(rdkit_records(Chem, path)):
                    charges = ";".join("%d:%d" % (k + 1, c) for k, c in enumerate(r["charges"]) if c) or "-"
                    coords = ";".join("%.6f %.6f %.6f" % xyz for xyz in r["coords"])
                    bonds = ";".join("%d-%d-%d" % b for b in r["bonds"])
                    f.write("\t".join([os.path.basename(path), str(i + 1), r["name"], str(len(r["symbols"])),
                                       str(len(r["bonds"])), " ".join(r["symbols"]), charges, coords, bonds]) + "\n")
        print("reference written to %s" % args.freeze)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

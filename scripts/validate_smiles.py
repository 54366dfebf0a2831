#!/usr/bin/python3
"""Compares the SMILES parser with RDKit (Debian's python3-rdkit; run with /usr/bin/python3).

For every SMILES of the fixture set (or every N-th one) it compares what our parser makes (organic mode with
completion, as printed by the smiles_dump tool) with RDKit's reading of the same string after AddHs:
  - heavy atoms (every atom that is not hydrogen, "*" included),
  - hydrogen atoms (explicit and implicit ones together, isotopic hydrogens included),
  - formal charges, as sorted "symbol:charge" items,
and, for information only, the number of aromatic heavy atoms (the two aromaticity models differ by design).

Every difference is listed with its likely cause. With --freeze FILE the RDKit values are written to a
tab-separated reference file (with provenance) that the unit test replays without RDKit; rows where the two
models differ also carry our values and the cause, so the test pins them as known differences.

Usage: /usr/bin/python3 scripts/validate_smiles.py [--dump PATH] [--every N] [--freeze FILE]
"""
import argparse
import datetime
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FIXTURE = os.path.join(ROOT, "..", "shared", "fixtures", "drugs-2000.smi")


def load_rdkit():
    try:
        from rdkit import Chem, RDLogger, rdBase
    except ImportError:
        sys.exit("RDKit is missing: run this script with /usr/bin/python3 (Debian's python3-rdkit)")
    RDLogger.DisableLog("rdApp.*")
    return Chem, rdBase.rdkitVersion


def rdkit_summary(Chem, smiles):
    mol = Chem.MolFromSmiles(smiles)
    if mol is None:
        return None
    aromatic = sum(1 for a in mol.GetAtoms() if a.GetAtomicNum() != 1 and a.GetIsAromatic())
    mol = Chem.AddHs(mol)
    heavy = sum(1 for a in mol.GetAtoms() if a.GetAtomicNum() != 1)
    hydrogens = sum(1 for a in mol.GetAtoms() if a.GetAtomicNum() == 1)
    charged = sorted("%s:%d" % (a.GetSymbol(), a.GetFormalCharge()) for a in mol.GetAtoms() if a.GetFormalCharge())
    return {"heavy": heavy, "hydrogens": hydrogens, "charges": ";".join(charged) or "-", "aromatic": aromatic}


def our_summaries(dump, smiles_list):
    text = "".join(s + "\n" for s in smiles_list)
    out = subprocess.run([dump], input=text, capture_output=True, text=True, check=True).stdout
    result = []
    for line in out.splitlines():
        fields = line.split("\t")
        if fields[0] == "ok":
            result.append({"heavy": int(fields[1]), "hydrogens": int(fields[2]), "charges": fields[3],
                           "aromatic": int(fields[4])})
        else:
            result.append({"error": fields[1] if len(fields) > 1 else "?"})
    if len(result) != len(smiles_list):
        sys.exit("smiles_dump printed %d lines for %d SMILES" % (len(result), len(smiles_list)))
    return result


def cause(smiles, ours, ref):
    """The likely reason why the two readings differ."""
    if ref is None:
        return "RDKit rejects the SMILES (valence or Kekule structure)"
    if "error" in ours:
        low = smiles.lower()
        if any(s in low for s in ("[se", "[te", "[as", "[si")):
            return "two-letter aromatic symbol in brackets: one lower-case letter is read"
        return "our parser rejects it: " + ours["error"]
    if ours["heavy"] != ref["heavy"]:
        return "different atoms"
    if ours["charges"] != ref["charges"]:
        return "different charges"
    if ours["hydrogens"] != ref["hydrogens"]:
        return ("aromaticity model: a ring written in lower case fails the 4n+2 ring test (bridgehead nitrogen "
                "counted in both fused rings, exocyclic C=N, ring sulfur with four neighbours) and keeps single "
                "bonds, so its atoms take hydrogens for them; RDKit kekulizes it")
    return "other"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--dump", default=os.path.join(ROOT, "build", "tools", "smiles_dump"),
                    help="path of the smiles_dump tool")
    ap.add_argument("--every", type=int, default=1, help="take every N-th SMILES of the fixture")
    ap.add_argument("--fixture", default=FIXTURE)
    ap.add_argument("--freeze", help="write the reference file here")
    ap.add_argument("--list-aromatic", type=int, default=0, metavar="N",
                    help="also list N agreeing molecules whose aromatic atom counts differ")
    args = ap.parse_args()

    Chem, version = load_rdkit()
    with open(args.fixture, encoding="utf-8") as f:
        rows = [line.rstrip("\r\n").split("\t") for line in f if line.strip()]
    rows = rows[:: args.every]
    smiles_list = [r[0] for r in rows]
    ours = our_summaries(args.dump, smiles_list)
    refs = [rdkit_summary(Chem, s) for s in smiles_list]

    keys = ("heavy", "hydrogens", "charges")
    differ = []
    aromatic_differ = 0
    for (row, o, r) in zip(rows, ours, refs):
        if r is not None and "error" not in o and all(o[k] == r[k] for k in keys):
            if o["aromatic"] != r["aromatic"]:
                aromatic_differ += 1
                if aromatic_differ <= args.list_aromatic:
                    print("aromatic atoms: RDKit %d, ours %d  %s" % (r["aromatic"], o["aromatic"], row[0]))
            continue
        differ.append((row, o, r, cause(row[0], o, r)))

    agree = len(rows) - len(differ)
    print("RDKit %s, %d SMILES: heavy atoms, hydrogens and charges agree for %d, differ for %d" %
          (version, len(rows), agree, len(differ)))
    print("(aromatic atom counts differ in %d of the agreeing molecules: aromaticity models, information only)"
          % aromatic_differ)
    by_cause = {}
    for d in differ:
        by_cause.setdefault(d[3], []).append(d)
    for c, items in sorted(by_cause.items(), key=lambda kv: -len(kv[1])):
        print("\n%d x %s" % (len(items), c))
        for row, o, r, _ in items[:12]:
            name = row[1] if len(row) > 1 else ""
            ref_text = "rejected" if r is None else "heavy %d H %d charges %s arom %d" % (
                r["heavy"], r["hydrogens"], r["charges"], r["aromatic"])
            our_text = o.get("error") or "heavy %d H %d charges %s arom %d" % (
                o["heavy"], o["hydrogens"], o["charges"], o["aromatic"])
            print("  %s  %s\n      RDKit: %s\n      ours:  %s" % (name, row[0], ref_text, our_text))

    if args.freeze:
        with open(args.freeze, "w", encoding="utf-8", newline="\n") as f:
            f.write("# SMILES reference: RDKit %s readings of %d SMILES (every %d. line) of shared/fixtures/drugs-2000.smi\n"
                    % (version, len(rows), args.every))
            f.write("# (sources: NCI/DTP, WEHI, PAINS, ChEMBL samples CC BY-SA 3.0, PubChem, ZINC, BZR set; see the\n")
            f.write("# fixture README). Written by scripts/validate_smiles.py on %s. Columns: smiles, name,\n"
                    % datetime.date.today().isoformat())
            f.write("# RDKit heavy atoms, hydrogens (after AddHs), formal charges (sorted symbol:charge, - for none),\n")
            f.write("# RDKit aromatic heavy atoms (information only), then, where the two readings differ, ours\n")
            f.write("# (heavy/hydrogens/charges, or error:<message>) and the cause.\n")
            f.write("smiles\tname\theavy\thydrogens\tcharges\taromatic\tours\tcause\n")
            for (row, o, r) in zip(rows, ours, refs):
                if r is None:
                    continue  # nothing independent to compare with
                ok = "error" not in o and all(o[k] == r[k] for k in keys)
                mine = ""
                why = ""
                if not ok:
                    mine = ("error:" + o["error"]) if "error" in o else "%d/%d/%s" % (
                        o["heavy"], o["hydrogens"], o["charges"])
                    why = cause(row[0], o, r)
                f.write("\t".join([row[0], row[1] if len(row) > 1 else "", str(r["heavy"]), str(r["hydrogens"]),
                                   r["charges"], str(r["aromatic"]), mine, why]) + "\n")
        print("\nreference written to %s" % args.freeze)
    return 0


if __name__ == "__main__":
    sys.exit(main())

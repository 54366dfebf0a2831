#!/usr/bin/python3
"""Validate the classification files in data/ against RDKit (Debian's python3-rdkit, used only here).

Modes (all read shared/fixtures/drugs-2000.smi unless --smi is given; --limit N takes the first N molecules):

  (default) --files Hydrophob.txt,Refractivity.txt,PolarSurface.txt
      Re-implements, in plain Python, how the program matches fragments onto atoms (anchored sub-structure
      search, most specific fragment first, user symbols, charges, hybridisation marks, '~' bonds), on RDKit
      molecules with explicit hydrogens, RDKit's aromatic bonds and the molecule model's hybridisation rule.
      Sums the atom values over heavy atoms and compares with Crippen MolLogP / MolMR and
      CalcTPSA(includeSandP=True), per molecule (MAE, R2, share within 0.01, worst molecules) and per atom
      against RDKit's own contributions (Crippen typing rebuilt from its parameter table; _CalcTPSAContribs).
      Because the fragment order depends on two counts that can be read two ways (whether bracket hydrogens are
      "written" atoms; which type a bond to a bracket hydrogen or a '~' bond has), every file is run under all
      readings and atoms whose value changes with the reading are counted ("reading-dependent").
  --classify-dump TOOL
      The same comparison with the program's own loader and matcher: TOOL is classify_dump, built from
      tools/ (target classify_dump). Molecules come from the program's SMILES parser (its aromaticity
      and hydrogens); results are shown against RDKit as is and against RDKit given the program's aromatic
      bonds, which separates aromaticity-model differences from file differences.
  --abraham
      Abraham.txt against the fragment method of Platts et al. (1999) counted on RDKit molecules: first-order
      fragments 1-42 (first fragment in list order starting at each atom) plus the corrections the file
      implements, once per unique occurrence; per-atom first-order mismatches are listed.
  --coverage FILE,...   heavy atoms left without a value, lines used, reading dependence (Polarize, Sasapar).
  --bonds FILE,...      which line each kind of bond receives, and reading dependence (bond files).
  --freeze OUT.tsv      writes RDKit's reference values for --freeze-count molecules spread over the fixture.

Usage: /usr/bin/python3 scripts/validate_properties.py [mode options] [--smi FILE] [--limit N] [--show N]
"""

import argparse
import collections
import itertools
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import check_classification_data as ccd  # noqa: E402

try:
    from rdkit import Chem, RDLogger
    from rdkit.Chem import Crippen, rdMolDescriptors
    RDLogger.DisableLog("rdApp.*")
except ImportError:  # pragma: no cover
    sys.exit("RDKit not available: run with Debian's /usr/bin/python3 (package python3-rdkit)")

REPO = os.path.normpath(os.path.join(HERE, ".."))
DATA = os.path.join(REPO, "data")
DEFAULT_SMI = os.path.normpath(os.path.join(REPO, "..", "shared", "fixtures", "drugs-2000.smi"))

# Valence electrons by element, as in the program's element table (0 from Ce on).
VALENCE = dict(zip(ccd.ELEMENTS[:57], [1, 2, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 2, 2,
                                       2, 2, 2, 2, 1, 3, 4, 5, 6, 7, 8, 1, 2, 3, 2, 2, 2, 2, 2, 2, 2, 1, 2, 3, 4,
                                       5, 6, 7, 8, 1, 2, 2]))


# ---------------------------------------------------------------------------------------------------------------
# Molecule in the program's terms
# ---------------------------------------------------------------------------------------------------------------
class Mol:
    """Atoms with symbol, charge and hybridisation code; bonds with type 0..3; adjacency lists."""

    def __init__(self, rdmol):
        self.rd = rdmol
        self.sym = [a.GetSymbol() for a in rdmol.GetAtoms()]
        self.charge = [a.GetFormalCharge() for a in rdmol.GetAtoms()]
        n = len(self.sym)
        self.adj = [[] for _ in range(n)]    # (neighbour, bond index)
        self.btype = []
        self.bends = []
        for b in rdmol.GetBonds():
            if b.GetIsAromatic():
                t = 3
            else:
                t = {Chem.BondType.SINGLE: 0, Chem.BondType.DOUBLE: 1, Chem.BondType.TRIPLE: 2}.get(b.GetBondType(), 0)
            i, j = b.GetBeginAtomIdx(), b.GetEndAtomIdx()
            k = len(self.btype)
            self.btype.append(t)
            self.bends.append((i, j))
            self.adj[i].append((j, k))
            self.adj[j].append((i, k))
        self.hyb = [self._hyb(i) for i in range(n)]

    def _hyb(self, i):
        order = {0: 1, 1: 2, 2: 3, 3: 1}
        bos = sum(order.get(self.btype[k], 1) for _, k in self.adj[i])
        n_arom = sum(1 for _, k in self.adj[i] if self.btype[k] == 3)
        if n_arom > 1 and (self.sym[i] == "C" or (self.sym[i] == "N" and len(self.adj[i]) == 2)):
            bos += 1
        lone = max(VALENCE.get(self.sym[i], 0) - bos, 0) // 2
        h = len(self.adj[i]) + lone - 1
        return h if 0 <= h < 6 else 0

    def heavy(self, i):
        return self.sym[i] != "H"

    def in_hydrogen_suppressed_graph(self, i):
        return self.sym[i] != "H" and any(self.sym[j] != "H" for j, _ in self.adj[i])


def mol_from_smiles(smi):
    m = Chem.MolFromSmiles(smi)
    if m is None:
        return None, None
    mh = Chem.AddHs(m)
    return m, mh


# ---------------------------------------------------------------------------------------------------------------
# Matching, as the program does it
# ---------------------------------------------------------------------------------------------------------------
class Matcher:
    def __init__(self, lf, variant):
        self.lf = lf
        self.records = lf.sorted_records(variant)
        self.frag_cache = []
        for rec in self.records:
            f = rec.frag
            nbrs = [[] for _ in f.atoms]
            for k, b in enumerate(f.bonds):
                nbrs[b["a"]].append((b["b"], k))
                nbrs[b["b"]].append((b["a"], k))
            # visiting order: breadth first from atom 0, each atom after a neighbour already placed
            order, parent, seen = [0], {0: None}, {0}
            q = [0]
            while q:
                x = q.pop(0)
                for y, k in nbrs[x]:
                    if y not in seen:
                        seen.add(y)
                        parent[y] = (x, k)
                        order.append(y)
                        q.append(y)
            deg = [len(nb) for nb in nbrs]
            self.frag_cache.append((f, nbrs, order, parent, deg))

    def vertex_ok(self, fa, mol, m):
        sym = fa["sym"]
        ms = mol.sym[m]
        ok = sym == "*" or sym == ms
        if not ok and not ccd.is_element(sym):
            entry = self.lf.symbols.get(sym.lower())
            if entry:
                for alt in entry[1]:
                    s0 = alt.atoms[0]["sym"]
                    if s0 == "*" or s0 == ms:
                        ok = True
                        break
        if ok and fa["charge"] != 0:
            ok = fa["charge"] == mol.charge[m]
        if ok and fa["hyb"] != 0:
            ok = fa["hyb"] == mol.hyb[m]
        return ok

    @staticmethod
    def edge_ok(fb, mol, k):
        if fb["special"] == "~":
            return mol.btype[k] in (1, 2, 3)
        if fb["type"] == ccd.ANY_BOND:
            return True
        return fb["type"] == mol.btype[k]

    def matches(self, idx, mol, anchor):
        """Yields the atom and bond maps of every occurrence of fragment idx with atom 0 on the anchor."""
        f, nbrs, order, parent, deg = self.frag_cache[idx]
        if len(mol.adj[anchor]) < deg[0] or not self.vertex_ok(f.atoms[0], mol, anchor):
            return
        amap = {0: anchor}
        used = {anchor}
        bmap = {}

        def rec(pos):
            if pos == len(order):
                yield dict(amap), dict(bmap)
                return
            x = order[pos]
            px, pk = parent[x]
            mp = amap[px]
            for my, mk in mol.adj[mp]:
                if my in used or len(mol.adj[my]) < deg[x]:
                    continue
                if not self.edge_ok(f.bonds[pk], mol, mk) or not self.vertex_ok(f.atoms[x], mol, my):
                    continue
                # every other fragment bond from x to an atom already placed must exist in the molecule
                extra = {}
                good = True
                for y, k in nbrs[x]:
                    if k == pk or y not in amap:
                        continue
                    mk2 = next((kk for (z, kk) in mol.adj[my] if z == amap[y]), None)
                    if mk2 is None or not self.edge_ok(f.bonds[k], mol, mk2):
                        good = False
                        break
                    extra[k] = mk2
                if not good:
                    continue
                amap[x] = my
                used.add(my)
                bmap[pk] = mk
                bmap.update(extra)
                yield from rec(pos + 1)
                del amap[x]
                used.discard(my)
                bmap.pop(pk, None)
                for k in extra:
                    bmap.pop(k, None)

        yield from rec(1)

    def classify_atoms(self, mol):
        """Atom index -> (record, values) for every atom that matches a fragment."""
        out = {}
        for i in range(len(mol.sym)):
            for idx, rec in enumerate(self.records):
                if next(self.matches(idx, mol, i), None) is not None:
                    out[i] = rec
                    break
        return out

    def classify_bonds(self, mol):
        out = {}
        for i in range(len(mol.sym)):
            for idx, rec in enumerate(self.records):
                main = rec.frag.main_bond
                for amap, bmap in self.matches(idx, mol, i):
                    k = bmap.get(main)
                    if k is not None and k not in out:
                        out[k] = rec
        return out


VARIANTS = [(mode, hb, tt) for mode in ("written", "first_n") for hb in (ccd.ANY_BOND, 0) for tt in (0, ccd.ANY_BOND)]


def load_matchers(name, kind):
    path = os.path.join(DATA, name)
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    names = ccd.FILE_SPECS[name][0]
    matchers = []
    for mode, hb, tt in VARIANTS:
        lf = ccd.load(text, kind, names, tilde_type=tt, hbond_type=hb)
        if lf.problems:
            sys.exit("%s does not load: %s" % (name, lf.problems[0][1]))
        matchers.append(Matcher(lf, (mode, hb)))
    return matchers


def atom_values(matchers, mol, col=0):
    """Per-variant atom values; returns (values of the first reading, set of atoms whose value differs)."""
    results = []
    for m in matchers:
        cls = m.classify_atoms(mol)
        results.append({i: (float(rec.values[col]), rec) for i, rec in cls.items()})
    first = results[0]
    unstable = set()
    for other in results[1:]:
        for i in set(first) | set(other):
            if (first.get(i, (0.0,))[0]) != (other.get(i, (0.0,))[0]):
                unstable.add(i)
    return first, unstable


# ---------------------------------------------------------------------------------------------------------------
# RDKit references
# ---------------------------------------------------------------------------------------------------------------
def crippen_rows():
    """RDKit's Crippen typing rebuilt from the parameter table (first matching row wins); the two H2 rows are read
    with atomic numbers, as RDKit applies them.  Reproduces MolLogP/MolMR exactly on the fixture set."""
    path = os.path.normpath(os.path.join(REPO, "..", "shared", "reference-data", "Crippen.txt"))
    rows = []
    for line in open(path):
        if line.startswith("#") or not line.strip():
            continue
        f = line.rstrip("\n").split("\t")
        if len(f) < 3 or not f[1]:
            continue
        sma = f[1].replace("[#1]O[!C;!N;!O;!S]", "[#1]O[!#6;!#7;!#8;!#16]").replace("[#1][!C;!N;!O]", "[#1][!#6;!#7;!#8]")
        rows.append((f[0], Chem.MolFromSmarts(sma), float(f[2]), float(f[3]) if len(f) > 3 and f[3] else 0.0))
    return rows


def crippen_atom_types(mh, rows):
    types = [None] * mh.GetNumAtoms()
    for lab, patt, lp, mr in rows:
        for match in mh.GetSubstructMatches(patt, uniquify=False):
            if types[match[0]] is None:
                types[match[0]] = (lab, lp, mr)
    return types


def folded_crippen(mh, types):
    """Heavy atom -> (label, logP, MR) with its hydrogens' contributions added."""
    out = {}
    for a in mh.GetAtoms():
        if a.GetAtomicNum() == 1:
            continue
        t = types[a.GetIdx()] or ("-", 0.0, 0.0)
        lab, lp, mr = t
        hs = []
        for nb in a.GetNeighbors():
            if nb.GetAtomicNum() == 1:
                ht = types[nb.GetIdx()] or ("-", 0.0, 0.0)
                lp += ht[1]
                mr += ht[2]
                hs.append(ht[0])
        out[a.GetIdx()] = ("+".join([lab] + hs), lp, mr)
    return out


def environment(mh, i):
    a = mh.GetAtomWithIdx(i)
    nbs = sorted("%s%s%s" % ({1.0: "-", 2.0: "=", 3.0: "#", 1.5: ":"}.get(b.GetBondTypeAsDouble(), "?"),
                             b.GetOtherAtom(a).GetSymbol(), "(ar)" if b.GetOtherAtom(a).GetIsAromatic() else "")
                 for b in a.GetBonds())
    return "%s%s%s[%s]" % (a.GetSymbol(), "(ar)" if a.GetIsAromatic() else "",
                           "%+d" % a.GetFormalCharge() if a.GetFormalCharge() else "", " ".join(nbs))


def bond_label(mol, k):
    i, j = mol.bends[k]
    def side(x):
        arom = any(mol.btype[kk] == 3 for _, kk in mol.adj[x])
        return "%s%s" % (mol.sym[x], "ar" if arom else ("sp%d" % mol.hyb[x] if mol.sym[x] != "H" else ""))
    a, b = sorted([side(i), side(j)])
    return "%s%s%s" % (a, "-=#:"[mol.btype[k]], b)


def bond_report(molecules, files, show):
    """For bond files: which line each kind of bond gets, and bonds whose value depends on the reading."""
    for fname in files:
        matchers = load_matchers(fname, 1)
        table = collections.defaultdict(collections.Counter)
        unstable = 0
        for smi, name in molecules:
            m, mh = mol_from_smiles(smi)
            if m is None:
                continue
            mol = Mol(mh)
            results = [mt.classify_bonds(mol) for mt in matchers]
            for k in range(len(mol.btype)):
                vals = set(r[k].values[0] if k in r else None for r in results)
                if len(vals) > 1:
                    unstable += 1
                rec = results[0].get(k)
                table[bond_label(mol, k)][(rec.text + " = " + rec.values[0]) if rec else "(none)"] += 1
        print("\n%s: reading-dependent bonds: %d" % (fname, unstable))
        for lab in sorted(table, key=lambda l: -sum(table[l].values()))[:show]:
            print("  %-14s %s" % (lab, ", ".join("%s x%d" % (t, c) for t, c in table[lab].most_common(4))))


# Platts et al. 1999 fragments as transcribed in LillyMol's data/abraham/Abraham, rewritten as RDKit SMARTS.
ABRAHAM_CORRECTIONS = {43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 56, 70, 72, 77, 78, 79}
ABRAHAM_KEYS = ("r2", "pi2h", "beta2h", "beta2o", "logl")


def abraham_fragments():
    import re
    path = os.path.normpath(os.path.join(REPO, "..", "shared", "reference-data", "Abraham"))
    nitro = "[$([N](=O)=O),$([N+](=O)[O-])]"
    out = []
    for line in open(path):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        parts = line.split()
        sma, num = parts[0], int(parts[2][1:])
        vals = dict(re.findall(r"(r2|pi2h|beta2h|beta2o|logl)=(\S+)", line))
        s = (sma.replace("[/IWxA]", "[A]").replace("[/IWxa]", "[a]").replace("[/IWxc]", "[c]")
             .replace("[CD2G2]", "[CD2;$(C#*),$(C(=*)=*)]")
             .replace("[#7D3H0G0]", "[#7D3H0;!$(*=*);!$(*#*);!$(*:*)]")
             .replace("[SD2G0]", "[SD2;!$(*=*);!$(*#*);!$(*:*)]")
             .replace("[#7v<5]", "[#7;v1,v2,v3,v4]").replace("[A;!H]", "[A]"))
        if num in (23, 24, 25):   # nitro written with charges counts as the five-bond form
            s = s.replace("N(=O)(=O)", nitro).replace("-[A]", "-[A;!$([O-])]")
            if num == 25:
                s = "[O;!$([O-])]" + s[1:]
        if num == 30:
            s = "[$([OD1v2]),$([O-;D1][N+]=O)]"
        out.append((num, Chem.MolFromSmarts(s), [float(vals[k]) for k in ABRAHAM_KEYS]))
    return out


def abraham_reference(m, frags):
    """Sum of first-order fragments (each atom: first fragment 1-42 in list order that starts at it) plus the
    implemented corrections counted once per unique occurrence; no intercept."""
    total = [0.0] * 5
    typed = set()
    for num, patt, vals in frags:
        if num <= 42:
            for match in m.GetSubstructMatches(patt, uniquify=False):
                if match[0] not in typed:
                    typed.add(match[0])
                    total = [t + v for t, v in zip(total, vals)]
        elif num in ABRAHAM_CORRECTIONS:
            n = len(m.GetSubstructMatches(patt, uniquify=True))
            total = [t + n * v for t, v in zip(total, vals)]
    return total


def abraham_report(molecules, show):
    matchers = load_matchers("Abraham.txt", 0)
    frags = abraham_fragments()
    pairs = [[] for _ in range(5)]
    unstable = 0
    mismatch = collections.Counter()
    for smi, name in molecules:
        m, mh = mol_from_smiles(smi)
        if m is None:
            continue
        mol = Mol(mh)
        ref = abraham_reference(m, frags)
        results = [mt.classify_atoms(mol) for mt in matchers]
        typed = {}
        for num, patt, vals in frags:
            if num <= 42:
                for match in m.GetSubstructMatches(patt, uniquify=False):
                    typed.setdefault(match[0], num)
        for i in range(m.GetNumAtoms()):
            rec = results[0].get(i)
            ours = int(rec.values[0]) if rec else 0
            if ours <= 42 and ours != typed.get(i, 0):
                mismatch[(typed.get(i, 0), rec.text if rec else "(none)", environment(mh, i))] += 1
        for i in set().union(*results):
            if len(set(tuple(r[i].values) if i in r else None for r in results)) > 1:
                unstable += 1
        for c in range(5):
            ours = sum(float(rec.values[c + 1]) for i, rec in results[0].items() if mol.sym[i] != "H")
            pairs[c].append((ours, ref[c], name))
    print("Abraham.txt: reading-dependent atoms: %d" % unstable)
    for key, c in mismatch.most_common(show * 4):
        print("   %4d x ref fragment %s | ours %s | %s" % (c, key[0], key[1], key[2]))
    for c, key in enumerate(ABRAHAM_KEYS):
        n, mae, r2, worst = stats(pairs[c])
        within = sum(1 for o, r, _ in pairs[c] if abs(o - r) <= 0.001)
        print("  %-7s n=%d MAE=%.4f R2=%.5f equal(0.001): %.1f%%" % (key, n, mae, r2, 100.0 * within / n))
        for o, r, nm in worst[:show]:
            if abs(o - r) > 1e-6:
                print("     %-32s ours %.3f ref %.3f diff %+.3f" % (nm, o, r, o - r))


def coverage_report(molecules, files, show):
    """For atom files without an RDKit counterpart: heavy atoms left without a value, by environment, and atoms
    whose value depends on the reading."""
    for fname in files:
        matchers = load_matchers(fname, 0)
        missing = collections.Counter()
        lines = collections.Counter()
        unstable = 0
        for smi, name in molecules:
            m, mh = mol_from_smiles(smi)
            if m is None:
                continue
            mol = Mol(mh)
            vals, unst = atom_values(matchers, mol)
            unstable += len(unst)
            for i in range(m.GetNumAtoms()):
                if i in vals:
                    lines[vals[i][1].text] += 1
                else:
                    missing[environment(mh, i)] += 1
        print("\n%s: reading-dependent atoms: %d; heavy atoms without a value: %d"
              % (fname, unstable, sum(missing.values())))
        for env, c in missing.most_common(show):
            print("   no value %5d x %s" % (c, env))
        print("   lines used: " + ", ".join("%s x%d" % (t, c) for t, c in lines.most_common(show)))


def with_aromatic_bonds(smi, aromatic_pairs):
    """The RDKit molecule of smi with exactly the given heavy-atom bonds aromatic (None when that fails)."""
    m = Chem.MolFromSmiles(smi)
    if m is None:
        return None
    hydrogens = [a.GetTotalNumHs() for a in m.GetAtoms()]
    try:
        Chem.Kekulize(m, clearAromaticFlags=True)
    except Exception:  # noqa: BLE001 - RDKit raises its own exception types
        return None
    n = m.GetNumAtoms()
    for a, b in aromatic_pairs:
        if a >= n or b >= n:
            continue
        bond = m.GetBondBetweenAtoms(a, b)
        if bond is None:
            return None
        bond.SetBondType(Chem.BondType.AROMATIC)
        bond.SetIsAromatic(True)
        m.GetAtomWithIdx(a).SetIsAromatic(True)
        m.GetAtomWithIdx(b).SetIsAromatic(True)
    for a, h in zip(m.GetAtoms(), hydrogens):   # keep every atom's hydrogens as RDKit first read them
        a.SetNoImplicit(True)
        a.SetNumExplicitHs(h)
    m.UpdatePropertyCache(strict=False)
    return m


def product_report(molecules, dump_tool, show):
    """Runs the program's own classification (the classify_dump tool built from tools/) on the molecules,
    sums the atom values over heavy atoms and compares with RDKit, as the physicochemical block will."""
    import subprocess
    text = "".join("%s\t%s\n" % (smi, name) for smi, name in molecules)
    # the program's bond types (bond file mode of the tool prints atom1, atom2 and type per bond)
    out = subprocess.run([dump_tool, "bonds", os.path.join(DATA, "Distances.txt"), "Std distance"], input=text,
                         text=True, capture_output=True, check=True).stdout
    # the program's atom order: hydrogens of a bracket atom come right after it, so map its heavy atoms onto
    # RDKit's (SMILES order, hydrogens last)
    atoms_out = subprocess.run([dump_tool, "atoms", os.path.join(DATA, "Sasapar.txt"), "Van der Waals radius"],
                               input=text, text=True, capture_output=True, check=True).stdout
    heavy_index = {}
    for (smi, name), block in zip(molecules, atoms_out.split("\n\n")):
        rows = [r.split("\t") for r in block.strip("\n").split("\n") if r]
        if rows and rows[0][0] != "error":
            order = [int(r[0]) for r in rows if r[1] != "H"]
            heavy_index[name] = {p: k for k, p in enumerate(order)}
    product_aromatic = {}
    for (smi, name), block in zip(molecules, out.split("\n\n")):
        rows = [r.split("\t") for r in block.strip("\n").split("\n") if r]
        if rows and rows[0][0] != "error" and name in heavy_index:
            hx = heavy_index[name]
            product_aromatic[name] = {(hx[int(r[1])], hx[int(r[2])]) for r in rows
                                      if r[3] == "3" and int(r[1]) in hx and int(r[2]) in hx}
    jobs = [("Hydrophob.txt", "Hydrophobicity", lambda m: Crippen.MolLogP(m), 0.1),
            ("Refractivity.txt", "Molar refractivity", lambda m: Crippen.MolMR(m), 0.5),
            ("PolarSurface.txt", "Polar surface",
             lambda m: rdMolDescriptors.CalcTPSA(m, force=True, includeSandP=True), 0.01)]
    for fname, prop, ref, target in jobs:
        out = subprocess.run([dump_tool, "atoms", os.path.join(DATA, fname), prop], input=text, text=True,
                             capture_output=True, check=True).stdout
        blocks = out.split("\n\n")
        pairs, mdl_pairs, errors = [], [], 0
        for (smi, name), block in zip(molecules, blocks):
            rows = [r.split("\t") for r in block.strip("\n").split("\n") if r]
            if not rows or rows[0][0] == "error":
                errors += 1
                continue
            total = sum(float(r[4]) for r in rows if r[1] != "H" and r[4] != "-")
            m = Chem.MolFromSmiles(smi)
            if m is None:
                continue
            pairs.append((total, ref(m), name))
            # RDKit again, with the program's aromatic bonds instead of RDKit's own perception: separates differences
            # of aromaticity model (RDKit also aromatises rings with an exocyclic C=O) from differences of the files.
            arom = product_aromatic.get(name)
            if arom is not None:
                same = with_aromatic_bonds(smi, arom)
                if same is not None:
                    mdl_pairs.append((total, ref(same), name))
        for label, data in (("RDKit", pairs), ("RDKit with the program's aromatic bonds", mdl_pairs)):
            n, mae, r2, worst = stats(data)
            within = sum(1 for o, r, _ in data if abs(o - r) <= 0.01)
            print("\nprogram + %s vs %s: n=%d (parse errors %d)  MAE=%.4f (aim <= %g)  R2=%.6f  "
                  "|diff|<=0.01: %.1f%%" % (fname, label, n, errors, mae, target, r2, 100.0 * within / n))
            for o, r, nm in worst[:show]:
                if abs(o - r) > 1e-6:
                    print("   %-32s program %.4f  %s %.4f  diff %+.4f" % (nm, o, label, r, o - r))


def read_smi(path, limit):
    out = []
    with open(path) as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if not parts[0]:
                continue
            out.append((parts[0], parts[1] if len(parts) > 1 else ""))
            if limit and len(out) >= limit:
                break
    return out


def stats(pairs):
    n = len(pairs)
    diffs = [ours - ref for ours, ref, _ in pairs]
    mae = sum(abs(d) for d in diffs) / n
    mean_ref = sum(r for _, r, _ in pairs) / n
    ss_tot = sum((r - mean_ref) ** 2 for _, r, _ in pairs)
    ss_res = sum(d * d for d in diffs)
    r2 = 1 - ss_res / ss_tot if ss_tot else float("nan")
    return n, mae, r2, sorted(pairs, key=lambda p: -abs(p[0] - p[1]))


def freeze(molecules, out_path, count):
    """Writes RDKit's molecular reference values for `count` molecules spread over the fixture."""
    stride = max(1, len(molecules) // count)
    lines = [
        "# Reference molecular properties for the classification files, computed by RDKit 2022.09.3 (Debian",
        "# python3-rdkit) from the SMILES as written, with scripts/validate_properties.py --freeze.",
        "# Source molecules: every %d-th entry of shared/fixtures/drugs-2000.smi (single-fragment molecules only)." % stride,
        "# logP, MR: Crippen.MolLogP / Crippen.MolMR (Wildman & Crippen, J. Chem. Inf. Comput. Sci. 1999, 39, 868;",
        "#   all atoms including hydrogens).",
        "# TPSA_NO: rdMolDescriptors.CalcTPSA(includeSandP=False), TPSA_NOSP: includeSandP=True (Ertl, Rohde & Selzer,",
        "#   J. Med. Chem. 2000, 43, 3714).",
        "# heavy_atoms: heavy atom count; these sums are over all heavy atoms; the program's physicochemical block",
        "#   leaves out heavy atoms without a heavy neighbour (none occur here).",
        "name\tsmiles\theavy_atoms\tlogP\tMR\tTPSA_NO\tTPSA_NOSP",
    ]
    n = 0
    for k, (smi, name) in enumerate(molecules):
        if k % stride:
            continue
        m = Chem.MolFromSmiles(smi)
        if m is None:
            continue
        if any(a.GetDegree() == 0 for a in m.GetAtoms()) or len(Chem.GetMolFrags(m)) > 1:
            continue
        lines.append("%s\t%s\t%d\t%.4f\t%.4f\t%.2f\t%.2f" % (
            name, smi, m.GetNumHeavyAtoms(), Crippen.MolLogP(m), Crippen.MolMR(m),
            rdMolDescriptors.CalcTPSA(m, force=True, includeSandP=False),
            rdMolDescriptors.CalcTPSA(m, force=True, includeSandP=True)))
        n += 1
        if n >= count:
            break
    with open(out_path, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote %d molecules to %s" % (n, out_path))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--smi", default=DEFAULT_SMI)
    ap.add_argument("--limit", type=int, default=0)
    ap.add_argument("--files", default="Hydrophob.txt,Refractivity.txt,PolarSurface.txt")
    ap.add_argument("--freeze")
    ap.add_argument("--freeze-count", type=int, default=40)
    ap.add_argument("--show", type=int, default=15)
    ap.add_argument("--classify-dump", help="path of the classify_dump tool: compare the program's own matching")
    ap.add_argument("--coverage", help="comma-separated atom files to report coverage and stability for")
    ap.add_argument("--abraham", action="store_true", help="compare Abraham.txt with the fragment method")
    ap.add_argument("--bonds", help="comma-separated bond files to report on instead of the atom comparison")
    args = ap.parse_args()
    molecules = read_smi(args.smi, args.limit)
    if args.freeze:
        freeze(molecules, args.freeze, args.freeze_count)
        return 0
    if args.classify_dump:
        product_report(molecules, args.classify_dump, args.show)
        return 0
    if args.coverage:
        coverage_report(molecules, args.coverage.split(","), args.show)
        return 0
    if args.abraham:
        abraham_report(molecules, args.show)
        return 0
    if args.bonds:
        bond_report(molecules, args.bonds.split(","), args.show)
        return 0
    files = args.files.split(",")
    matchers = {name: load_matchers(name, ccd.FILE_SPECS[name][1]) for name in files}
    rows = crippen_rows()
    pairs = collections.defaultdict(list)
    atom_diffs = collections.defaultdict(collections.Counter)
    unstable_total = collections.Counter()
    skipped = 0
    for smi, name in molecules:
        m, mh = mol_from_smiles(smi)
        if m is None:
            skipped += 1
            continue
        mol = Mol(mh)
        types = crippen_atom_types(mh, rows)
        folded = folded_crippen(mh, types)
        tpsa = list(rdMolDescriptors._CalcTPSAContribs(m, includeSandP=True))
        refs = {"Hydrophob.txt": (Crippen.MolLogP(m), lambda i: folded[i][1], lambda i: folded[i][0]),
                "Refractivity.txt": (Crippen.MolMR(m), lambda i: folded[i][2], lambda i: folded[i][0]),
                "PolarSurface.txt": (rdMolDescriptors.CalcTPSA(m, force=True, includeSandP=True),
                                     lambda i: tpsa[i], lambda i: environment(mh, i))}
        for fname in files:
            if fname not in refs:
                continue
            vals, unstable = atom_values(matchers[fname], mol)
            unstable_total[fname] += len(unstable)
            total = 0.0
            for i in range(m.GetNumAtoms()):   # heavy atoms keep their indices after AddHs
                v = vals.get(i, (0.0, None))
                total += v[0]
                ref_atom = refs[fname][1](i)
                if abs(v[0] - ref_atom) > 1e-6:
                    key = (refs[fname][2](i) if fname != "PolarSurface.txt" else environment(mh, i),
                           environment(mh, i), v[1].text if v[1] else "(none)")
                    key = key + ("%.4g vs ours %.4g" % (ref_atom, v[0]),)
                    atom_diffs[fname][key] += 1
            pairs[fname].append((total, refs[fname][0], name))
    print("molecules: %d (skipped %d that RDKit cannot read)" % (len(pairs[files[0]]), skipped))
    for fname in files:
        if fname not in pairs:
            continue
        n, mae, r2, worst = stats(pairs[fname])
        within = sum(1 for o, r, _ in pairs[fname] if abs(o - r) <= 0.01)
        print("\n%s: n=%d  MAE=%.4f  R2=%.6f  |diff|<=0.01: %d (%.1f%%)  reading-dependent atoms: %d"
              % (fname, n, mae, r2, within, 100.0 * within / n, unstable_total[fname]))
        for o, r, nm in worst[:5]:
            if abs(o - r) > 1e-6:
                print("   worst: %-30s ours %.4f  RDKit %.4f  diff %+.4f" % (nm, o, r, o - r))
        for key, c in atom_diffs[fname].most_common(args.show):
            print("   %5d x  ref %s | %s | ours: %s | %s" % (c, key[0], key[1], key[2], key[3]))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Check the classification files in data/ for structural problems.

Reads each file the way the program's loader does (header, comment lines, symbol definitions, fragment lines with
their values) and reports every problem with its line number, using the loader's own message texts
('Error at line %d : "%s"').  Unlike the loader it does not stop at the first error: after a bad line it goes on
with the next one, so one run lists them all.  On top of the grammar it checks what the catalogue expects of each
file: the property names and the number of values per line, bond files having a bond in every fragment, numeric
values only, a citation comment at the top, no fragment written twice.

The module is also imported by scripts/validate_properties.py, which uses the parsed fragments to reproduce the
matching on real molecules.

Plain python3, standard library only.  Usage:
    python3 scripts/check_classification_data.py [data-folder-or-files...]
Exit status 0 when no problem was found, 1 otherwise.
"""

import os
import re
import sys

# Element symbols by atomic number 1..109, the program's element table.
ELEMENTS = (
    "H He Li Be B C N O F Ne Na Mg Al Si P S Cl Ar K Ca Sc Ti V Cr Mn Fe Co Ni Cu Zn Ga Ge As Se Br Kr Rb Sr Y Zr "
    "Nb Mo Tc Ru Rh Pd Ag Cd In Sn Sb Te I Xe Cs Ba La Ce Pr Nd Pm Sm Eu Gd Tb Dy Ho Er Tm Yb Lu Hf Ta W Re Os Ir "
    "Pt Au Hg Tl Pb Bi Po At Rn Fr Ra Ac Th Pa U Np Pu Am Cm Bk Cf Es Fm Md No Lr Rf Db Sg Bh Hs Mt"
).split()
ELEMENT_SET_LOWER = {e.lower() for e in ELEMENTS}

# The nine classification files: property names and element kind (0 atoms, 1 bonds), as the catalogue loads them.
FILE_SPECS = {
    "Hydrophob.txt": (["Hydrophobicity"], 0),
    "PolarSurface.txt": (["Polar surface"], 0),
    "Polarize.txt": (["Polarizability"], 0),
    "Sasapar.txt": (["Van der Waals radius"], 0),
    "Distances.txt": (["Std distance"], 1),
    "DipoleMoments.txt": (["Dipole moment"], 1),
    "DipoleMoments2.txt": (["Dipole moment (2)"], 1),
    "Refractivity.txt": (["Molar refractivity"], 0),
    "Abraham.txt": (["Abraham - Fragment Number", "Abraham - R2", "Abraham - pi2H", "Abraham - sum B2H",
                     "Abraham - sum B20", "Abraham - log L16"], 0),
}

BOND_CHARS = {"-": 0, "=": 1, "#": 2, ":": 3, "/": 0, "\\": 0}
ANY_BOND = 4


def is_element(symbol):
    return symbol.lower() in ELEMENT_SET_LOWER


class LoadError(Exception):
    """A problem the loader would report: line number and specific text."""

    def __init__(self, line, text):
        super().__init__('Error at line %d : "%s"' % (line, text))
        self.line = line
        self.text = text


class Reader:
    """Character reader with the tokenizer's line counting (a line is counted when its line feed is consumed)."""

    def __init__(self, text):
        self.s = text
        self.pos = 0
        self.line = 1

    def peek(self, n=1):
        return self.s[self.pos:self.pos + n]

    def at_end(self):
        return self.pos >= len(self.s)

    def take(self):
        c = self.s[self.pos]
        self.pos += 1
        if c == "\n":
            self.line += 1
        return c

    def skip_white(self):
        while not self.at_end() and self.s[self.pos] in " \t\r\n":
            self.take()

    def skip_blanks(self):
        while not self.at_end() and self.s[self.pos] in " \t":
            self.pos += 1

    def check_string(self, text):
        if self.s[self.pos:self.pos + len(text)].lower() == text.lower():
            self.pos += len(text)
            return True
        return False

    def at_line_end(self):
        return self.at_end() or self.s[self.pos] in "\r\n"

    def rest_of_line(self):
        start = self.pos
        while not self.at_line_end():
            self.pos += 1
        return self.s[start:self.pos]

    def skip_line(self):
        while not self.at_end():
            if self.take() == "\n":
                return


class SmilesError(Exception):
    pass


class Fragment:
    """A parsed fragment: atoms (symbol, charge, hybridisation mark, written) and bonds (a, b, type, special, depth)."""

    def __init__(self):
        self.atoms = []   # dicts: sym, charge, hyb, written
        self.bonds = []   # dicts: a, b, type, special ('~' or ''), depth
        self.main_bond = 0
        self._main_set = False

    def add_atom(self, sym, charge=0, hyb=0, written=True):
        self.atoms.append({"sym": sym, "charge": charge, "hyb": hyb, "written": written})
        return len(self.atoms) - 1

    def add_bond(self, a, b, char, depth, tilde_type, hbond_type):
        for bd in self.bonds:
            if {bd["a"], bd["b"]} == {a, b}:
                raise SmilesError("Invalid ring closure")
        if a == b:
            raise SmilesError("Invalid ring closure")
        special = ""
        if char == "~":
            btype, special = tilde_type, "~"
        elif char in BOND_CHARS:
            btype = BOND_CHARS[char]
        else:
            btype = hbond_type if depth == 0 else ANY_BOND
        self.bonds.append({"a": a, "b": b, "type": btype, "special": special, "depth": depth})
        if depth == 1 and self.main_bond == 0:
            self.main_bond = len(self.bonds) - 1

    def degree(self, i):
        return sum(1 for b in self.bonds if b["a"] == i or b["b"] == i)


def parse_fragment(rd, tilde_type=0, hbond_type=ANY_BOND):
    """Reads one fragment SMILES at the reader's position (no organic mode, no completion, the classification hook:
    any symbol, '~' bonds, '&spN' marks) and stops where the SMILES text ends.  Returns the Fragment."""
    frag = Fragment()
    rings = {}
    start = rd.pos
    s = rd.s

    def pos_err(msg):
        raise SmilesError("%s at position %d" % (msg, rd.pos - start))

    def read_symbol():
        if rd.pos < len(s) and s[rd.pos] == "*":
            rd.pos += 1
            return "*"
        if rd.pos < len(s) and "A" <= s[rd.pos] <= "Z":
            p = rd.pos + 1
            while p < len(s) and "a" <= s[p] <= "z":
                p += 1
            sym = s[rd.pos:p]
            rd.pos = p
            return sym
        if rd.pos < len(s) and "a" <= s[rd.pos] <= "z":
            pos_err("Unknown symbol")
        return None

    def read_bond_char():
        if rd.pos < len(s) and (s[rd.pos] in BOND_CHARS or s[rd.pos] == "~"):
            c = s[rd.pos]
            rd.pos += 1
            return c
        return None

    def read_atom():
        if rd.pos < len(s) and s[rd.pos] == "[":
            rd.pos += 1
            while rd.pos < len(s) and s[rd.pos].isdigit():
                rd.pos += 1
            sym = read_symbol()
            if sym is None:
                pos_err("Symbol expected")
            hyb = 0
            if s[rd.pos:rd.pos + 3] == "&sp":
                rd.pos += 3
                digit = ""
                if rd.pos < len(s) and s[rd.pos].isdigit():
                    digit = s[rd.pos]
                    rd.pos += 1
                hyb = 1 if digit == "" else (2 if digit == "2" else 3)
            while rd.pos < len(s) and s[rd.pos] == "@":
                rd.pos += 1
            nh = 0
            if rd.pos < len(s) and s[rd.pos] in "Hh":
                rd.pos += 1
                digits = ""
                while rd.pos < len(s) and s[rd.pos].isdigit():
                    digits += s[rd.pos]
                    rd.pos += 1
                nh = int(digits) if digits else 1
            charge = 0
            run = ""
            while rd.pos < len(s) and s[rd.pos] in "+-":
                run += s[rd.pos]
                rd.pos += 1
            if run:
                if len(set(run)) > 1:
                    pos_err("Invalid charge sign")
                sign = 1 if run[0] == "+" else -1
                if len(run) == 1:
                    digits = ""
                    while rd.pos < len(s) and s[rd.pos].isdigit():
                        digits += s[rd.pos]
                        rd.pos += 1
                    charge = sign * (int(digits) if digits else 1)
                else:
                    charge = sign * len(run)
            if rd.pos >= len(s) or s[rd.pos] != "]":
                pos_err('"]" expected')
            rd.pos += 1
            idx = frag.add_atom(sym, charge, hyb, True)
            for _ in range(nh):
                h = frag.add_atom("H", 0, 0, False)
                frag.add_bond(idx, h, " ", 0, tilde_type, hbond_type)
            return idx
        sym = read_symbol()
        if sym is None:
            return None
        return frag.add_atom(sym, 0, 0, True)

    def chain(depth):
        lead = read_bond_char()
        first = read_atom()
        if first is None:
            return None, lead
        current = first
        while True:
            # ring closures
            while True:
                save = rd.pos
                bc = read_bond_char()
                num = None
                if rd.pos < len(s) and s[rd.pos].isdigit():
                    num = int(s[rd.pos])
                    rd.pos += 1
                elif rd.pos < len(s) and s[rd.pos] == "%":
                    rd.pos += 1
                    d = ""
                    while len(d) < 2 and rd.pos < len(s) and s[rd.pos].isdigit():
                        d += s[rd.pos]
                        rd.pos += 1
                    if not d:
                        pos_err('Digit expected after "%"')
                    if len(d) < 2:
                        pos_err('Two digits expected after "%"')
                    num = int(d)
                if num is None:
                    rd.pos = save
                    break
                if num in rings:
                    other, oc = rings.pop(num)
                    if bc and oc and bc != oc:
                        pos_err("Bond kinds differs for the ring closure")
                    if other == current:
                        pos_err("Digit can't be reused for the same atom")
                    frag.add_bond(current, other, bc or oc or " ", depth, tilde_type, hbond_type)
                else:
                    rings[num] = (current, bc)
            pending = None
            # branches
            while rd.pos < len(s) and s[rd.pos] == "(":
                rd.pos += 1
                bfirst, blead = chain(depth + 1)
                if rd.pos >= len(s) or s[rd.pos] != ")":
                    pos_err("Branch closure expected")
                rd.pos += 1
                if bfirst is None:
                    break
                frag.add_bond(current, bfirst, blead or " ", depth + 1, tilde_type, hbond_type)
            pending = read_bond_char()
            dot = False
            if pending is None and rd.pos < len(s) and s[rd.pos] == ".":
                rd.pos += 1
                dot = True
            nxt = read_atom()
            if nxt is None:
                if pending is not None:
                    pos_err("Unexpected error")
                return first, lead
            if not dot:
                frag.add_bond(current, nxt, pending or " ", depth, tilde_type, hbond_type)
            current = nxt

    rd.skip_blanks()
    _, lead = chain(1)
    if lead is not None and frag.atoms:
        raise SmilesError("Main chain can't begin with a bond")
    if rings:
        raise SmilesError("Ring closure expected")
    frag.text = s[start:rd.pos].strip()
    return frag


NUMBER_RE = re.compile(r"[+-]?(\d+(\.\d+)?|\.\d+)")


class Record:
    def __init__(self, text, frag, values, line, file_index):
        self.text = text
        self.frag = frag
        self.values = values
        self.line = line
        self.file_index = file_index


class LoadedFile:
    def __init__(self):
        self.names = []
        self.class_name = ""
        self.symbols = {}        # lower-case name -> (kind, [Fragment alternatives], defining line)
        self.records = []        # in file order
        self.problems = []       # (line, message)
        self.has_property_line = False
        self.leading_comments = []

    def add_problem(self, line, text):
        self.problems.append((line, 'Error at line %d : "%s"' % (line, text)))

    def sorted_records(self, variant=("written", ANY_BOND)):
        """Fragments in matching order: decreasing atom count, specific atom count, specific bond count; ties keep
        file order.  The variant says how the two ambiguous counts are taken (see key())."""
        return sorted(self.records, key=lambda r: tuple(-k for k in self.key(r, variant)) + (r.file_index,))

    def key(self, rec, variant):
        frag = rec.frag
        atom_count = len(frag.atoms)
        mode = variant[0]
        if mode == "written":
            written = [a for a in frag.atoms if a["written"]]
            spec_atoms = sum(1 for a in written if a["sym"] != "*")
            n = len(written)
        else:  # the first n atoms of the graph, bracket hydrogens included
            n = rec.atoms_before_expansion
            spec_atoms = sum(1 for a in frag.atoms[:n] if a["sym"] != "*")
        spec_bonds = sum(1 for b in frag.bonds[:n] if b["type"] != ANY_BOND)
        return (atom_count, spec_atoms, spec_bonds)


def expand_fragment(lf, frag, element_kind, line):
    """Checks the fragment's symbols and expands two-atom user symbols, as the loader does at registration."""
    if element_kind == 1 and not frag.bonds:
        raise LoadError(line, "")
    n_written = len(frag.atoms)
    for i in range(n_written):
        sym = frag.atoms[i]["sym"]
        if sym == "*" or is_element(sym):
            continue
        entry = lf.symbols.get(sym.lower())
        if entry is None:
            raise LoadError(line, "Invalid symbol in fragment definition")
        kind, alts, _ = entry
        if kind == 2:
            alt = alts[0]
            frag.atoms[i]["sym"] = alt.atoms[0]["sym"]
            j = frag.add_atom(alt.atoms[1]["sym"], alt.atoms[1]["charge"], alt.atoms[1]["hyb"], True)
            ab = alt.bonds[0]
            frag.bonds.append({"a": i, "b": j, "type": ab["type"], "special": ab["special"], "depth": 9})
    return n_written


def add_alternative(lf, name, alt, line):
    if not (len(alt.atoms) == 1 or (len(alt.atoms) == 2 and len(alt.bonds) == 1)):
        raise LoadError(line, "Invalid symbol definition")
    for a in alt.atoms:
        if a["sym"] == "*" or is_element(a["sym"]):
            continue
        entry = lf.symbols.get(a["sym"].lower())
        if entry is None:
            raise LoadError(line, "Unknown symbol")
        if entry[0] != 1:
            raise LoadError(line, "Invalid symbol definition")
    kind, alts, dline = lf.symbols[name.lower()]
    if kind == 0:
        kind = len(alt.atoms)
    elif kind != 1:
        raise LoadError(line, "Invalid symbol definition")
    alts.append(alt)
    lf.symbols[name.lower()] = (kind, alts, dline)


def load(text, element_kind, given_names=None, tilde_type=0, hbond_type=ANY_BOND):
    """Parses a classification file text.  Returns a LoadedFile whose .problems lists every error found; after an
    error on a definition line parsing resumes at the next line (the real loader stops there)."""
    lf = LoadedFile()
    rd = Reader(text)
    # Comment lines before the header are noted for the citation check (the loader itself expects the header first).
    rd.skip_white()
    if rd.check_string("Property"):
        lf.has_property_line = True
        if given_names is not None:
            rd.rest_of_line()
            rd.skip_white()
            lf.names = list(given_names)
        else:
            rd.skip_blanks()
            if rd.peek() != "=":
                lf.add_problem(rd.line, '"=" expected after "Property"')
                return lf
            rd.pos += 1
            rd.skip_blanks()
            while True:
                start = rd.pos
                found = False
                while not rd.at_line_end():
                    c = rd.s[rd.pos]
                    rd.pos += 1
                    if c == ";":
                        found = True
                        break
                name = rd.s[start:rd.pos]
                if name == "":
                    lf.add_problem(rd.line, "Empty property")
                    return lf
                lf.names.append(name)
                rd.skip_white()
                if not found:
                    break
    else:
        if given_names is None:
            lf.add_problem(rd.line, '"Property = " expected')
            return lf
        lf.names = list(given_names)
    if rd.check_string("Class"):
        rd.skip_blanks()
        if rd.peek() != "=":
            lf.add_problem(rd.line, '"=" expected after "Class"')
            return lf
        rd.pos += 1
        rd.skip_blanks()
        lf.class_name = rd.rest_of_line()
        if lf.class_name.strip() == "":
            lf.add_problem(rd.line, "Empty class")
            return lf
        rd.skip_white()

    file_index = 0
    while not rd.at_end():
        line_start = rd.line
        if rd.peek(2) == "//":
            comment = rd.rest_of_line()
            if not lf.records and not lf.symbols:
                lf.leading_comments.append(comment)
            rd.skip_white()
            continue
        try:
            start = rd.pos
            try:
                frag = parse_fragment(rd, tilde_type, hbond_type)
            except SmilesError as e:
                raise LoadError(rd.line, str(e))
            smiles_text = rd.s[start:rd.pos]
            if not frag.atoms or smiles_text.strip() == "":
                raise LoadError(rd.line, "SMILES code expected")
            atoms_before_expansion = len(frag.atoms)
            rd.skip_blanks()
            if rd.peek() != "=":
                raise LoadError(rd.line, '"=" expected after ' + smiles_text)
            rd.pos += 1
            values = []
            registered = False
            while True:
                rd.skip_blanks()
                m = NUMBER_RE.match(rd.s, rd.pos)
                value = None
                if m and not (rd.s[m.end():m.end() + 1] == "." ):
                    value = m.group(0)
                    if value.lstrip("+-").startswith("."):
                        value = value.replace(".", "0.", 1)
                    rd.pos = m.end()
                elif rd.peek() == '"':
                    end = rd.s.find('"', rd.pos + 1)
                    nl = min([p for p in (rd.s.find("\r", rd.pos + 1), rd.s.find("\n", rd.pos + 1)) if p >= 0]
                             or [len(rd.s)])
                    if end < 0 or end > nl:
                        raise LoadError(rd.line, '" expected before end of line')
                    value = rd.s[rd.pos + 1:end]
                    rd.pos = end + 1
                    lf.problems.append((rd.line, "Line %d: quoted value %r in a numeric file" % (rd.line, value)))
                else:
                    if values:
                        raise LoadError(rd.line, "Value expected")
                    break
                if not registered:
                    expand_fragment(lf, frag, element_kind, rd.line)
                    registered = True
                values.append(value)
                rd.skip_blanks()
                if rd.peek() == ";":
                    rd.pos += 1
                    continue
                break
            if values:
                if len(values) < len(lf.names):
                    raise LoadError(rd.line, "Missing values")
                if len(values) > len(lf.names):
                    raise LoadError(rd.line, "Too much values defined")
                rec = Record(smiles_text.strip(), frag, values, line_start, file_index)
                rec.atoms_before_expansion = atoms_before_expansion
                file_index += 1
                lf.records.append(rec)
            else:
                # symbol definition
                if len(frag.atoms) != 1:
                    raise LoadError(rd.line, 'Numeric value expected after "="')
                name = frag.atoms[0]["sym"]
                if name.lower() in lf.symbols:
                    raise LoadError(rd.line, "Duplicated symbol")
                if is_element(name) or name == "*":
                    lf.problems.append((rd.line, "Line %d: symbol %r is an element or the wildcard and can never "
                                                 "act as a user symbol" % (rd.line, name)))
                lf.symbols[name.lower()] = (0, [], rd.line)
                while True:
                    try:
                        alt = parse_fragment(rd, tilde_type, hbond_type)
                    except SmilesError as e:
                        raise LoadError(rd.line, str(e))
                    if not alt.atoms:
                        raise LoadError(rd.line, "SMILES code expected")
                    add_alternative(lf, name, alt, rd.line)
                    rd.skip_blanks()
                    if rd.peek() == ",":
                        rd.pos += 1
                        continue
                    break
            rd.skip_blanks()
            if rd.peek(2) == "//":
                rd.rest_of_line()
            elif not rd.at_line_end():
                raise LoadError(rd.line, "End of line expected after definition")
            rd.skip_white()
        except LoadError as e:
            lf.problems.append((e.line, str(e)))
            if rd.line == line_start:
                rd.skip_line()
            rd.skip_white()
    return lf


def check_file(path, quiet=False):
    """Returns the list of problem texts for one file."""
    base = os.path.basename(path)
    problems = []
    if base not in FILE_SPECS:
        return ["%s: not one of the nine classification files" % base]
    names, kind = FILE_SPECS[base]
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("ascii")
    except UnicodeDecodeError as e:
        problems.append("%s: non-ASCII byte at offset %d (the program reads single-byte text)" % (base, e.start))
        text = raw.decode("latin-1")
    # Read as the catalogue does (names given) and as a stand-alone file (names from its Property line).
    lf = load(text, kind, given_names=names)
    for line, msg in lf.problems:
        problems.append("%s: %s" % (base, msg))
    alone = load(text, kind, given_names=None)
    read_names = [n.rstrip(";").strip() for n in alone.names]
    if not alone.has_property_line:
        problems.append("%s: no Property line at the start of the file" % base)
    elif read_names != names:
        problems.append("%s: Property line names %r, expected %r" % (base, read_names, names))
    if not any(re.search(r"(19|20)\d\d", c) for c in lf.leading_comments):
        problems.append("%s: the comment lines before the first definition cite no paper (no year found)" % base)
    seen = {}
    for rec in lf.records:
        if rec.text in seen:
            problems.append("%s: line %d repeats the fragment of line %d (%s); the later line is never used"
                            % (base, rec.line, seen[rec.text], rec.text))
        else:
            seen[rec.text] = rec.line
    if not lf.records:
        problems.append("%s: no fragment lines" % base)
    return problems


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    targets = argv[1:] or [os.path.join(here, "..", "data")]
    files = []
    for t in targets:
        if os.path.isdir(t):
            for name in FILE_SPECS:
                files.append(os.path.join(t, name))
        else:
            files.append(t)
    total = 0
    for path in files:
        if not os.path.exists(path):
            print("%s: missing" % path)
            total += 1
            continue
        problems = check_file(path)
        total += len(problems)
        for p in problems:
            print(p)
        if not problems:
            with open(path, "rb") as f:
                lf = load(f.read().decode("latin-1"), FILE_SPECS[os.path.basename(path)][1],
                          FILE_SPECS[os.path.basename(path)][0])
            print("%s: OK (%d fragments, %d symbols)" % (os.path.basename(path), len(lf.records), len(lf.symbols)))
    print("%d problem(s)" % total)
    return 1 if total else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

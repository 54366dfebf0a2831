// Tripos MOL2: records introduced by "@<TRIPOS>" lines. Only MOLECULE, ATOM, BOND and UNITY_ATOM_ATTR are read;
// every other record (SUBSTRUCTURE, COMMENT, SET, ...) is passed over up to the next record line.
#include "inputs/mol2_input.h"

#include "chem/completion.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "core/rounding.h"
#include "inputs/text_fields.h"

#include <climits>
#include <unordered_map>

namespace corvatin {

namespace {

using namespace text_fields;

constexpr std::string_view kRecordMark = "@<TRIPOS>";

// The charge types of a MOLECULE record that name a computed partial-charge model (Tripos MOL2 description):
// their charges say nothing about formal charges, which such files state in UNITY_ATOM_ATTR records. Only
// NO_CHARGES, USER_CHARGES or no charge type leave the charge column to be rounded to a formal charge.
constexpr std::string_view kComputedCharges[] = {"DEL_RE",          "GASTEIGER",        "GAST_HUCK",    "HUCKEL",
                                                 "PULLMAN",         "GAUSS80_CHARGES",  "AMPAC_CHARGES",
                                                 "MULLIKEN_CHARGES", "DICT_CHARGES",    "MMFF94_CHARGES"};

// Closes the molecule's update bracket however the molecule ends.
class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

bool IsIntegerText(std::string_view text) {
  std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

class Mol2Reader {
public:
  Mol2Reader(IParser& tokenizer, IMolecule& molecule, const std::string& fileName)
      : t_(tokenizer), molecule_(molecule), fileName_(fileName) {}

  bool Read();
  /// Fails (at the MOLECULE line) when the molecule read has no atoms.
  void RequireAtoms();

private:
  void ReadMoleculeRecord();
  void ReadAtomRecord();
  void ReadBondRecord();
  void ReadUnityAttributes();
  void ReadAtomLine();
  void ReadBondLine();
  /// Passes over lines up to the next record line (left unread) or the end.
  void SkipToNextRecord();
  /// Whether the position is at the start of a record line (nothing consumed).
  bool AtRecordLine();
  /// Blanks between two fields: at least one, all consumed; Fail otherwise.
  void Separator();
  IAtom* AtomById(int id);
  [[noreturn]] void Fail(const std::string& detail = {}) const {
    throw EInputError(FileErrorMessage(fileName_, t_.GetLineNumber(), detail));
  }

  IParser& t_;
  IMolecule& molecule_;
  const std::string& fileName_;
  int atomCount_ = 0;
  int bondCount_ = 0;
  bool computedCharges_ = false; // the charge column holds a computed model's partial charges
  // The ATOM record's ids: bonds and attributes name atoms by id, and ids need not be 1, 2, 3, ...
  std::unordered_map<int, IAtom*> atoms_;
  std::int64_t moleculeLine_ = 0; // where the MOLECULE record line starts
};

bool Mol2Reader::Read() {
  bool seenMolecule = false;
  while (!t_.AtEnd()) {
    const std::int64_t lineStart = t_.GetPosition();
    if (!t_.CheckString(kRecordMark)) {
      t_.SkipLine();
      continue;
    }
    std::string name;
    std::string rest;
    if (!t_.ReadLetters(name)) Fail();
    t_.ReadWord(rest); // UNITY_ATOM_ATTR goes on after its first letters
    const std::string record = Lower(name + rest);
    if (record == "molecule") {
      if (seenMolecule) {
        BackTo(t_, lineStart); // the next pass starts here
        return true;
      }
      seenMolecule = true;
      moleculeLine_ = lineStart;
      t_.SkipLine();
      ReadMoleculeRecord();
    } else if (record == "atom") {
      t_.SkipLine();
      ReadAtomRecord();
    } else if (record == "bond") {
      t_.SkipLine();
      ReadBondRecord();
    } else if (record == "unity_atom_attr") {
      t_.SkipLine();
      ReadUnityAttributes();
    } else {
      t_.SkipLine();
    }
  }
  return false;
}

void Mol2Reader::RequireAtoms() {
  if (molecule_.VertexCount() > 0) return;
  BackTo(t_, moleculeLine_);
  const std::string message = FileErrorMessage(fileName_, t_.GetLineNumber(), mol2_detail::kNoAtoms);
  t_.SkipLine(); // the search for the next molecule starts after this one's record line
  throw EInputError(message);
}

void Mol2Reader::ReadMoleculeRecord() {
  std::string name;
  if (!t_.ReadLine(name)) Fail(); // the name line must end: the counts line follows it
  molecule_.SetName(name);
  t_.SkipBlanks();
  if (!ReadUnsigned(t_, atomCount_)) Fail();
  Separator();
  if (!ReadUnsigned(t_, bondCount_)) Fail();
  t_.SkipLine();
  // Molecule type, charge type, status bits and comment are optional lines: the record ends at the next record
  // line, however many of them it has.
  computedCharges_ = false;
  std::string line;
  for (int k = 0; k < 2 && !t_.AtEnd() && !AtRecordLine(); ++k) {
    t_.ReadLine(line);
    if (k == 1)
      for (std::string_view model : kComputedCharges)
        if (Lower(TrimBlanks(line)) == Lower(model)) computedCharges_ = true;
  }
  SkipToNextRecord();
}

void Mol2Reader::ReadAtomRecord() {
  // The counts are not trusted for sizes: a record shorter than announced fails at its first missing line.
  for (int i = 0; i < atomCount_; ++i) ReadAtomLine();
}

void Mol2Reader::ReadAtomLine() {
  // atom_id atom_name x y z atom_type subst_id subst_name charge [status_bit]
  int id = 0;
  t_.SkipBlanks();
  if (!ReadUnsigned(t_, id)) Fail();
  Separator();
  std::string word;
  if (!ReadWord(t_, word)) Fail(); // atom name
  Separator();
  double xyz[3] = {0.0, 0.0, 0.0};
  for (double& c : xyz) {
    // An exponent is read too, so that 1e300 is refused for its size rather than for its letter.
    if (!ReadNumberToken(t_, c)) Fail();
    Separator();
  }
  std::string type;
  if (!ReadWord(t_, type)) Fail();
  Separator();
  int substId = 0;
  if (!ReadInteger(t_, substId)) Fail();
  Separator();
  if (!ReadWord(t_, word)) Fail(); // substructure name
  Separator();
  double charge = 0.0;
  if (!ReadNumberToken(t_, charge)) Fail();
  // A formal charge rounded from a computed partial charge would be wrong both ways (a phenol oxygen at -0.50
  // Gasteiger, an ammonium nitrogen near 0): such files give formal charges in UNITY_ATOM_ATTR only.
  const std::int64_t formal = computedCharges_ ? 0 : RoundHalfEven(charge);
  if (formal < INT_MIN || formal > INT_MAX) Fail(mol2_detail::kChargeRange);
  if (atoms_.count(id)) Fail(mol2_detail::kDuplicateAtom);
  for (double c : xyz)
    if (!CoordinateInRange(c)) Fail(mol2_detail::kCoordinateRange);

  IAtom* atom = molecule_.AddAtom();
  atoms_[id] = atom;
  // The SYBYL type names the element before its "." (C.3, N.ar); a type without "." is the element (Cl, Br).
  atom->SetSymbol(type.substr(0, type.find('.')));
  atom->SetX3D(xyz[0]);
  atom->SetY3D(xyz[1]);
  atom->SetZ3D(xyz[2]);
  atom->SetCharge(static_cast<int>(formal));
  t_.SkipLine(); // status bits
}

void Mol2Reader::ReadBondRecord() {
  for (int i = 0; i < bondCount_; ++i) ReadBondLine();
}

void Mol2Reader::ReadBondLine() {
  // bond_id origin_atom_id target_atom_id bond_type [status_bits]
  int id = 0;
  int origin = 0;
  int target = 0;
  t_.SkipBlanks();
  if (!ReadUnsigned(t_, id)) Fail();
  Separator();
  if (!ReadUnsigned(t_, origin)) Fail();
  Separator();
  if (!ReadUnsigned(t_, target)) Fail();
  Separator();
  std::string type;
  if (!ReadWord(t_, type)) Fail();
  type = Lower(type);
  int kind = bkSingle;
  if (IsIntegerText(type)) {
    if (type == "2" || type == "+2") kind = bkDouble;
    else if (type == "3" || type == "+3") kind = bkTriple;
  } else if (type == "ar") {
    kind = bkAromatic;
  } else if (type != "am" && type != "du" && type != "un" && type != "nc") {
    Fail(); // amide, dummy, unknown and not-connected bonds are read as single; nothing else is a bond type
  }
  IAtom* a1 = AtomById(origin);
  IAtom* a2 = AtomById(target);
  // A bond of an atom to itself or a repeated bond is refused by the molecule; there is nothing to type then.
  if (IBond* bond = molecule_.ConnectAtoms(a1, a2)) bond->SetBondType(kind);
  t_.SkipLine();
}

void Mol2Reader::ReadUnityAttributes() {
  // Per atom: "atom_id attribute_count", then that many "name value" lines. A "charge" attribute is the atom's
  // formal charge (written by Open Babel for charged atoms whose partial charge would round to another value,
  // such as the N+ and O- of a nitro group).
  while (true) {
    t_.SkipWhite();
    if (t_.AtEnd() || AtRecordLine()) return;
    int id = 0;
    int count = 0;
    if (!ReadUnsigned(t_, id)) Fail();
    Separator();
    if (!ReadUnsigned(t_, count)) Fail();
    if (!BlanksToLineEnd(t_)) Fail();
    IAtom* atom = AtomById(id);
    t_.SkipLine();
    for (int k = 0; k < count; ++k) {
      std::string name;
      std::string value;
      t_.SkipBlanks();
      if (!ReadWord(t_, name)) Fail();
      Separator();
      if (!ReadWord(t_, value)) Fail();
      if (Lower(name) == "charge") {
        long long charge = 0;
        if (!IsIntegerText(value)) Fail();
        try {
          charge = TextToInt(value);
        } catch (const std::exception&) {
          Fail(mol2_detail::kChargeRange);
        }
        if (charge < INT_MIN || charge > INT_MAX) Fail(mol2_detail::kChargeRange);
        atom->SetCharge(static_cast<int>(charge));
      }
      t_.SkipLine();
    }
  }
}

void Mol2Reader::SkipToNextRecord() {
  while (!t_.AtEnd() && !AtRecordLine()) t_.SkipLine();
}

bool Mol2Reader::AtRecordLine() {
  const std::int64_t start = t_.GetPosition();
  const bool found = t_.CheckString(kRecordMark);
  BackTo(t_, start);
  return found;
}

void Mol2Reader::Separator() {
  if (!AtBlank(t_)) Fail();
  t_.SkipBlanks();
}

IAtom* Mol2Reader::AtomById(int id) {
  const auto found = atoms_.find(id);
  if (found == atoms_.end()) Fail(mol2_detail::kAtomRange);
  return found->second;
}

} // namespace

bool ReadMol2Molecule(IParser& tokenizer, IMolecule& molecule, const std::string& fileName) {
  molecule.Clear();
  try {
    // Each atom's hybridisation text is written once, when the molecule is built.
    TBulkBuild bulk(molecule);
    UpdateBracket bracket(molecule);
    Mol2Reader reader(tokenizer, molecule, fileName);
    const bool more = reader.Read();
    reader.RequireAtoms();
    return more;
  } catch (...) {
    // A half-read molecule is no structure: nothing of it is handed on.
    molecule.Clear();
    throw;
  }
}

TTriposMOLInput::TTriposMOLInput() : TParserInput(1, true, kParamInputFile, kMOL2Filter, kMOL2DefaultFile) {}

void TTriposMOLInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kMOL2Heading);
  try {
    more = ReadMol2Molecule(*Tokenizer(), molecule, GetCurrentFile());
  } catch (const EInputError& e) {
    // The run goes on with the next molecule of the file.
    SkipToNextMol2Molecule(*Tokenizer());
    more = !Tokenizer()->AtEnd();
    throw RecordError(e);
  }
  // The record's end is found: another run's structure needs no more.
  if (Skimming()) return;
  // MOL2 has no hydrogen count field: every atom's hydrogens follow from its valence.
  CompleteAsRead(molecule, {}, true);
  FitView(molecule);
  ReportProgress();
}

bool TTriposMOLInput::LooksLikeFormat(std::string_view head, bool whole) const {
  return !whole || ContainsAnyLower(head, {"@<tripos>molecule"});
}

void SkipToNextMol2Molecule(IParser& tokenizer) {
  // The present position first: a molecule whose atoms ran short may have failed on the next one's record line.
  tokenizer.SkipBlanks();
  while (!tokenizer.AtEnd()) {
    const std::int64_t lineStart = tokenizer.GetPosition();
    std::string name;
    if (tokenizer.CheckString(kRecordMark) && tokenizer.ReadLetters(name) && Lower(name) == "molecule") {
      BackTo(tokenizer, lineStart);
      return;
    }
    BackTo(tokenizer, lineStart);
    tokenizer.SkipLine();
  }
}

} // namespace corvatin

// The MOPAC output reader: the search for section headings, the title and the filled levels, the end of the file,
// and the block with its classification answers. The tables live in mopac_tables.cpp, the bond orders in
// mopac_bond_orders.cpp, the eigenvectors in mopac_vectors.cpp.
#include "inputs/mopac_reader.h"

#include "chem/completion.h"
#include "chem/distance_bonds.h"
#include "chem/elements.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/text_fields.h"

#include <stdexcept>

namespace corvatin {

namespace mopac_detail {

namespace {

using namespace text_fields;

// In the order of Section.
const std::vector<std::string> kHeadings = {"T=",
                                            "CARTESIAN COORDINATES",
                                            "NO. OF FILLED LEVELS",
                                            "EIGENVECTORS",
                                            "NET ATOMIC CHARGES",
                                            "BOND ORDERS AND VALENCIES",
                                            "(VALENCIES)   BOND ORDERS"};

class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

} // namespace

std::string FormatNumbers(std::string format, std::initializer_list<long long> values) {
  for (long long value : values) {
    const auto at = format.find("%d");
    if (at == std::string::npos) break;
    format.replace(at, 2, std::to_string(value));
  }
  return format;
}

void MopacReader::Read() {
  {
    UpdateBracket bracket(molecule_);
    for (int section = NextSection(); section >= 0; section = NextSection()) {
      if (hooks_.progress) hooks_.progress();
      switch (section) {
      case scTitle:
        ReadTitle();
        break;
      case scCoordinates:
        ReadCoordinates();
        break;
      case scFilledLevels:
        ReadFilledLevels();
        break;
      case scEigenvectors:
        ReadEigenvectors();
        break;
      case scCharges:
        ReadCharges();
        break;
      case scBondMatrix:
        ReadBondMatrix();
        break;
      default:
        ReadBondList();
        break;
      }
    }
    t_.SeekEnd();
    CommitEigenvectors();
    if (!bondOrdersRead_) ConnectByDistance(molecule_);
    // Bonds from distances carry no orders: rings are judged by their shape.
    PerceiveAromaticity(molecule_, false, true, true);
  }
  FitView(molecule_);
  // Last: every change of the molecule, the view fit included, clears the mark again.
  MarkHydrogensDone(molecule_);
}

int MopacReader::NextSection() {
  // Line by line, the heading that starts first in the line wins (list order only between headings at the same
  // place): a block-wise search that prefers a heading by list order anywhere in a block could pass over a
  // section that starts earlier in the same block. Headings never span lines.
  std::string line;
  while (!t_.AtEnd()) {
    const std::int64_t start = t_.GetPosition();
    t_.ReadLine(line);
    std::size_t best = std::string::npos;
    int found = -1;
    for (std::size_t k = 0; k < kHeadings.size(); ++k) {
      const std::size_t at = line.find(kHeadings[k]);
      if (at < best) {
        best = at;
        found = static_cast<int>(k);
      }
    }
    if (found >= 0) {
      BackTo(t_, start + static_cast<std::int64_t>(best + kHeadings[static_cast<std::size_t>(found)].size()));
      return found;
    }
  }
  return -1;
}

void MopacReader::ReadTitle() {
  // MOPAC's keyword line holds "T=" and the time limit; the title is the next line.
  std::string number;
  if (!t_.ReadFloatText(number)) return;
  t_.SkipLine();
  t_.SkipBlanks();
  std::string title;
  t_.ReadLine(title);
  molecule_.SetName(title);
}

void MopacReader::ReadFilledLevels() {
  t_.SkipBlanks();
  if (!t_.CheckString("=")) Fail();
  t_.SkipBlanks();
  if (!ReadUnsigned(t_, filledLevels_)) Fail();
  molecule_.SetFloat(kParamFilledLevels, filledLevels_);
}

IAtom* MopacReader::AtomReference(int number) {
  RequireBlank();
  std::string symbol;
  if (!t_.ReadLetters(symbol)) {
    int z = 0;
    if (!ReadUnsigned(t_, z) || !IsValidAtomicNumber(z)) Fail();
    symbol = ElementSymbol(z);
  }
  RequireBlank();
  if (atomsKnown_) return AtomNumbered(number);
  if (number != molecule_.VertexCount() + 1) Fail(kAtomSequence);
  IAtom* atom = molecule_.AddAtom();
  atom->SetSymbol(symbol);
  return atom;
}

bool MopacReader::LabelledReference(int& number) {
  const std::int64_t start = t_.GetPosition();
  std::string symbol;
  if (t_.ReadLetters(symbol)) {
    t_.SkipBlanks();
    if (ReadUnsigned(t_, number)) return true;
  }
  BackTo(t_, start);
  return false;
}

IAtom* MopacReader::AtomNumbered(int number) {
  if (number < 1 || number > molecule_.VertexCount()) Fail(kAtomRange);
  return molecule_.GetAtom(number - 1);
}

void MopacReader::StoreBondOrder(int i, int j, double value) {
  IAtom* a = AtomNumbered(i);
  IAtom* b = AtomNumbered(j);
  // Pairs without a bond of the molecule (and the valencies on the diagonal) are dropped.
  if (IBond* bond = a->GetBondTo(b)) bond->SetFloat(kParamBondOrder, value);
}

void MopacReader::RequireBlank() {
  if (!AtBlank(t_)) Fail();
  t_.SkipBlanks();
}

double MopacReader::RequireFloat() {
  double value = 0.0;
  if (!ReadFloat(t_, value)) Fail();
  return value;
}

void MopacReader::Fail(const std::string& detail) const {
  // The tokenizer counts the line ends before the position, however far the heading search jumped: the line
  // named is the true one.
  throw EInputError(FileErrorMessage(fileName_, t_.GetLineNumber(), detail));
}

} // namespace mopac_detail

void ReadMopacOutput(IParser& tokenizer, IMolecule& molecule, const std::string& fileName,
                     const MopacReadHooks& hooks) {
  molecule.DeleteParam(kParamEigenvalues);
  molecule.DeleteParam(kParamFilledLevels);
  molecule.Clear();
  try {
    mopac_detail::MopacReader(tokenizer, molecule, fileName, hooks).Read();
  } catch (const EInputError&) {
    molecule.Clear(); // a half-read file is no structure
    throw;
  }
}

TMOPACInput::TMOPACInput() : TParserInput(1, true, kParamInputFile, kMOPACFilter, kMOPACDefaultFile) {}

void TMOPACInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  more = false; // one structure per file, even when it holds several calculations
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kMOPACHeading);
  MopacReadHooks hooks;
  hooks.warning = [this](const std::string& text) { LogWarning(text); };
  hooks.progress = [this] { ReportProgress(); };
  ReadWholeFile([&] { ReadMopacOutput(*Tokenizer(), molecule, GetCurrentFile(), hooks); });
  ReportProgress();
}

bool TMOPACInput::LooksLikeFormat(std::string_view head, bool whole) const {
  // Every MOPAC or AMPAC output names its program and has a coordinates or charges section near its start.
  return !whole || ContainsAnyLower(head, {"mopac", "ampac", "cartesian coordinates", "net atomic charges"});
}

void TMOPACInput::Classify(const Ptr<ISubGraph>&) {}

int TMOPACInput::GetValueCount(int kind) const {
  switch (kind) {
  case ekAtoms:
    return 2;
  case ekBonds:
    return 1;
  default:
    return 0;
  }
}

std::string TMOPACInput::GetValueName(int kind, int index) const {
  if (kind == ekAtoms && index == 0) return kParamNetAtomicCharge;
  if (kind == ekAtoms && index == 1) return kParamElectronDensity;
  if (kind == ekBonds && index == 0) return kParamBondOrder;
  throw std::out_of_range("No value " + std::to_string(index) + " of element kind " + std::to_string(kind));
}

} // namespace corvatin

#include "inputs/zmatrix_input.h"

#include "chem/completion.h"
#include "chem/distance_bonds.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/text_fields.h"

namespace corvatin {

namespace {

using namespace text_fields;

class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

class ZMatrixReader {
public:
  ZMatrixReader(IParser& tokenizer, IMolecule& molecule, const std::string& fileName)
      : t_(tokenizer), molecule_(molecule), fileName_(fileName) {}

  void Read();

private:
  void ReadHeader();
  /// One atom line after its symbol.
  ZMatrixLine ReadAtomLine(int index);
  double Value();
  void Flag();
  void ReadReferences(ZMatrixLine& line, int index);
  void CheckCoordinates(const std::vector<std::int64_t>& lineStarts);
  void RemoveDummies();
  [[noreturn]] void Fail(const std::string& detail = {}) const {
    throw EInputError(FileErrorMessage(fileName_, t_.GetLineNumber(), detail));
  }

  IParser& t_;
  IMolecule& molecule_;
  const std::string& fileName_;
};

void ZMatrixReader::Read() {
  std::vector<ZMatrixLine> lines;
  std::vector<std::int64_t> lineStarts; // of the atom lines, for the message about an atom placed out of range
  {
    UpdateBracket bracket(molecule_);
    ReadHeader();
    while (true) {
      t_.SkipWhite(); // MOPAC right-aligns the symbols: " C" under "Cl"
      std::string symbol;
      lineStarts.push_back(t_.GetPosition());
      if (!t_.ReadLetters(symbol)) break; // a line that does not start with letters ends the atoms
      const ZMatrixLine line = ReadAtomLine(static_cast<int>(lines.size()));
      t_.SkipLine();
      IAtom* atom = molecule_.AddAtom();
      atom->SetSymbol(symbol);
      atom->SetInternalCoords(line.distance, line.angle, line.torsion);
      lines.push_back(line);
    }
    if (IsChainZMatrix(lines))
      molecule_.BuildFromInternalCoords();
    else
      BuildFromReferences(molecule_, lines);
    CheckCoordinates(lineStarts);
    RemoveDummies();
    t_.SeekEnd();
    ConnectByDistance(molecule_);
    PerceiveAromaticity(molecule_, false, true, true);
  }
  FitView(molecule_);
  // Last: every change of the molecule, the view fit included, clears the mark again.
  MarkHydrogensDone(molecule_);
}

void ZMatrixReader::ReadHeader() {
  t_.SkipLine();
  t_.SkipBlanks();
  if (!t_.CheckString("Name:")) Fail();
  std::string name;
  t_.ReadLine(name);
  molecule_.SetName(TrimBlanks(name));
  t_.SkipBlanks();
  if (!t_.CheckString("MOPAC")) Fail();
  t_.SkipLine();
}

ZMatrixLine ZMatrixReader::ReadAtomLine(int index) {
  ZMatrixLine line;
  line.distance = Value();
  Flag();
  line.angle = Value();
  Flag();
  line.torsion = Value();
  ReadReferences(line, index);
  return line;
}

double ZMatrixReader::Value() {
  double value = 0.0;
  t_.SkipBlanks();
  if (!ReadFloat(t_, value)) Fail();
  return value;
}

void ZMatrixReader::Flag() {
  // MOPAC writes its optimisation flags as 0, 1, +0, +1 or -1.
  std::string flag;
  t_.SkipBlanks();
  if (!t_.ReadIntegerText(flag)) Fail();
}

void ZMatrixReader::ReadReferences(ZMatrixLine& line, int index) {
  // After the torsion: its flag, then the three reference atoms. Fewer than four integers carry no references.
  int numbers[4] = {0, 0, 0, 0};
  int count = 0;
  while (count < 4) {
    const std::int64_t start = t_.GetPosition();
    t_.SkipBlanks();
    int value = 0;
    if (!ReadInteger(t_, value) || !(AtBlank(t_) || t_.AtEndOfLine())) {
      BackTo(t_, start);
      break;
    }
    numbers[count++] = value;
  }
  if (count < 4) return;
  line.refs = {numbers[1], numbers[2], numbers[3]};
  line.hasReferences = true;
  // A line whose references are all 0 beyond the third atom names none: it stays on the chain.
  if (index >= 3 && line.refs == std::array<int, 3>{0, 0, 0}) {
    line.hasReferences = false;
    return;
  }
  // The first atoms need fewer references; MOPAC writes 0 for the others and may leave any value in their
  // fields, which mean nothing.
  const int needed = index < 3 ? index : 3;
  double* fields[3] = {&line.distance, &line.angle, &line.torsion};
  for (int k = 0; k < 3; ++k) {
    const int ref = line.refs[static_cast<std::size_t>(k)];
    if (k >= needed) {
      if (ref != 0) Fail(zmatrix_detail::kBadReference);
      *fields[k] = 0.0;
      continue;
    }
    if (ref < 1 || ref > index) Fail(zmatrix_detail::kBadReference);
    for (int other = 0; other < k; ++other)
      if (line.refs[static_cast<std::size_t>(other)] == ref) Fail(zmatrix_detail::kBadReference);
  }
}

void ZMatrixReader::CheckCoordinates(const std::vector<std::int64_t>& lineStarts) {
  for (int i = 0; i < molecule_.VertexCount(); ++i) {
    const IAtom* atom = molecule_.GetAtom(i);
    if (CoordinateInRange(atom->GetX3D()) && CoordinateInRange(atom->GetY3D()) && CoordinateInRange(atom->GetZ3D()))
      continue;
    BackTo(t_, lineStarts[static_cast<std::size_t>(i)]);
    Fail(zmatrix_detail::kCoordinateRange);
  }
}

void ZMatrixReader::RemoveDummies() {
  for (int i = molecule_.VertexCount() - 1; i >= 0; --i)
    if (Lower(molecule_.GetAtom(i)->GetSymbol()) == Lower(kDummySymbol)) molecule_.DeleteVertexAt(i);
}

} // namespace

void ReadZMatrix(IParser& tokenizer, IMolecule& molecule, const std::string& fileName) {
  molecule.Clear();
  try {
    ZMatrixReader(tokenizer, molecule, fileName).Read();
  } catch (const EInputError&) {
    molecule.Clear();
    throw;
  }
}

TZMatrixInput::TZMatrixInput() : TParserInput(1, true, kParamInputFile, kZMatrixFilter, kZMatrixDefaultFile) {}

void TZMatrixInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  more = false; // a Z-matrix file holds one structure
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kZMatrixHeading);
  ReadWholeFile([&] { ReadZMatrix(*Tokenizer(), molecule, GetCurrentFile()); });
  ReportProgress();
}

bool TZMatrixInput::LooksLikeFormat(std::string_view head, bool) const {
  return ContainsAnyLower(head.substr(0, 4096), {"name:", "mopac"});
}

} // namespace corvatin

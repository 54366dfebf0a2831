// The record as a whole: header and counts line, the hydrogen counts, the end of an SD record; and the block.
#include "inputs/mol_reader.h"

#include "chem/completion.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "core/numtext.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace corvatin {

namespace mol_detail {

namespace {

// Closes the molecule's update bracket however the record ends.
class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

} // namespace

std::string Columns(const std::string& line, std::size_t first, std::size_t width) {
  if (first == 0 || first > line.size()) return {};
  return line.substr(first - 1, width);
}

std::string TrimBlanks(const std::string& text) {
  const auto begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  const auto end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

int BondKindFromCode(long long code) {
  switch (code) {
  case 2:
    return bkDouble;
  case 3:
    return bkTriple;
  case 4:
    return bkAromatic;
  default:
    return bkSingle;
  }
}

bool ChargeFromCode(long long code, int& charge) {
  if (code < 1 || code > 7) return false;
  charge = 4 - static_cast<int>(code);
  return true;
}

void MolRecordReader::Read() {
  molecule_.Clear();
  try {
    TBulkBuild bulk(molecule_);
    UpdateBracket bracket(molecule_);
    std::string title;
    RequireLine(title);
    molecule_.SetName(title);
    int atomCount = 0;
    int bondCount = 0;
    const CtabVersion version = ReadHeader(atomCount, bondCount);
    if (version == CtabVersion::V3000) {
      ReadV3000();
    } else {
      ReadV2000Atoms(atomCount);
      ReadV2000Bonds(bondCount);
      // Without the stamp the record predates the properties block: its "M  CHG" lines are not read and the
      // atom block's charges stay.
      if (version == CtabVersion::V2000) ReadV2000Properties();
    }
    // A record without atoms is no structure; said at its counts line.
    if (tableAtoms_ == 0) {
      failAt_ = countsLine_;
      Fail(kNoAtoms);
    }
    AddHydrogens();
    SkipToRecordEnd();
  } catch (...) {
    // A half-read record is no structure: nothing of it is handed on.
    molecule_.Clear();
    throw;
  }
}

CtabVersion MolRecordReader::ReadHeader(int& atomCount, int& bondCount) {
  std::string text;
  RequireLine(text); // program and time stamp
  RequireLine(text); // comment
  RequireLine(text); // counts line
  countsLine_ = failAt_;
  auto count = [this, &text](std::size_t column, const char* detail) {
    const std::string field = TrimBlanks(Columns(text, column, 3));
    if (field.empty()) return 0;
    long long value = -1;
    try {
      value = TextToInt(field);
    } catch (const std::exception&) {
      Fail(detail);
    }
    if (value < 0) Fail(detail);
    return static_cast<int>(value);
  };
  atomCount = count(1, kAtomCount);
  bondCount = count(4, kBondCount);
  const std::string rest = text.size() > 6 ? text.substr(6) : std::string();
  const std::string version = rest.size() < 33 ? std::string() : TrimBlanks(rest.substr(27, 6));
  if (version.empty()) return CtabVersion::V2000Plain;
  if (version == "V2000") return CtabVersion::V2000;
  if (version == "V3000") return CtabVersion::V3000;
  Fail(kMsgNotMolFile);
}

int MolRecordReader::HydrogensFromField(long long field) const { return HydrogensFromCount(field - 1); }

int MolRecordReader::HydrogensFromCount(long long count) const {
  if (count > kMaxHydrogensPerAtom) Fail(kHydrogenRange);
  return static_cast<int>(std::max(count, 0LL));
}

IAtom* MolRecordReader::TableAtom(long long number) const {
  if (number < 1 || number > tableAtoms_) Fail(kAtomRange);
  return molecule_.GetAtom(static_cast<int>(number - 1));
}

void MolRecordReader::AddBond(long long first, long long second, long long code) {
  IAtom* a1 = TableAtom(first);
  IAtom* a2 = TableAtom(second);
  if (IBond* bond = molecule_.ConnectAtoms(a1, a2)) bond->SetBondType(BondKindFromCode(code));
}

IAtom* MolRecordReader::AddTableAtom() {
  IAtom* atom = molecule_.AddAtom();
  ++tableAtoms_;
  hydrogens_.push_back(0);
  valences_.push_back(0);
  stated_.push_back(0);
  return atom;
}

void MolRecordReader::AddHydrogens() {
  for (int i = 0; i < tableAtoms_; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    // A stated valence implies the hydrogens that fill it up from the bonds drawn (15 is valence 0).
    if (valences_[k] > 0 && valences_[k] < 15)
      hydrogens_[k] = std::max(hydrogens_[k], valences_[k] - molecule_.GetAtom(i)->BondOrderSum());
    const int count = hydrogens_[k];
    for (int k = 0; k < count; ++k) {
      IAtom* hydrogen = molecule_.AddAtom();
      hydrogen->SetSymbol("H");
      molecule_.ConnectAtoms(molecule_.GetAtom(i), hydrogen);
    }
  }
}

void MolRecordReader::SkipToRecordEnd() {
  std::string text;
  while (NextLine(text))
    if (StartsWith(text, "$$$$")) return;
}

bool MolRecordReader::NextLine(std::string& text) {
  text.clear();
  failAt_ = tokenizer_.GetPosition();
  if (tokenizer_.AtEnd()) return false;
  tokenizer_.ReadLine(text);
  return true;
}

void MolRecordReader::RequireLine(std::string& text) {
  if (!NextLine(text)) Fail(kEndOfFile);
}

void MolRecordReader::Fail(const std::string& detail) const {
  tokenizer_.Back(tokenizer_.GetPosition() - failAt_);
  throw EInputError(FileErrorMessage(fileName_, tokenizer_.GetLineNumber(), detail));
}

void MolRecordReader::FailHere() const {
  throw EInputError(FileErrorMessage(fileName_, tokenizer_.GetLineNumber()));
}

} // namespace mol_detail

bool ReadMolRecord(IParser& tokenizer, IMolecule& molecule, const std::string& fileName,
                   std::vector<char>* hydrogensStated) {
  mol_detail::MolRecordReader reader(tokenizer, molecule, fileName);
  reader.Read();
  if (hydrogensStated) *hydrogensStated = reader.HydrogensStated();
  // White space after the last record is no further record. White space before a record is part of it: an SD
  // record may well begin with an empty name line.
  const std::int64_t start = tokenizer.GetPosition();
  tokenizer.SkipWhite();
  if (tokenizer.AtEnd()) return false;
  tokenizer.Back(tokenizer.GetPosition() - start);
  return true;
}

void SkipPastRecordEnd(IParser& tokenizer) {
  std::string text;
  while (!tokenizer.AtEnd()) {
    tokenizer.ReadLine(text);
    if (text.compare(0, 4, "$$$$") == 0) break;
  }
  // Blank lines after the mark begin the next record, whose name line may be empty, as after a record read whole;
  // only when nothing else follows are they passed over.
  const std::int64_t start = tokenizer.GetPosition();
  tokenizer.SkipWhite();
  if (!tokenizer.AtEnd()) tokenizer.Back(tokenizer.GetPosition() - start);
}

TMOLInput::TMOLInput() : TParserInput(1, true, kParamInputFile, kMOLFilter, kMOLDefaultFile) {}

void TMOLInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kMOLHeading);
  std::vector<char> hydrogensStated;
  {
    // Read and completed as one build: each atom's hybridisation text is written once, at the end.
    TBulkBuild bulk(molecule);
    try {
      more = ReadMolRecord(*Tokenizer(), molecule, GetCurrentFile(), &hydrogensStated);
    } catch (const EInputError& e) {
      // The next record begins after this one's "$$$$": the run goes on there.
      SkipPastRecordEnd(*Tokenizer());
      more = !Tokenizer()->AtEnd();
      throw RecordError(e);
    }
    // The record's end is found: another run's structure needs no more.
    if (Skimming()) return;
    CompleteAsRead(molecule, hydrogensStated, true);
    FitView(molecule);
  }
  ReportProgress();
}

bool TMOLInput::LooksLikeFormat(std::string_view head, bool) const {
  for (std::string_view mark : {"M  END", "$$$$", "V2000", "V3000"})
    if (head.find(mark) != std::string_view::npos) return true;
  // An old molfile without any of them: its fourth line is a counts line, two numbers in columns 1-6.
  std::size_t at = 0;
  for (int line = 0; line < 3 && at != std::string_view::npos; ++line) {
    at = head.find_first_of("\r\n", at);
    if (at != std::string_view::npos) at += (head.compare(at, 2, "\r\n") == 0) ? 2 : 1;
  }
  if (at == std::string_view::npos) return false;
  const std::string counts(head.substr(at, 6));
  if (counts.size() < 6) return false;
  for (std::size_t k = 0; k < 6; ++k)
    if (counts[k] != ' ' && (counts[k] < '0' || counts[k] > '9')) return false;
  return mol_detail::TrimBlanks(counts.substr(0, 3)).size() > 0;
}

} // namespace corvatin

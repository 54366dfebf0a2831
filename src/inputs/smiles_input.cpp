#include "inputs/smiles_input.h"

#include "chem/completion.h"
#include "core/errors.h"

namespace corvatin {

namespace {

// The next character without consuming it; -1 at the end.
int PeekChar(IParser& tokenizer) {
  std::string ch;
  if (!tokenizer.ReadChars(ch, 1)) return -1;
  tokenizer.Back(1);
  return static_cast<unsigned char>(ch[0]);
}

bool TakeChar(IParser& tokenizer, char wanted) {
  if (PeekChar(tokenizer) != static_cast<unsigned char>(wanted)) return false;
  std::string ch;
  return tokenizer.ReadChars(ch, 1);
}

std::string TrimTrailingBlanks(std::string text) {
  const auto last = text.find_last_not_of(" \t");
  text.erase(last == std::string::npos ? 0 : last + 1);
  return text;
}

} // namespace

TSMILESInput::TSMILESInput(bool environmentMode)
    : TParserInput(1, true, kParamInputFile, kSMILESFilter, ""), environmentMode_(environmentMode) {}

void TSMILESInput::Start(IWorkerThread* thread) {
  TParserInput::Start(thread);
  parser_ = NewSMILESParser(true, this, true);
}

void TSMILESInput::Stop() {
  parser_.reset();
  TParserInput::Stop();
}

bool TSMILESInput::PairedLines() const {
  // Exactly ".sml2": a name written "X.SML2" is read as a plain SMILES file.
  const std::string& name = GetCurrentFile();
  const auto dot = name.find_last_of('.');
  const auto sep = name.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && sep > dot)) return false;
  return name.compare(dot, std::string::npos, ".sml2") == 0;
}

std::string TSMILESInput::ReadNameLine(IParser& tokenizer) {
  // An optional record number followed by ";" ("12;Ethanol"); the ";" counts only after digits.
  std::string digits;
  if (tokenizer.ReadDigits(digits)) tokenizer.CheckString(";");
  std::string name;
  tokenizer.ReadLine(name);
  return name;
}

void TSMILESInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IParser& tokenizer = *Tokenizer();
  if (!parser_) parser_ = NewSMILESParser(true, this, true); // executed without Start
  pairedLines_ = PairedLines();
  tokenizer.SkipWhite();
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kSMILESHeading);
  const std::string name = pairedLines_ ? ReadNameLine(tokenizer) : std::string();
  tokenizer.SkipBlanks();
  tokenizer.Mark();
  insideEnvironment_ = false;
  try {
    parser_->Parse(tokenizer, molecule);
  } catch (const ESMILESError& e) {
    // The run ends as for any broken file, and the log says where: the file, the line and the parser's own
    // message with the position in the SMILES.
    throw EInputError(FileErrorMessage(GetCurrentFile(), tokenizer.GetLineNumber(), e.what()));
  } catch (const EInputError&) {
    throw;
  } catch (const EChemError&) {
    // A structure the completion cannot handle is skipped; the SMILES was read whole, so the next one follows.
    tokenizer.SkipWhite();
    more = !tokenizer.AtEnd();
    throw;
  }
  // The hand-over every file reader makes: the SMILES states every atom's hydrogens, and rings in Kekule form
  // are perceived once those hydrogens are in place (a pyrrole-type NH has its three neighbours), whether or not
  // the procedure completes the molecule again.
  CompleteAsRead(molecule, std::vector<char>(static_cast<std::size_t>(molecule.VertexCount()), 1));
  const std::string smiles = TrimTrailingBlanks(tokenizer.GetMarkedText());
  if (!smiles.empty()) LogTransient(kSMILESProcessing + smiles);
  tokenizer.SkipWhite();
  molecule.SetName(name.empty() ? smiles : name);
  ReportProgress();
  more = !tokenizer.AtEnd();
}

void TSMILESInput::AtEnd(IParser& tokenizer, bool& accept) {
  if (accept) return;
  if (pairedLines_) {
    // One SMILES per line: only blanks may follow it.
    tokenizer.SkipBlanks();
    accept = tokenizer.AtEndOfLine();
    return;
  }
  // Several SMILES may share a line, separated by blanks or tabs.
  const int next = PeekChar(tokenizer);
  accept = next == ' ' || next == '\t';
}

void TSMILESInput::OpenBranch(IParser& tokenizer, bool& accept) {
  if (!environmentMode_ || insideEnvironment_ || !TakeChar(tokenizer, '{')) return;
  insideEnvironment_ = true;
  accept = true;
}

void TSMILESInput::CloseBranch(IParser& tokenizer, bool& accept) {
  if (!environmentMode_ || !TakeChar(tokenizer, '}')) return;
  insideEnvironment_ = false;
  accept = true;
}

void TSMILESInput::AtomCreated(IMolecule&, IAtom* atom, int written) {
  if (environmentMode_ && (insideEnvironment_ || written == 0)) atom->SetFloat(kParamFragmentEnvironment, 1);
}

} // namespace corvatin

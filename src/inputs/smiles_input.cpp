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

// The SMILES as written, from the mark to the next white space, for a message; nothing is consumed.
std::string RestOfWord(IParser& tokenizer) {
  std::string word = tokenizer.GetMarkedText();
  const std::int64_t start = tokenizer.GetPosition();
  std::string ch;
  while (word.size() < 200 && tokenizer.ReadChars(ch, 1) && ch[0] != ' ' && ch[0] != '\t' && ch[0] != '\r' &&
         ch[0] != '\n')
    word += ch;
  tokenizer.Back(tokenizer.GetPosition() - start);
  while (!word.empty() && (word.back() == ' ' || word.back() == '\t' || word.back() == '\r' || word.back() == '\n'))
    word.pop_back();
  return word;
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

TSMILESInput::Layout TSMILESInput::LayoutOf(const std::string& name) {
  // Letter case is ignored, as it is when the file input picks this reader: "X.SML2" is a pairs file.
  const auto dot = name.find_last_of('.');
  const auto sep = name.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && sep > dot)) return Layout::Words;
  std::string extension = name.substr(dot);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (extension == ".sml2") return Layout::Pairs;
  if (extension == ".smi") return Layout::Lines;
  return Layout::Words;
}

TRecordLayout TSMILESInput::RecordLayout(const std::string& fileName) const {
  switch (LayoutOf(fileName)) {
  case Layout::Pairs: return TRecordLayout::Pairs;
  case Layout::Lines: return TRecordLayout::Lines;
  default: return TRecordLayout::Words;
  }
}

std::string TSMILESInput::ReadNameLine(IParser& tokenizer) {
  // An optional record number followed by ";" ("12;Ethanol"); the ";" counts only after digits.
  std::string digits;
  if (tokenizer.ReadDigits(digits)) tokenizer.CheckString(";");
  std::string name;
  tokenizer.ReadLine(name);
  return name;
}

void TSMILESInput::SkipToStructure(IParser& tokenizer) const {
  tokenizer.SkipWhite();
  if (layout_ != Layout::Lines) return;
  while (!tokenizer.AtEnd() && PeekChar(tokenizer) == '#') {
    tokenizer.SkipLine();
    tokenizer.SkipWhite();
  }
}

void TSMILESInput::Resynchronise(IParser& tokenizer) const {
  if (layout_ == Layout::Words) {
    // The rest of the broken word; the next SMILES starts after the white space.
    while (!tokenizer.AtEnd()) {
      const int c = PeekChar(tokenizer);
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') break;
      std::string ch;
      tokenizer.ReadChars(ch, 1);
    }
  } else if (!tokenizer.AtEndOfLine() || layout_ == Layout::Lines) {
    tokenizer.SkipLine();
  }
  SkipToStructure(tokenizer);
}

void TSMILESInput::Execute(bool& more) {
  TParserInput::Execute(more);
  if (!Tokenizer()) return;
  IParser& tokenizer = *Tokenizer();
  if (!parser_) parser_ = NewSMILESParser(true, this, true); // executed without Start
  layout_ = FileLayout();
  SkipToStructure(tokenizer);
  IMolecule& molecule = TakeMolecule();
  LogTransientHeading(kSMILESHeading);
  std::string name = layout_ == Layout::Pairs ? ReadNameLine(tokenizer) : std::string();
  if (layout_ == Layout::Pairs) {
    // A stray blank line between a name and its SMILES is passed over. A SMILES never starts with a digit, so a
    // line that does is the next pair's name line: this name has no SMILES.
    tokenizer.SkipWhite();
    const int c = PeekChar(tokenizer);
    if (tokenizer.AtEnd() || (c >= '0' && c <= '9')) {
      more = !tokenizer.AtEnd();
      const EInputError error(FileErrorMessage(GetCurrentFile(), tokenizer.GetLineNumber(), smiles_detail::kNoSmiles));
      throw RecordError(error);
    }
  }
  tokenizer.SkipBlanks();
  tokenizer.Mark();
  insideEnvironment_ = false;
  try {
    parser_->Parse(tokenizer, molecule);
    // The hand-over every file reader makes: the SMILES states every atom's hydrogens, and rings in Kekule form
    // are perceived once those hydrogens are in place (a pyrrole-type NH has its three neighbours), whether or
    // not the procedure completes the molecule again.
    CompleteAsRead(molecule, std::vector<char>(static_cast<std::size_t>(molecule.VertexCount()), 1));
  } catch (const ESMILESError& e) {
    // The file, the line and the parser's own message with the position in the SMILES; the run goes on with the
    // next SMILES.
    const EInputError error(FileErrorMessage(GetCurrentFile(), tokenizer.GetLineNumber(),
                                             std::string(e.what()) + " in \"" + RestOfWord(tokenizer) + "\""));
    Resynchronise(tokenizer);
    more = !tokenizer.AtEnd();
    throw RecordError(error);
  } catch (const EInputError& e) {
    Resynchronise(tokenizer);
    more = !tokenizer.AtEnd();
    throw RecordError(e);
  } catch (const EChemError&) {
    // A structure the completion cannot handle is skipped; the SMILES was read whole, so the next one follows.
    // It keeps its name, so that the message can say which structure it was.
    const std::string smiles = TrimTrailingBlanks(tokenizer.GetMarkedText());
    if (layout_ == Layout::Lines) {
      tokenizer.SkipBlanks();
      tokenizer.ReadLine(name);
      name = TrimTrailingBlanks(name);
    }
    molecule.SetName(name.empty() ? smiles : name);
    SkipToStructure(tokenizer);
    more = !tokenizer.AtEnd();
    throw;
  }
  const std::string smiles = TrimTrailingBlanks(tokenizer.GetMarkedText());
  if (!smiles.empty()) LogTransient(kSMILESProcessing + smiles);
  if (layout_ == Layout::Lines) {
    // The rest of the line, after the white space that ends the SMILES, is the name.
    tokenizer.SkipBlanks();
    tokenizer.ReadLine(name);
    name = TrimTrailingBlanks(name);
  }
  SkipToStructure(tokenizer);
  molecule.SetName(name.empty() ? smiles : name);
  ReportProgress();
  more = !tokenizer.AtEnd();
}

void TSMILESInput::AtEnd(IParser& tokenizer, bool& accept) {
  if (accept) return;
  if (layout_ == Layout::Pairs) {
    // One SMILES per line: only blanks may follow it.
    tokenizer.SkipBlanks();
    accept = tokenizer.AtEndOfLine();
    return;
  }
  // Several SMILES may share a line, separated by blanks or tabs; in ".smi" a name follows the blank.
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

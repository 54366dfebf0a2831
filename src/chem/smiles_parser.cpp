// The SMILES chain grammar: chains, branches, ring closures and bonds, and the parse as a whole. Branches are
// read with an explicit stack of chains rather than by recursion, so that nesting depth is bounded by memory,
// not by the thread's stack (a line of 100,000 "C(" must give an error, not a crash).
#include "chem/smiles_reader.h"

#include "core/errors.h"

#include <vector>

namespace corvatin {

namespace smiles_detail {

std::string FormatMessage(std::string_view format, std::int64_t position) {
  std::string text;
  text.reserve(format.size() + 20);
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == 'd') {
        text += std::to_string(position);
        ++i;
        continue;
      }
      if (format[i + 1] == '%') {
        text += '%';
        ++i;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

/// One chain being read: the main chain (depth 1) or a branch (one deeper than the chain it hangs on).
struct SmilesReader::Frame {
  int depth = 1;
  IAtom* first = nullptr;  // the chain's first atom; none for an empty chain
  char lead = kNoBond;     // the bond character written before the first atom
  IAtom* current = nullptr;
  char pending = kNoBond;  // the bond character waiting for the next atom
  bool dot = false;        // a "." separates the current atom from the next
};

SmilesReader::SmilesReader(bool organicMode, ISMILESHook* hook, IParser& tokenizer, IMolecule& molecule)
    : organicMode_(organicMode), hook_(hook), tokenizer_(tokenizer), molecule_(molecule),
      start_(tokenizer.GetPosition()) {}

void SmilesReader::Fail(std::string_view format) { FailAt(format, tokenizer_.GetPosition()); }

void SmilesReader::FailAt(std::string_view format, std::int64_t position) {
  throw ESMILESError(FormatMessage(format, position - start_));
}

int SmilesReader::Peek() {
  std::string ch;
  if (!tokenizer_.ReadChars(ch, 1)) return -1;
  tokenizer_.Back(1);
  return static_cast<unsigned char>(ch[0]);
}

void SmilesReader::Skip() {
  std::string ch;
  tokenizer_.ReadChars(ch, 1);
}

bool SmilesReader::TakeChar(char ch) {
  if (Peek() != static_cast<unsigned char>(ch)) return false;
  Skip();
  return true;
}

void SmilesReader::ReadAll() {
  molecule_.Clear();
  tokenizer_.SkipBlanks();
  const char lead = ReadMainChain();
  bool atEnd = false;
  if (hook_) {
    atEnd = tokenizer_.AtEndOfLine();
    hook_->AtEnd(tokenizer_, atEnd);
  } else {
    tokenizer_.SkipBlanks();
    atEnd = tokenizer_.AtEndOfLine();
  }
  if (!atEnd) Fail(kUnexpected);
  if (lead != kNoBond) Fail(kMainChainBond);
  bool open = false;
  for (RingSlot& slot : ringSlots_) {
    open = open || slot.open;
    slot = RingSlot{};
  }
  if (open) Fail(kRingClosureExpected);
}

// ------------------------------------------------------------------------------------------------ chains

char SmilesReader::ReadMainChain() {
  enum class Step { Start, Branches, AfterBranches, Next };
  std::vector<Frame> chains(1);
  Step step = Step::Start;
  for (;;) {
    Frame& f = chains.back();
    switch (step) {
    case Step::Start: {
      f.lead = ReadBondChar();
      IAtom* atom = ReadAtom();
      if (!atom) break; // an empty chain ends at once
      f.first = atom;
      step = Enter(f, atom) ? Step::Branches : Step::Next;
      continue;
    }
    case Step::Branches:
      if (OpenBranch()) {
        const int depth = f.depth + 1;
        chains.push_back(Frame{});
        chains.back().depth = depth;
        step = Step::Start;
      } else {
        step = Step::AfterBranches;
      }
      continue;
    case Step::AfterBranches:
      f.pending = ReadBondChar();
      if (f.pending == kNoBond && TakeChar('.')) f.dot = true;
      step = Step::Next;
      continue;
    case Step::Next: {
      IAtom* atom = ReadAtom();
      if (!atom) break;
      step = Enter(f, atom) ? Step::Branches : Step::Next;
      continue;
    }
    }
    // The chain on top has ended.
    if (chains.size() == 1) return chains.back().lead;
    const Frame branch = chains.back();
    chains.pop_back();
    Frame& parent = chains.back();
    if (!CloseBranch()) Fail(kBranchClosure);
    if (branch.first) {
      Bond(parent.current, branch.first, branch.lead, branch.depth);
      step = Step::Branches;
    } else {
      step = Step::AfterBranches; // "()" adds nothing and ends the branch list
    }
  }
}

bool SmilesReader::Enter(Frame& frame, IAtom* atom) {
  if (frame.current && !frame.dot) Bond(frame.current, atom, frame.pending, frame.depth);
  frame.current = atom;
  frame.pending = kNoBond;
  frame.dot = false;
  ReadRingClosures(atom, frame.depth, frame.pending);
  return frame.pending == kNoBond;
}

bool SmilesReader::OpenBranch() {
  if (TakeChar('(')) return true;
  bool accept = false;
  if (hook_) hook_->OpenBranch(tokenizer_, accept);
  return accept;
}

bool SmilesReader::CloseBranch() {
  if (TakeChar(')')) return true;
  bool accept = false;
  if (hook_) hook_->CloseBranch(tokenizer_, accept);
  return accept;
}

// ------------------------------------------------------------------------------------- bonds and rings

char SmilesReader::ReadBondChar() {
  std::string text;
  if (!tokenizer_.ReadChars(text, 1)) return kNoBond;
  const char ch = text[0];
  bool accept = ch == '-' || ch == '=' || ch == '#' || ch == ':' || ch == '/' || ch == '\\';
  if (hook_) hook_->CheckBondChar(ch, accept);
  if (accept) return ch;
  tokenizer_.Back(1);
  return kNoBond;
}

bool SmilesReader::ReadRingNumber(int& number) {
  int digit = 0;
  if (tokenizer_.ReadDigitValue(digit)) {
    number = digit;
    return true;
  }
  if (!TakeChar('%')) return false;
  int high = 0;
  int low = 0;
  if (!tokenizer_.ReadDigitValue(high)) Fail(kDigitAfterPercent);
  if (!tokenizer_.ReadDigitValue(low)) Fail(kTwoDigits);
  number = high * 10 + low;
  return true;
}

void SmilesReader::ReadRingClosures(IAtom* atom, int depth, char& pending) {
  for (;;) {
    const char bondChar = ReadBondChar();
    int number = 0;
    if (!ReadRingNumber(number)) {
      pending = bondChar; // a bond character not followed by a ring number belongs to the next atom
      return;
    }
    RingSlot& slot = ringSlots_.at(static_cast<size_t>(number));
    if (!slot.open) {
      slot = RingSlot{atom, bondChar, true};
      continue;
    }
    if (bondChar != kNoBond && slot.bond != kNoBond && bondChar != slot.bond) Fail(kBondKindsDiffer);
    if (slot.atom == atom) Fail(kDigitReuse);
    IAtom* other = slot.atom;
    const char use = bondChar != kNoBond ? bondChar : slot.bond;
    slot = RingSlot{};
    Bond(atom, other, use, depth);
  }
}

IBond* SmilesReader::Bond(IAtom* a1, IAtom* a2, char bondChar, int depth) {
  IBond* bond = molecule_.ConnectAtoms(a1, a2);
  if (!bond) Fail(kInvalidRingClosure);
  int type = bkSingle; // "-", "/", "\" and no character at all
  switch (bondChar) {
  case '=': type = bkDouble; break;
  case '#': type = bkTriple; break;
  case ':': type = bkAromatic; break;
  default: break;
  }
  if (type != bkSingle) bond->SetBondType(type); // a new bond is single already
  if (hook_) hook_->BondCreated(molecule_, bond, depth, bondChar);
  return bond;
}

} // namespace smiles_detail

// ------------------------------------------------------------------------------------------- the parser

TSMILESParser::TSMILESParser(bool organicMode, ISMILESHook* hook, bool complete)
    : organicMode_(organicMode), hook_(hook), complete_(complete) {}

void TSMILESParser::Parse(IParser& tokenizer, IMolecule& molecule) {
  // One update bracket: observers of the molecule (the views) hear of the new structure once.
  molecule.BeginUpdate();
  try {
    smiles_detail::SmilesReader reader(organicMode_, hook_, tokenizer, molecule);
    reader.ReadAll();
    if (complete_) reader.Complete();
    reader.RemoveMarks();
  } catch (...) {
    // A half-built structure is never handed on.
    molecule.Clear();
    molecule.EndUpdate();
    throw;
  }
  molecule.EndUpdate();
}

Ptr<ISMILESParser> NewSMILESParser(bool organicMode, ISMILESHook* hook, bool complete) {
  return std::make_shared<TSMILESParser>(organicMode, hook, complete);
}

void ParseSMILES(std::string_view smiles, IMolecule& molecule) {
  Ptr<TParser> tokenizer = NewTextParser(std::string(smiles));
  TSMILESParser parser(true, nullptr, true);
  parser.Parse(*tokenizer, molecule);
}

} // namespace corvatin

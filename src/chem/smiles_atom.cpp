// SMILES atoms: organic-subset symbols and bracket atoms with isotope, chirality (read and dropped), hydrogen
// count and charge.
#include "chem/smiles_reader.h"

#include "chem/elements.h"

#include <climits>
#include <cstdint>

namespace corvatin::smiles_detail {

namespace {

bool IsUpper(int ch) { return ch >= 'A' && ch <= 'Z'; }
bool IsLower(int ch) { return ch >= 'a' && ch <= 'z'; }
bool IsLetter(int ch) { return IsUpper(ch) || IsLower(ch); }
char ToUpper(char ch) { return IsLower(ch) ? static_cast<char>(ch - 'a' + 'A') : ch; }

} // namespace

bool SmilesReader::CheckSymbol(const std::string& symbol) {
  bool accept = IsElementSymbol(symbol);
  if (hook_) hook_->CheckElement(symbol, accept);
  return accept;
}

bool SmilesReader::ReadSymbol(bool inBracket, std::string& symbol, bool& lowerCase) {
  const int ch = Peek();
  lowerCase = false;
  if (ch == '*') {
    Skip();
    symbol.assign(1, '*'); // not `= "*"`: g++ 12 at -O3 reports a false -Wrestrict on that
    return true;
  }
  if (!IsLetter(ch)) return false;
  Skip();
  const char first = static_cast<char>(ch);
  if (IsLower(ch)) {
    // An aromatic atom: one lower-case letter, allowed only where aromatic symbols are.
    symbol.assign(1, first);
    if (!organicMode_ || !CheckSymbol(symbol)) Fail(kUnknownSymbol);
    lowerCase = true;
    return true;
  }
  symbol.assign(1, first);
  if (!organicMode_) {
    std::string rest;
    tokenizer_.ReadLowerLetters(rest);
    symbol += rest;
    if (!CheckSymbol(symbol)) Fail(kUnknownSymbol);
    return true;
  }
  const int next = Peek();
  if (!IsLower(next)) return true; // a single capital is taken as written
  std::string two(2, first);
  two[1] = static_cast<char>(next);
  if (CheckSymbol(symbol)) {
    // Outside brackets "Sc" and "Sn" are sulfur before an aromatic carbon or nitrogen, as organic SMILES
    // are written; scandium and tin need brackets.
    if (CheckSymbol(two) && (inBracket || (next != 'c' && next != 'n'))) {
      Skip();
      symbol = two;
    }
    return true;
  }
  Skip();
  if (!CheckSymbol(two)) Fail(kUnknownSymbol);
  symbol = two;
  return true;
}

int SmilesReader::ReadNumber(int limit) {
  const std::int64_t at = tokenizer_.GetPosition();
  std::string digits;
  tokenizer_.ReadDigits(digits);
  std::int64_t value = 0;
  for (char d : digits) {
    value = value * 10 + (d - '0');
    if (value > limit) FailAt(kNumberTooLarge, at);
  }
  return static_cast<int>(value);
}

void SmilesReader::ReadChirality() {
  // "@", "@@", "@TH1", "@OH15", ...: read so that the text parses, and dropped (no stereo in the model).
  std::string run;
  if (!tokenizer_.ReadCharRun(run, '@')) return;
  const int ch = Peek();
  if (!IsLetter(ch) || ch == 'H' || ch == 'h') return; // a hydrogen count follows
  Skip();
  if (!IsLetter(Peek())) Fail(kQuirality);
  Skip();
  std::string digits;
  tokenizer_.ReadDigits(digits);
}

IAtom* SmilesReader::ReadAtom() {
  if (TakeChar('[')) return ReadBracketAtom();
  std::string symbol;
  bool lowerCase = false;
  if (!ReadSymbol(false, symbol, lowerCase)) return nullptr;
  return CreateAtom(symbol, lowerCase, false, 0, 0, std::string(), 0);
}

IAtom* SmilesReader::ReadBracketAtom() {
  const int isotope = ReadNumber(INT_MAX);
  std::string symbol;
  bool lowerCase = false;
  if (!ReadSymbol(true, symbol, lowerCase)) Fail(kSymbolExpected);
  std::string extra;
  if (hook_) hook_->ReadAtomExtra(tokenizer_, extra);
  ReadChirality();

  int hydrogens = 0;
  if (tokenizer_.CheckString("H")) {
    const int ch = Peek();
    hydrogens = ch >= '0' && ch <= '9' ? ReadNumber(kMaxBracketHydrogens) : 1;
  }

  int charge = 0;
  const std::int64_t signsAt = tokenizer_.GetPosition();
  std::string signs;
  if (tokenizer_.ReadSigns(signs)) {
    const int sign = signs[0] == '-' ? -1 : 1;
    if (signs.size() >= 2) {
      // "++" is +2; a run must repeat one sign.
      if (signs.find(signs[0] == '+' ? '-' : '+') != std::string::npos) Fail(kInvalidChargeSign);
      if (signs.size() > static_cast<size_t>(INT_MAX)) FailAt(kNumberTooLarge, signsAt);
      charge = sign * static_cast<int>(signs.size());
    } else {
      const int ch = Peek();
      charge = ch >= '0' && ch <= '9' ? sign * ReadNumber(INT_MAX) : sign;
    }
  }
  if (!TakeChar(']')) Fail(kBracketExpected);
  return CreateAtom(symbol, lowerCase, true, isotope, charge, extra, hydrogens);
}

IAtom* SmilesReader::CreateAtom(std::string symbol, bool lowerCase, bool bracket, int isotope, int charge,
                                const std::string& extra, int hydrogens) {
  symbol[0] = ToUpper(symbol[0]);
  IAtom* atom = molecule_.AddAtom();
  atom->SetSymbol(symbol);
  atom->SetCharge(charge);
  atom->SetFloat(kHasHydrogens, bracket ? 1.0 : 0.0);
  atom->SetFloat(kHasBonds, lowerCase ? 0.0 : 1.0);
  if (hook_) hook_->AtomCreated(molecule_, atom, 1);
  if (isotope != 0) atom->SetAtomicWeight(isotope);
  if (hook_ && !extra.empty()) hook_->AtomExtraRead(molecule_, atom, extra);
  AddHydrogens(atom, hydrogens);
  return atom;
}

void SmilesReader::AddHydrogens(IAtom* atom, int count) {
  for (int i = 0; i < count; ++i) {
    IAtom* h = molecule_.AddAtom();
    h->SetSymbol("H");
    h->SetCharge(0);
    h->SetFloat(kHasHydrogens, 1.0);
    h->SetFloat(kHasBonds, 1.0);
    if (hook_) hook_->AtomCreated(molecule_, h, 0);
    Bond(atom, h, kNoBond, 0);
  }
}

} // namespace corvatin::smiles_detail

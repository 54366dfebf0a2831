// The V3000 connection table: "M  V30 " lines of blank-separated tokens and KEYWORD=value pairs; a line ending
// in "-" continues on the next one.
#include "inputs/mol_reader.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace corvatin::mol_detail {

namespace {

const std::vector<std::string> kAtomKeywords = {"HCOUNT=", "CHG=", "MASS=", "-", "VAL=", "RAD="};
enum AtomKeyword { kwHydrogenCount = 0, kwCharge = 1, kwMass = 2, kwContinuation = 3, kwValence = 4, kwRadical = 5 };

} // namespace

void MolRecordReader::ExpectV30() {
  tokenizer_.SkipWhite();
  if (!tokenizer_.CheckString("M  V30 ")) FailHere();
  tokenizer_.SkipBlanks();
}

void MolRecordReader::ExpectWord(const char* word) {
  if (!tokenizer_.CheckString(word)) FailHere();
  tokenizer_.SkipBlanks();
}

int MolRecordReader::ExpectInteger() {
  int value = 0;
  bool read = false;
  try {
    read = tokenizer_.ReadInteger(value);
  } catch (const std::out_of_range&) {
  }
  if (!read) FailHere();
  tokenizer_.SkipBlanks();
  return value;
}

int MolRecordReader::ExpectUnsigned() {
  int value = 0;
  bool read = false;
  try {
    read = tokenizer_.ReadUnsigned(value);
  } catch (const std::out_of_range&) {
  }
  if (!read) FailHere();
  tokenizer_.SkipBlanks();
  return value;
}

double MolRecordReader::ExpectFloat() {
  double value = 0;
  bool read = false;
  try {
    read = tokenizer_.ReadFloat(value);
  } catch (const std::out_of_range&) {
  }
  if (!read) FailHere();
  tokenizer_.SkipBlanks();
  return value;
}

void MolRecordReader::ReadV3000() {
  std::string rest;
  ExpectV30();
  ExpectWord("BEGIN");
  ExpectWord("CTAB");
  tokenizer_.ReadLine(rest);
  ExpectV30();
  ExpectWord("COUNTS");
  const int atomCount = ExpectUnsigned();
  const int bondCount = ExpectUnsigned();
  tokenizer_.ReadLine(rest);
  ExpectV30();
  ExpectWord("BEGIN");
  ExpectWord("ATOM");
  tokenizer_.ReadLine(rest);
  // The counts are not trusted for sizes: a table shorter than announced fails at its first missing line.
  for (int i = 0; i < atomCount; ++i) ReadV3000Atom();
  ExpectV30();
  ExpectWord("END");
  ExpectWord("ATOM");
  tokenizer_.ReadLine(rest);
  // A table without bonds may leave out the bond block.
  const std::int64_t start = tokenizer_.GetPosition();
  tokenizer_.SkipWhite();
  bool bonds = tokenizer_.CheckString("M  V30 ");
  if (bonds) {
    tokenizer_.SkipBlanks();
    bonds = tokenizer_.CheckString("BEGIN");
  }
  if (bonds) {
    tokenizer_.SkipBlanks();
    bonds = tokenizer_.CheckString("BOND");
  }
  if (!bonds) {
    tokenizer_.Back(tokenizer_.GetPosition() - start);
    return;
  }
  tokenizer_.ReadLine(rest);
  for (int i = 0; i < bondCount; ++i) ReadV3000Bond();
}

void MolRecordReader::ReadV3000Atom() {
  ExpectV30();
  ExpectInteger(); // the atom's index; atoms are numbered by their order
  std::string symbol;
  if (!tokenizer_.ReadLetters(symbol)) FailHere();
  tokenizer_.SkipBlanks();
  const double x = ExpectFloat();
  const double y = ExpectFloat();
  const double z = ExpectFloat();
  IAtom* atom = AddTableAtom();
  atom->SetX3D(x);
  atom->SetY3D(y);
  atom->SetZ3D(z);
  atom->SetSymbol(symbol);
  // The rest of the line (and of its continuation lines) holds the atom's KEYWORD=value pairs.
  for (;;) {
    int keyword = -1;
    if (!tokenizer_.MatchAnyInLine(kAtomKeywords, keyword)) break;
    int value = 0;
    bool read = false;
    switch (keyword) {
    case kwContinuation:
      tokenizer_.SkipBlanks();
      if (tokenizer_.AtEndOfLine() && !tokenizer_.AtEnd()) {
        std::string end;
        tokenizer_.ReadLine(end); // only the line end is left; scanning goes on on the next line
      }
      continue;
    default:
      try {
        read = tokenizer_.ReadInteger(value);
      } catch (const std::out_of_range&) {
        FailHere();
      }
      break;
    }
    if (!read) continue;
    if (keyword == kwHydrogenCount) {
      failAt_ = tokenizer_.GetPosition();
      // Unlike the V2000 field, the V3000 value is no count plus one: HCOUNT=2 is two hydrogens.
      hydrogens_.back() = HydrogensFromCount(value);
      if (value != 0) stated_.back() = 1; // 0 is "not given"
    } else if (keyword == kwValence) {
      // VAL=-1 is valence 0, like the V2000 field's 15.
      if (value != 0) {
        valences_.back() = value < 0 ? 15 : std::min(value, 14);
        stated_.back() = 1;
      }
    } else if (keyword == kwRadical) {
      if (value > 0) stated_.back() = 1;
    } else if (keyword == kwCharge) {
      atom->SetCharge(value);
    } else {
      atom->SetAtomicWeight(value);
    }
  }
  std::string rest;
  tokenizer_.ReadLine(rest);
}

void MolRecordReader::ReadV3000Bond() {
  ExpectV30();
  ExpectInteger(); // the bond's index
  const int code = ExpectInteger();
  const int first = ExpectInteger();
  const int second = ExpectInteger();
  failAt_ = tokenizer_.GetPosition();
  AddBond(first, second, code);
  // Stereo and query keywords are skipped, continuation lines (a line ending in "-") included.
  std::string rest;
  for (;;) {
    const bool ended = tokenizer_.ReadLine(rest);
    const std::string trimmed = TrimBlanks(rest);
    if (!ended || trimmed.empty() || trimmed.back() != '-') break;
  }
}

} // namespace corvatin::mol_detail

// The V2000 connection table: fixed columns, one atom or bond per line, then the properties block. Every field
// is cut from its line, so a short or broken line can never make a read run into the next one.
#include "inputs/mol_reader.h"

#include "core/numtext.h"

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace corvatin::mol_detail {

namespace {

// The integer in a field, none when the field is blank; throws when it is not an integer.
std::optional<long long> OptionalInt(const std::string& field) {
  const std::string text = TrimBlanks(field);
  if (text.empty()) return std::nullopt;
  const long long value = TextToInt(text);
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw std::out_of_range(text);
  return value;
}

// Coordinates are written "%10.4f"; anything that is not a finite decimal number is no coordinate.
std::optional<double> Coordinate(const std::string& field) {
  try {
    const double value = TextToFloat(field);
    if (std::isfinite(value)) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

bool StartsWithM(const std::string& line) { return line.size() >= 3 && line.compare(0, 3, "M  ") == 0; }

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  return text;
}

} // namespace

void MolRecordReader::ReadV2000Atoms(int count) {
  std::string line;
  for (int i = 0; i < count; ++i) {
    RequireLine(line);
    const auto x = Coordinate(Columns(line, 1, 10));
    const auto y = Coordinate(Columns(line, 11, 10));
    const auto z = Coordinate(Columns(line, 21, 10));
    if (!x || !y || !z) Fail(kCoordinate);
    // Fields 35-36 (mass difference), 37-39 (charge code), 40-42 (stereo parity, not used), 43-45 (hydrogen
    // count + 1), 46-48 (stereo care, not used), 49-51 (valence).
    std::optional<long long> mass, charge, hydrogens, valence;
    try {
      mass = OptionalInt(Columns(line, 35, 2));
    } catch (const std::exception&) {
      Fail(kMassDifference);
    }
    try {
      charge = OptionalInt(Columns(line, 37, 3));
    } catch (const std::exception&) {
      Fail(kChargeCode);
    }
    try {
      hydrogens = OptionalInt(Columns(line, 43, 3));
    } catch (const std::exception&) {
      Fail(kHydrogenCount);
    }
    try {
      valence = OptionalInt(Columns(line, 49, 3));
    } catch (const std::exception&) {
      Fail(kValence);
    }
    IAtom* atom = AddTableAtom();
    atom->SetX3D(*x);
    atom->SetY3D(*y);
    atom->SetZ3D(*z);
    atom->SetSymbol(TrimBlanks(Columns(line, 32, 3)));
    // The mass difference is added to the element's standard weight: +1 on carbon gives 13.011, not 13.
    if (mass) atom->SetAtomicWeight(atom->GetAtomicWeight() + static_cast<double>(*mass));
    int formal = 0;
    if (charge && ChargeFromCode(*charge, formal)) atom->SetCharge(formal);
    // Charge code 4 is a doublet radical: its hydrogens are those drawn.
    if (charge && *charge == 4) stated_.back() = 1;
    // A hydrogen count field of 0 states nothing; 1 is "H0".
    if (hydrogens && *hydrogens > 0) {
      hydrogens_.back() = HydrogensFromField(*hydrogens);
      stated_.back() = 1;
    }
    if (valence && *valence > 0 && *valence <= 15) {
      valences_.back() = static_cast<int>(*valence);
      stated_.back() = 1;
    }
  }
}

void MolRecordReader::ReadV2000Bonds(int count) {
  std::string line;
  for (int i = 0; i < count; ++i) {
    RequireLine(line);
    auto number = [this, &line](std::size_t column, const char* detail) {
      std::optional<long long> value;
      try {
        value = OptionalInt(Columns(line, column, 3));
      } catch (const std::exception&) {
      }
      if (!value) Fail(detail);
      return *value;
    };
    const long long first = number(1, kAtomNumber);
    const long long second = number(4, kAtomNumber);
    const long long code = number(7, kBondType);
    AddBond(first, second, code);
  }
}

void MolRecordReader::ReadV2000Properties() {
  bool chargesReset = false;
  std::string line;
  for (;;) {
    const std::int64_t start = tokenizer_.GetPosition();
    if (!NextLine(line)) return; // the file ended without "M  END"
    if (line.compare(0, 4, "$$$$") == 0) {
      // A record without "M  END": its end mark stays for the end of the record, so that the next record's
      // charges can never land on this one's atoms.
      tokenizer_.Back(tokenizer_.GetPosition() - start);
      return;
    }
    if (!StartsWithM(line)) continue;
    const std::string name = Upper(Columns(line, 4, 3));
    if (name == "END") return;
    if (name != "ISO" && name != "CHG" && name != "RAD") continue;
    // The properties block supersedes the atom block's charges and radicals: its first "CHG" or "RAD" line
    // sets every formal charge to 0 first.
    if ((name == "CHG" || name == "RAD") && !chargesReset) {
      chargesReset = true;
      for (int i = 0; i < tableAtoms_; ++i) molecule_.GetAtom(i)->SetCharge(0);
    }
    ReadPropertyEntries(line, name);
  }
}

void MolRecordReader::ReadPropertyEntries(const std::string& line, const std::string& name) {
  std::optional<long long> count;
  try {
    count = OptionalInt(Columns(line, 7, 3));
  } catch (const std::exception&) {
    Fail(kEntryCount);
  }
  if (!count) Fail(kEntryCount);
  // Entry k: a blank, the atom number in columns 11-13 + 8k, a blank, the value in columns 15-17 + 8k.
  for (long long k = 0; k < *count; ++k) {
    const std::size_t column = 11 + 8 * static_cast<std::size_t>(k);
    if (column + 6 > line.size()) Fail(kEntry);
    std::optional<long long> number, value;
    try {
      number = OptionalInt(Columns(line, column, 3));
      value = OptionalInt(Columns(line, column + 4, 3));
    } catch (const std::exception&) {
      Fail(kEntry);
    }
    if (!number || !value) Fail(kEntry);
    IAtom* atom = TableAtom(*number);
    if (name == "RAD") {
      // A radical is not kept, but its hydrogens are those drawn: none are implied.
      if (*value > 0) stated_[static_cast<std::size_t>(*number - 1)] = 1;
    } else if (name == "CHG")
      atom->SetCharge(static_cast<int>(*value));
    else // "ISO": the isotope's mass number becomes the atomic weight
      atom->SetAtomicWeight(static_cast<double>(*value));
  }
}

} // namespace corvatin::mol_detail

// The V2000 connection table: fixed columns, one atom or bond per line, then the properties block. Every field
// is cut from its line, so a short or broken line can never make a read run into the next one.
#include "inputs/mol_reader.h"

#include "core/numtext.h"
#include "inputs/text_fields.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace corvatin::mol_detail {

namespace {

// Columns first..first+width-1 (1-based) of line, clipped to the line, without the blanks around them. A view:
// the fields of every atom and bond line are read without making a string of each.
std::string_view Field(const std::string& line, std::size_t first, std::size_t width) {
  if (first == 0 || first > line.size()) return {};
  std::string_view text = std::string_view(line).substr(first - 1, width);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The integer in a field, none when the field is blank; throws when it is not an integer.
std::optional<long long> OptionalInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // A plain digit run is read here; anything else (a "+" sign, a broken field) by the general rules, which also
  // give the errors.
  if (error != std::errc() || end != text.data() + text.size()) value = TextToInt(std::string(text));
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw std::out_of_range(std::string(text));
  return value;
}

std::optional<long long> OptionalInt(const std::string& field) { return OptionalInt(Field(field, 1, field.size())); }

// A plain decimal number of at most 15 digits ("-12.3456"): its digits as an integer, divided by the power of ten
// of its decimals. Both are exact doubles, so the one rounded division gives the nearest double to the decimal,
// as any correct conversion does. False for anything else.
bool PlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  std::int64_t digits = 0;
  int count = 0, decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || ++count > 15) return false;
    digits = digits * 10 + (c - '0');
    if (point) ++decimals;
  }
  if (count == 0) return false;
  value = static_cast<double>(digits) / kPowers[decimals];
  if (negative) value = -value;
  return true;
}

// Coordinates are written "%10.4f"; anything that is not a finite decimal number is no coordinate.
std::optional<double> Coordinate(std::string_view text) {
  double value = 0.0;
  if (PlainDecimal(text, value)) return value;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    // Not a plain number: the general rules decide (a "+" sign), and reject what they cannot read.
    try {
      value = TextToFloat(std::string(text));
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  if (std::isfinite(value)) return value;
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
  // The counts field has three digits: the arrays per atom are sized once.
  hydrogens_.reserve(static_cast<std::size_t>(count));
  valences_.reserve(static_cast<std::size_t>(count));
  stated_.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    RequireLine(line);
    const auto x = Coordinate(Field(line, 1, 10));
    const auto y = Coordinate(Field(line, 11, 10));
    const auto z = Coordinate(Field(line, 21, 10));
    if (!x || !y || !z) Fail(kCoordinate);
    if (!text_fields::CoordinateInRange(*x) || !text_fields::CoordinateInRange(*y) ||
        !text_fields::CoordinateInRange(*z))
      Fail(kCoordinateRange);
    // Fields 35-36 (mass difference), 37-39 (charge code), 40-42 (stereo parity, not used), 43-45 (hydrogen
    // count + 1), 46-48 (stereo care, not used), 49-51 (valence).
    std::optional<long long> mass, charge, hydrogens, valence;
    try {
      mass = OptionalInt(Field(line, 35, 2));
    } catch (const std::exception&) {
      Fail(kMassDifference);
    }
    try {
      charge = OptionalInt(Field(line, 37, 3));
    } catch (const std::exception&) {
      Fail(kChargeCode);
    }
    try {
      hydrogens = OptionalInt(Field(line, 43, 3));
    } catch (const std::exception&) {
      Fail(kHydrogenCount);
    }
    try {
      valence = OptionalInt(Field(line, 49, 3));
    } catch (const std::exception&) {
      Fail(kValence);
    }
    IAtom* atom = AddTableAtom();
    atom->SetX3D(*x);
    atom->SetY3D(*y);
    atom->SetZ3D(*z);
    atom->SetSymbol(std::string(Field(line, 32, 3)));
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
        value = OptionalInt(Field(line, column, 3));
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

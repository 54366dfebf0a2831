#pragma once
// Internal to the MOL/SD reader: the state of one record being read. Not part of the library's interface.

#include "inputs/mol_input.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvatin::mol_detail {

/// No atom carries more hydrogens; a larger count is a broken field, not a request for thousands of atoms.
inline constexpr int kMaxHydrogensPerAtom = 99;

/// Connection-table versions, from the counts line's stamp.
enum class CtabVersion { V2000Plain, V2000, V3000 };

/// Reads one record; the V2000 and V3000 parts live in their own files.
class MolRecordReader {
public:
  MolRecordReader(IParser& tokenizer, IMolecule& molecule, const std::string& fileName)
      : tokenizer_(tokenizer), molecule_(molecule), fileName_(fileName) {}

  /// The whole record: header, table, properties, hydrogens, and what follows up to the "$$$$" line.
  void Read();
  /// Per table atom, whether the record stated its hydrogens (for CompleteAsRead).
  const std::vector<char>& HydrogensStated() const { return stated_; }

private:
  CtabVersion ReadHeader(int& atomCount, int& bondCount);
  void ReadV2000Atoms(int count);
  /// Grows the per-atom arrays for a new table atom.
  IAtom* AddTableAtom();
  void ReadV2000Bonds(int count);
  void ReadV2000Properties();
  void ReadPropertyEntries(const std::string& line, const std::string& name);
  void ReadV3000();
  void ReadV3000Atom();
  void ReadV3000Keywords(IAtom& atom, int index);
  void ReadV3000Bond();
  void AddHydrogens();
  void SkipToRecordEnd();

  /// The next line into text (line end consumed, not included); false at the end of the text. Where it starts
  /// is kept for the messages.
  bool NextLine(std::string& text);
  /// NextLine that must succeed ("Unexpected end of file").
  void RequireLine(std::string& text);
  /// EInputError with the file, the line of failAt_ (the line last read by NextLine) and the detail.
  [[noreturn]] void Fail(const std::string& detail) const;
  /// EInputError with the file and the tokenizer's present line, without detail (the V3000 token checks).
  [[noreturn]] void FailHere() const;
  /// The V3000 line start "M  V30 " (after white space), then blanks; FailHere otherwise.
  void ExpectV30();
  /// A keyword (letter case ignored), then blanks; FailHere otherwise.
  void ExpectWord(const char* word);
  /// An integer token of a V3000 line (FailHere when missing or beyond 32 bits).
  int ExpectInteger();
  /// An unsigned integer token.
  int ExpectUnsigned();
  /// A plain decimal number token.
  double ExpectFloat();
  /// Hydrogens to add for a V2000 hydrogen count field, which codes the count plus one (1 = H0, 3 = H2);
  /// Fail beyond kMaxHydrogensPerAtom.
  int HydrogensFromField(long long field) const;
  /// Hydrogens to add for a V3000 "HCOUNT=" value, which is the count itself (-1 = H0, 0 = not given, 2 = H2);
  /// Fail beyond kMaxHydrogensPerAtom.
  int HydrogensFromCount(long long count) const;
  /// Atom number n (1-based) of the atoms read from the table; Fail("Atom number out of range") otherwise.
  IAtom* TableAtom(long long number) const;
  /// Connects two table atoms with a bond of the given MDL code; a repeated bond or a bond to the atom itself is
  /// skipped (the model refuses it).
  void AddBond(long long first, long long second, long long code);

  IParser& tokenizer_;
  IMolecule& molecule_;
  const std::string& fileName_;
  // A position inside the line a message names. The line number is counted only when a message needs it, so
  // reading never pays for counting lines.
  std::int64_t failAt_ = 0;
  int tableAtoms_ = 0;                 // atoms of the atom block; hydrogens from counts come after them
  std::vector<int> hydrogens_;         // hydrogens to add per table atom, grown as atoms are read
  std::vector<int> valences_;          // valence field per table atom: 0 none, 1-14 the valence, 15 valence 0
  std::vector<char> stated_;           // whether the record states the table atom's hydrogens (count, valence,
                                       // radical): such atoms get no implicit hydrogens
};

/// Columns first..first+width-1 (1-based) of line, clipped to the line.
std::string Columns(const std::string& line, std::size_t first, std::size_t width);
/// text without leading and trailing blanks.
std::string TrimBlanks(const std::string& text);

/// MDL bond codes to bond kinds: 1 single, 2 double, 3 triple, 4 aromatic; 5 to 8 (query bonds) and anything
/// else single.
int BondKindFromCode(long long code);
/// V2000 charge codes to formal charges: 1 +3, 2 +2, 3 +1, 4 0 (doublet radical), 5 -1, 6 -2, 7 -3; other
/// codes leave the charge (returns false).
bool ChargeFromCode(long long code, int& charge);

} // namespace corvatin::mol_detail

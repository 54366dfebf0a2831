#pragma once
// Internal to the SMILES parser: the state of one parse and the grammar's pieces. Not part of the library's
// interface.

#include "chem/smiles.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvatin::smiles_detail {

/// The messages, formatted with the position ("%d") where they name one; "%%" stands for "%".
inline constexpr std::string_view kUnexpected = "Unexpected error at position %d";
inline constexpr std::string_view kMainChainBond = "Main chain can't begin with a bond";
inline constexpr std::string_view kRingClosureExpected = "Ring closure expected";
inline constexpr std::string_view kSymbolExpected = "Symbol expected at position %d";
inline constexpr std::string_view kInvalidChargeSign = "Invalid charge sign at position %d";
inline constexpr std::string_view kBracketExpected = "\"]\" expected at position %d";
inline constexpr std::string_view kBranchClosure = "Branch closure expected at position %d";
inline constexpr std::string_view kDigitAfterPercent = "Digit expected after \"%%\" at position %d";
inline constexpr std::string_view kTwoDigits = "Two digits expected after \"%%\" at position %d";
inline constexpr std::string_view kUnknownSymbol = "Unknown symbol at position %d";
inline constexpr std::string_view kQuirality = "Quirality class expected at position %d";
inline constexpr std::string_view kInvalidRingClosure = "Invalid ring closure at position %d";
inline constexpr std::string_view kBondKindsDiffer = "Bond kinds differs for the ring closure at position %d";
inline constexpr std::string_view kDigitReuse =
    "Digit can't be reused for the same atom at position %d. Use \"%%\" for two digit numbers";
// Numbers that do not fit: an error rather than a wrapped value (or millions of hydrogen atoms).
inline constexpr std::string_view kNumberTooLarge = "Number too large at position %d";

/// The message with "%d" replaced by position and "%%" by "%".
std::string FormatMessage(std::string_view format, std::int64_t position);

/// Parameters that carry what the text said about an atom while the parse runs.
inline constexpr const char* kHasHydrogens = "HasHydrogens";
inline constexpr const char* kHasBonds = "HasBonds";

/// No bond character written.
inline constexpr char kNoBond = ' ';

/// The state of one parse.
class SmilesReader {
public:
  SmilesReader(bool organicMode, ISMILESHook* hook, IParser& tokenizer, IMolecule& molecule);

  /// Steps 1 to 5 of a parse: the text into atoms and bonds, the end test and the closing checks.
  void ReadAll();
  /// Aromatic rings, unspecified bonds, implicit hydrogens and the completion tags.
  void Complete();
  /// Removes the parse-time marks from every atom.
  void RemoveMarks();

private:
  struct RingSlot {
    IAtom* atom = nullptr;
    char bond = kNoBond;
    bool open = false;
  };
  struct Frame; // one chain being read (smiles_parser.cpp)

  [[noreturn]] void Fail(std::string_view format);
  [[noreturn]] void FailAt(std::string_view format, std::int64_t position);

  // Characters.
  int Peek();
  void Skip();
  bool TakeChar(char ch);

  // The chain grammar (smiles_parser.cpp).
  char ReadMainChain();
  bool Enter(Frame& frame, IAtom* atom);
  char ReadBondChar();
  bool ReadRingNumber(int& number);
  void ReadRingClosures(IAtom* atom, int depth, char& pending);
  bool OpenBranch();
  bool CloseBranch();
  IBond* Bond(IAtom* a1, IAtom* a2, char bondChar, int depth);

  // Atoms (smiles_atom.cpp).
  IAtom* ReadAtom();
  IAtom* ReadBracketAtom();
  bool ReadSymbol(bool inBracket, std::string& symbol, bool& lowerCase);
  bool CheckSymbol(const std::string& symbol);
  void ReadChirality();
  int ReadNumber(int limit);
  IAtom* CreateAtom(std::string symbol, bool lowerCase, bool bracket, int isotope, int charge,
                    const std::string& extra, int hydrogens);
  void AddHydrogens(IAtom* atom, int count);

  bool organicMode_;
  ISMILESHook* hook_;
  IParser& tokenizer_;
  IMolecule& molecule_;
  std::int64_t start_;
  std::array<RingSlot, 100> ringSlots_{};
  bool hasAromaticAtoms_ = false;
};

} // namespace corvatin::smiles_detail

#pragma once
// The reader of MDL molfiles and SD files (CTfile formats, MDL Information Systems / BIOVIA, "CTfile Formats",
// 2011 and later editions): one record per pass, V2000 connection tables with or without the version stamp and
// V3000 extended tables. Element symbols, 3D coordinates, formal charges, isotope masses, bond orders and
// hydrogen counts are kept; stereo flags, atom lists, S-groups and SD data items are skipped.

#include "inputs/file_input.h"

#include <string>
#include <vector>

namespace corvatin {

inline constexpr const char* kMOLInputName = "Input";
inline constexpr const char* kMOLFilter = "MDL mol file or SDFile (*.mol, *.sdf)|*.mol;*.sdf";
inline constexpr const char* kMOLDefaultFile = "Input.mol";
inline constexpr const char* kMOLHeading = "Reading MDL MOL file...";
/// Raised (alone, without file and line) for a counts line whose version stamp is neither empty, "V2000" nor
/// "V3000".
inline constexpr const char* kMsgNotMolFile = "The file you selected is not a MDL mol file";

/// Details of the file-and-line message for fields of a V2000 record that cannot be read.
namespace mol_detail {
inline constexpr const char* kEndOfFile = "Unexpected end of file";
inline constexpr const char* kAtomCount = "Atom count expected";
inline constexpr const char* kBondCount = "Bond count expected";
inline constexpr const char* kCoordinate = "Coordinate expected";
inline constexpr const char* kCoordinateRange = "Coordinate out of range";
inline constexpr const char* kNoAtoms = "Record without atoms";
inline constexpr const char* kMassDifference = "Mass difference expected";
inline constexpr const char* kChargeCode = "Charge code expected";
inline constexpr const char* kHydrogenCount = "Hydrogen count expected";
inline constexpr const char* kValence = "Valence expected";
inline constexpr const char* kHydrogenRange = "Hydrogen count out of range";
inline constexpr const char* kAtomNumber = "Atom number expected";
inline constexpr const char* kAtomRange = "Atom number out of range";
inline constexpr const char* kBondType = "Bond type expected";
inline constexpr const char* kEntryCount = "Entry count expected";
inline constexpr const char* kEntry = "Property entry expected";
} // namespace mol_detail

/// Reads one record from the tokenizer's position into molecule (cleared first; named after the record's first
/// line) and skips what follows it up to and including the "$$$$" line. Returns whether another record follows
/// (text other than white space is left). A broken record (a record without atoms included) raises EInputError
/// naming fileName and the line (kMsgNotMolFile as the detail for an unknown version stamp); the molecule is then
/// left empty and the position is inside the broken record. hydrogensStated, when given, receives per atom of the
/// atom block whether the record states its hydrogens (count field, valence, radical), for CompleteAsRead.
bool ReadMolRecord(IParser& tokenizer, IMolecule& molecule, const std::string& fileName,
                   std::vector<char>* hydrogensStated = nullptr);

/// The MOL/SD reader block: each pass reads the next record into the shared molecule, completes its implicit
/// hydrogens and aromatic rings (CompleteAsRead) and fits it into the view.
class TMOLInput : public TParserInput {
public:
  TMOLInput();

  std::string GetName() const override { return kMOLInputName; }
  /// Reads the next record. A broken record is an ERecordError; the next pass reads the record after its "$$$$".
  void Execute(bool& more) override;
  /// A counts line as the fourth line, or one of the marks of the format ("M  END", "$$$$", a version stamp).
  bool LooksLikeFormat(std::string_view head, bool whole) const override;
  TRecordLayout RecordLayout(const std::string&) const override { return TRecordLayout::SDFile; }
};

/// Moves past the "$$$$" line that ends the record the position is in (or to the end of the text), and to the end
/// when only white space follows: where the next record of an SD file begins.
void SkipPastRecordEnd(IParser& tokenizer);

} // namespace corvatin

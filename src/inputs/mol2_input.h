#pragma once
// The reader of Tripos MOL2 files (Tripos/Certara, "SYBYL Mol2 File Format"): one molecule per pass, from a
// "@<TRIPOS>MOLECULE" record to the next one. The records are found by their "@<TRIPOS>" lines, so a MOLECULE
// record with or without its optional lines never hides the record after it. Atoms take their element from the
// SYBYL atom type (the text before its "."), their 3D coordinates, and a formal charge: the one a "charge" entry
// of a UNITY_ATOM_ATTR record gives, else the partial charge rounded, unless the MOLECULE record names a computed
// charge model (GASTEIGER, MMFF94_CHARGES, ...), whose partial charges say nothing of formal ones.

#include "inputs/file_input.h"

#include <string>

namespace corvatin {

inline constexpr const char* kMOL2InputName = "Input";
inline constexpr const char* kMOL2Filter = "TRIPOS MOL file (*.mol2, *.ml2)|*.mol2;*.ml2";
inline constexpr const char* kMOL2DefaultFile = "Input.mol2";
inline constexpr const char* kMOL2Heading = "Reading Tripos MOL file...";

/// Details of the file-and-line message for what a MOL2 record names wrongly (a missing or malformed field has
/// no detail).
namespace mol2_detail {
inline constexpr const char* kAtomRange = "Atom number out of range";
inline constexpr const char* kDuplicateAtom = "Atom id used twice";
inline constexpr const char* kChargeRange = "Charge out of range";
inline constexpr const char* kCoordinateRange = "Coordinate out of range";
inline constexpr const char* kNoAtoms = "Molecule without atoms";
} // namespace mol2_detail

/// Reads the next molecule of a MOL2 file from the tokenizer's position into molecule (cleared first; named by
/// its MOLECULE record): every record up to the next MOLECULE record or the end of the text. Returns whether
/// another MOLECULE record follows (the position is then at its start). Bond types "1", "2", "3" give single,
/// double and triple bonds, "ar" aromatic ones, "am", "du", "un", "nc" and any other integer single ones. A
/// missing or malformed field, or any other bond type, raises EInputError `Error in file "%s" at line %d`
/// naming fileName and the field's line, as does a molecule without atoms (at its MOLECULE line) or a coordinate
/// beyond 10^6 angstrom; the molecule is then left empty and the position is inside the broken molecule.
bool ReadMol2Molecule(IParser& tokenizer, IMolecule& molecule, const std::string& fileName);

/// The MOL2 reader block: each pass reads the next molecule into the shared molecule and fits it into the view.
class TTriposMOLInput : public TParserInput {
public:
  TTriposMOLInput();

  std::string GetName() const override { return kMOL2InputName; }
  /// Reads the next molecule. A broken one is an ERecordError; the next pass reads the next MOLECULE record.
  void Execute(bool& more) override;
  /// A "@<TRIPOS>MOLECULE" line somewhere in the head (letter case ignored).
  bool LooksLikeFormat(std::string_view head, bool whole) const override;
  TRecordLayout RecordLayout(const std::string&) const override { return TRecordLayout::Mol2; }
};

/// Moves to the start of the next "@<TRIPOS>MOLECULE" line after the present line (or to the end of the text).
void SkipToNextMol2Molecule(IParser& tokenizer);

} // namespace corvatin

#pragma once
// The reader of MOPAC Z-matrix files (".zmt"): a header line, "Name:" with the molecule's name, a "MOPAC" line,
// then one line per atom in MOPAC's internal-coordinate layout (MOPAC manual, "Geometry
// definition"): symbol, bond length, flag, bond angle, flag, torsion, flag, and the three reference atoms.
// The atoms get 3D coordinates from their internal coordinates, bonds from distances, and their hydrogens are
// taken as complete.

#include "inputs/file_input.h"

#include <array>
#include <string>
#include <vector>

namespace corvatin {

inline constexpr const char* kZMatrixInputName = "Z Matrix Input";
inline constexpr const char* kZMatrixFilter = "MOPAC Z matrix files (*.zmt)|*.zmt";
inline constexpr const char* kZMatrixDefaultFile = "Input.zmt";
inline constexpr const char* kZMatrixHeading = "Reading MOPAC Z matrix file...";

/// Details of the file-and-line message (a missing header word, number or flag has none).
namespace zmatrix_detail {
inline constexpr const char* kBadReference = "Invalid reference atom";
/// An atom that the internal coordinates put farther than 10^6 angstrom from the first one.
inline constexpr const char* kCoordinateRange = "Coordinate out of range";
} // namespace zmatrix_detail

/// The symbol MOPAC gives dummy atoms: they place other atoms and are removed once the geometry is built.
inline constexpr const char* kDummySymbol = "XX";

/// One atom line: distance (angstrom), angle and torsion (degrees), and its reference atoms (numbers from 1,
/// 0 for none): the atom lies at the distance from refs[0], makes the angle with refs[1] and the torsion with
/// refs[2]. Without references the atom is placed on the chain of the atoms before it.
struct ZMatrixLine {
  double distance = 0.0;
  double angle = 0.0;
  double torsion = 0.0;
  bool hasReferences = false;
  std::array<int, 3> refs{0, 0, 0};
};

/// The chain references of the atom at index (from 0): the three atoms before it, 0 where there is none.
std::array<int, 3> ChainReferences(int index);

/// Whether every line is placed on the chain (no references, or exactly its chain references).
bool IsChainZMatrix(const std::vector<ZMatrixLine>& lines);

/// Model coordinates for the atoms of molecule (one per line, in order) by the standard Z-matrix construction:
/// the first atom at the origin, the second on the +x axis, the third in the xy plane on the +y side, every
/// further one from its distance, angle and torsion to its reference atoms. A line without references uses its
/// chain references. For chain Z-matrices it places the atoms where the molecule's BuildFromInternalCoords does.
void BuildFromReferences(IMolecule& molecule, const std::vector<ZMatrixLine>& lines);

/// Reads a whole Z-matrix file from the tokenizer into molecule (cleared first): the atoms, their coordinates
/// (BuildFromInternalCoords when every line is a chain line, else BuildFromReferences), the dummy atoms
/// removed, bonds by distance, aromaticity, the view fit, hydrogens marked complete; the position ends at the
/// end of the text. A missing header word, number or flag raises EInputError `Error in file "%s" at line %d`;
/// references that do not name distinct earlier atoms add the detail kBadReference.
void ReadZMatrix(IParser& tokenizer, IMolecule& molecule, const std::string& fileName);

/// The Z-matrix reader block: one structure per file.
class TZMatrixInput : public TParserInput {
public:
  TZMatrixInput();

  std::string GetName() const override { return kZMatrixInputName; }
  /// Reads the file's structure; a broken file or one without atoms is an ERecordError.
  void Execute(bool& more) override;
  /// The "Name:" or "MOPAC" header line near the start.
  bool LooksLikeFormat(std::string_view head, bool whole) const override;
  /// One structure per file.
  TRecordLayout RecordLayout(const std::string&) const override { return TRecordLayout::WholeFile; }
};

} // namespace corvatin

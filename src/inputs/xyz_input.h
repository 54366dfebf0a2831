#pragma once
// The reader of ".xyz" files. A point set for the sphere matrices is a count, then that many lines of x, y and z:
// it builds no atoms. A molecule in the usual layout is a count, a comment line (its name), then one line per
// atom, "El x y z": its atoms get their coordinates and their bonds from distances. Either way the reader
// publishes the coordinates, the distances between the points and their inverses as matrices, in the shared data
// space and on the structure that flows through the procedure. Several sets may follow one another.

#include "core/matrix.h"
#include "inputs/file_input.h"

#include <string>

namespace corvatin {

inline constexpr const char* kXYZInputName = "XYZ Input";
inline constexpr const char* kXYZFilter = "XYZ file (*.xyz)|*.xyz";
inline constexpr const char* kXYZHeading = "Reading XYZ structure...";

/// The matrices the reader publishes, by name.
inline constexpr const char* kParamCoordMatrix = "CoordMatrix";
inline constexpr const char* kParamSphereVertexMatrix = "SphereVertexMatrix";
inline constexpr const char* kParamSphereVertexMatrixInv = "SphereVertexMatrixInv";

/// Details of the file-and-line message.
namespace xyz_detail {
inline constexpr const char* kAtomCount = "Atom count expected";
/// "%d" and "%d": the numbers (from 1) of two points at the same place; the message names the later one's line.
inline constexpr const char* kSamePoints = "Points %d and %d coincide";
/// A point line that does not hold three numbers.
inline constexpr const char* kPoint =
    "x y z expected: a point set is a count line, then one line of three numbers per point";
/// An atom line of the element-first layout.
inline constexpr const char* kAtom = "Element symbol and x y z expected";
inline constexpr const char* kElement = "Unknown element";
inline constexpr const char* kCoordinateRange = "Coordinate out of range";
} // namespace xyz_detail

/// The most points of one set: the two n x n matrices of a larger set would take more memory than a
/// descriptor run should ask for.
inline constexpr int kMaxSpherePoints = 4000;
/// EChemError when a set has more points ("%d" the count, then the limit).
inline constexpr const char* kMsgTooManyPoints = "Too many points for the sphere matrices: %d (at most %d)";

/// One point set: n x 3 coordinates, n x n distances and n x n inverse distances (0 on the diagonals).
struct SpherePointSet {
  Ptr<IDoubleMatrix> coordinates;
  Ptr<IDoubleMatrix> distances;
  Ptr<IDoubleMatrix> inverseDistances;
};

/// Reads the next point set from the tokenizer's position and skips the white space after it. A missing count
/// raises EInputError `Error in file "%s" at line %d (Atom count expected)`; a missing or malformed coordinate
/// (an element symbol before the numbers among them) the same message without detail; two points at the same
/// place the message with kSamePoints. A set of more than kMaxSpherePoints points raises EChemError
/// kMsgTooManyPoints once it has been read, so the next set can still be read.
SpherePointSet ReadSpherePoints(IParser& tokenizer, const std::string& fileName);

/// Whether the set at the tokenizer's position is a molecule in the element-first layout: its second line is not
/// a point (three numbers) and a count above 0 is given. Nothing is consumed.
bool AtXYZMolecule(IParser& tokenizer);

/// Reads the next element-first molecule into molecule (cleared first): atoms with their symbols and
/// coordinates, the comment line as its name, bonds from distances, hydrogens taken as complete; skips the white
/// space after it. Returns the points as a set (none beyond kMaxSpherePoints atoms). EInputError with the file, the line and kAtomCount, kAtom,
/// kElement or kCoordinateRange.
SpherePointSet ReadXYZMolecule(IParser& tokenizer, IMolecule& molecule, const std::string& fileName);

/// Moves past the rest of a broken set: to the next line that holds a count alone, or to the end.
void SkipToNextXYZSet(IParser& tokenizer);

/// The XYZ reader block: each pass reads the next point set (the structure stays empty) or molecule. A broken
/// set is an ERecordError; the next pass starts at the next count line.
class TXYZSphereInput : public TParserInput {
public:
  TXYZSphereInput();

  std::string GetName() const override { return kXYZInputName; }
  void Execute(bool& more) override;
  /// A count as the first word.
  bool LooksLikeFormat(std::string_view head, bool whole) const override;
};

} // namespace corvatin

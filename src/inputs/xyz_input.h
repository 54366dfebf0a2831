#pragma once
// The reader of point sets for the sphere matrices (".xyz"): a count, then that many lines of x, y and z. It
// builds no atoms: it publishes the coordinates, the distances between the points and their inverses as matrices,
// in the shared data space and on the structure that flows through the procedure.

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

/// The XYZ sphere reader block: each pass reads the next point set; the structure stays empty.
class TXYZSphereInput : public TParserInput {
public:
  TXYZSphereInput();

  std::string GetName() const override { return kXYZInputName; }
  void Execute(bool& more) override;
};

} // namespace corvatin

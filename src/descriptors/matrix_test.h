#pragma once
// The sphere-matrix block: from the point coordinates the XYZ sphere reader publishes, the Gaussian similarity of
// every pair of points, exp(-d^2 / (2 s^2)), with 0 on the diagonal.

#include "blocks/block.h"

#include <string>

namespace corvatin {

inline constexpr const char* kParamSphereWidth = "s param";
/// Input in the shared data space: n x 3 point coordinates (x, y, z per row).
inline constexpr const char* kSphereCoordinates = "CoordMatrix";
/// Output in the shared data space and on the structure: the n x n Gaussian matrix.
inline constexpr const char* kResultExpMatrix = "ExpMatrix";

/// The most points whose n x n matrix the block builds; more raise EChemError (the XYZ sphere reader has the
/// same limit).
inline constexpr int kMaxExpMatrixPoints = 4000;

/// "Sphere Matrix": one port, the parameter "s param" (number, default 1, editable).
class TMatrixTest : public TBlock {
public:
  TMatrixTest();

  std::string GetName() const override { return "Sphere Matrix"; }
  /// Builds "ExpMatrix" from the published "CoordMatrix" with s = "s param" rounded to an integer (halves to even):
  /// element (i, j) = exp(-d_ij^2 / (2 s^2)) for i != j, 0 on the diagonal and everywhere when s <= 0. Publishes
  /// it in the shared data space and adds it to the published structure (when there is one), both replacing
  /// earlier entries. Stores nothing when no "CoordMatrix" is published or the published structure carries none
  /// (it then came from another reader and the shared one is stale); an earlier "ExpMatrix" is then withdrawn
  /// from the shared data space so that it cannot be taken for this structure's. Rows of fewer than three columns
  /// read the missing coordinates as 0. EChemError for more than kMaxExpMatrixPoints points. No log line.
  void Execute(bool& more) override;
};

} // namespace corvatin

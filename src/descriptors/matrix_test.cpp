#include "descriptors/matrix_test.h"

#include "core/rounding.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace corvatin {

namespace {

Ptr<TMatrixParameter> Wrap(const Ptr<IDoubleMatrix>& matrix) { return std::make_shared<TMatrixParameter>(matrix); }

} // namespace

TMatrixTest::TMatrixTest() : TBlock(1) {
  AddParam(kParamSphereWidth, std::make_shared<TNumberParameter>(kParamSphereWidth, 1.0), nullptr, false);
}

void TMatrixTest::Execute(bool&) {
  const Ptr<TParameters> shared = DataSpace();
  const auto target = std::dynamic_pointer_cast<IParameters>(GetInputStructure());
  Ptr<IDoubleMatrix> x = shared->GetMatrix(kSphereCoordinates);
  // The reader of point sets puts the coordinates on the structure as well. A structure without them came from
  // another reader, and the shared coordinates are then those of an earlier file.
  if (target && !target->GetMatrix(kSphereCoordinates)) x = nullptr;
  if (!x) {
    // Published by an earlier point set, it would be written out again for a structure it does not describe.
    shared->DeleteParam(kResultExpMatrix);
    return;
  }
  const int n = x->GetRowCount();
  if (n > kMaxExpMatrixPoints) {
    shared->DeleteParam(kResultExpMatrix);
    throw EChemError("Too many points for the sphere matrix: " + std::to_string(n) + " (at most " +
                     std::to_string(kMaxExpMatrixPoints) + ")");
  }
  const long double s = RoundHalfEvenD(GetFloat(kParamSphereWidth));
  const int dims = std::min(x->GetColumnCount(), 3);
  Ptr<IDoubleMatrix> g = NewMatrix(n, n);
  if (s > 0)
    for (int i = 0; i < n; ++i)
      for (int j = i + 1; j < n; ++j) {
        long double d2 = 0;
        for (int k = 0; k < dims; ++k) {
          const long double delta = static_cast<long double>(x->Get(i, k)) - x->Get(j, k);
          d2 += delta * delta;
        }
        const double value = static_cast<double>(std::exp(-d2 / (2 * s * s)));
        g->Set(i, j, value);
        g->Set(j, i, value);
      }
  shared->AddParam(kResultExpMatrix, Wrap(g), nullptr, true);
  if (target) target->AddParam(kResultExpMatrix, Wrap(g), nullptr, true);
}

} // namespace corvatin

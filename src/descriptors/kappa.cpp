#include "descriptors/kappa.h"

#include "core/matrix.h"

#include <string>
#include <vector>

namespace corvatin {

namespace {

constexpr int kAnyHybridisation = -1;

struct AlphaIncrement {
  int atomicNumber;
  int hybridisation; // kAnyHybridisation: every hybridisation
  long double value;
};

// r(X) / r(Csp3) - 1 as tabulated in Rev. Comput. Chem. 2 (1991) 367 from the covalent radii of
// the element in each hybridisation state; as long double literals, the nearest extended values to the decimals.
constexpr AlphaIncrement kAlphaIncrements[] = {
    {6, 1, -0.22L},  {6, 2, -0.13L},                  // C sp, sp2
    {7, 1, -0.29L},  {7, 2, -0.20L},  {7, 3, -0.04L}, // N
    {8, 2, -0.20L},  {8, 3, -0.04L},                  // O
    {9, kAnyHybridisation, -0.07L},                   // F
    {15, 2, 0.30L},  {15, 3, 0.43L},                  // P
    {16, 2, 0.22L},  {16, 3, 0.35L},                  // S
    {17, kAnyHybridisation, 0.29L},                   // Cl
    {35, kAnyHybridisation, 0.48L},                   // Br
    {53, kAnyHybridisation, 0.73L},                   // I
};

// factor * square^2 / p^2, or 0 when the (corrected) path count p is 0.
long double Shape(long double factor, long double square, long double p) {
  if (p == 0) return 0;
  return factor * square * square / (p * p);
}

} // namespace

long double KappaAlphaIncrement(int atomicNumber, int hybridisation) {
  for (const AlphaIncrement& row : kAlphaIncrements)
    if (row.atomicNumber == atomicNumber &&
        (row.hybridisation == kAnyHybridisation || row.hybridisation == hybridisation))
      return row.value;
  return 0;
}

std::array<long double, 3> KappaIndexes(const TKappaCounts& counts, long double alpha) {
  const long double a = static_cast<long double>(counts.atoms) + alpha;
  std::array<long double, 3> kappa{0, 0, 0};
  if (counts.paths1 != 0) kappa[0] = Shape(a, a - 1, static_cast<long double>(counts.paths1) + alpha);
  if (counts.paths2 != 0) kappa[1] = Shape(a - 1, a - 2, static_cast<long double>(counts.paths2) + alpha);
  if (counts.paths3 != 0) {
    const long double p3 = static_cast<long double>(counts.paths3) + alpha;
    kappa[2] = counts.atoms % 2 != 0 ? Shape(a - 1, a - 3, p3) : Shape(a - 3, a - 2, p3);
  }
  return kappa;
}

Ptr<TMatrixParameter> NewKappaMatrix(bool alpha) {
  const std::string suffix = alpha ? "(alpha)" : "";
  return std::make_shared<TMatrixParameter>(
      NewMatrix(3, 1), alpha ? "kappa(alpha)" : "kappa", "",
      std::vector<std::string>{"1k" + suffix, "2k" + suffix, "3k" + suffix}, std::vector<std::string>{});
}

} // namespace corvatin

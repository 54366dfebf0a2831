#include "classify/gasteiger_core.h"

#include "classify/gasteiger_params.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace corvatin {

namespace {

void CheckInput(const TGasteigerInput& input) {
  const size_t n = input.types.size();
  if (input.initialCharges.size() != n || input.firstNeighbour.size() != n + 1)
    throw std::invalid_argument("Gasteiger input: arrays of different sizes");
  if (input.firstNeighbour.front() != 0 ||
      input.firstNeighbour.back() != static_cast<int>(input.neighbours.size()) ||
      !std::is_sorted(input.firstNeighbour.begin(), input.firstNeighbour.end()))
    throw std::invalid_argument("Gasteiger input: bad neighbour rows");
  for (int j : input.neighbours)
    if (j < 0 || static_cast<size_t>(j) >= n) throw std::invalid_argument("Gasteiger input: neighbour outside");
}

} // namespace

TGasteigerResult EqualiseGasteigerCharges(const TGasteigerInput& input, int maxSweeps) {
  CheckInput(input);
  const int n = input.AtomCount();
  TGasteigerResult result;
  result.charges = input.initialCharges;
  if (n == 0) return result;

  TAtomsArray atoms(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const TGasteigerCoefficients& k = GasteigerCoefficients(input.types[static_cast<size_t>(i)]);
    TGasteigerAtom& atom = atoms[static_cast<size_t>(i)];
    atom.type = input.types[static_cast<size_t>(i)] <= kGasteigerUntyped ? input.types[static_cast<size_t>(i)]
                                                                         : kGasteigerUntyped;
    atom.a = k.a;
    atom.b = k.b;
    atom.c = k.c;
    atom.chiPlus = k.a + k.b + k.c;
    // The initial charge does not enter the first electronegativity (1980 paper: the iteration starts from the
    // neutral-atom values).
    atom.chi = k.a;
  }

  std::vector<double>& q = result.charges;
  // The 1980 paper stops once the charges change by less than 0.001 e. The comparison is made in double: a
  // change equal to the double nearest 0.001 still counts as "not yet converged".
  constexpr double kThreshold = 0.001;
  double damping = 1.0;
  for (int sweep = 1; sweep <= maxSweeps; ++sweep) {
    damping *= 0.5;
    double maxChange = 0.0;
    for (int i = 0; i < n; ++i) {
      const TGasteigerAtom& ai = atoms[static_cast<size_t>(i)];
      if (ai.type == kGasteigerUntyped) continue;
      const double old = q[static_cast<size_t>(i)];
      double qi = old;
      for (int k = input.firstNeighbour[static_cast<size_t>(i)]; k < input.firstNeighbour[static_cast<size_t>(i) + 1];
           ++k) {
        const TGasteigerAtom& aj = atoms[static_cast<size_t>(input.neighbours[static_cast<size_t>(k)])];
        if (aj.type == kGasteigerUntyped) continue;
        // Both atoms of a pair use the same divisor (hydrogen's 20.02, else the cation electronegativity of the
        // less electronegative atom), so what one gains the other loses and the total charge is conserved.
        double divisor;
        if (ai.type == 0 || aj.type == 0)
          divisor = kGasteigerHydrogenDivisor;
        else
          divisor = aj.chi > ai.chi ? ai.chiPlus : aj.chiPlus;
        qi += (aj.chi - ai.chi) / divisor * damping;
      }
      q[static_cast<size_t>(i)] = qi;
      maxChange = std::max(maxChange, std::fabs(qi - old));
    }
    result.sweeps = sweep;
    if (maxChange < kThreshold) break;
    for (int i = 0; i < n; ++i) {
      TGasteigerAtom& a = atoms[static_cast<size_t>(i)];
      const double qi = q[static_cast<size_t>(i)];
      a.chi = a.a + a.b * qi + a.c * qi * qi;
    }
  }
  return result;
}

} // namespace corvatin

#pragma once
// Kier's kappa shape indexes of orders 1 to 3, with and without the alpha correction for atom size and
// hybridisation, and the flexibility index built from them (Quant. Struct.-Act. Relat. 4 (1985) 109 and
// 8 (1989) 221; Rev. Comput. Chem. 2 (1991) 367).

#include "core/parameters.h"

#include <array>
#include <cstdint>

namespace corvatin {

inline constexpr const char* kResultKappa = "kappa index";
inline constexpr const char* kResultKappaAlpha = "kappa(alpha) index";
inline constexpr const char* kResultFlexibility = "Flexibility index";
/// The short caption of the flexibility index, the Latin small o with stroke (byte 0xF8 in result files).
inline constexpr const char* kFlexibilityCaption = "\xC3\xB8";

/// The counts the kappa indexes are made of: atoms, bonds, paths of two and of three bonds.
struct TKappaCounts {
  std::int64_t atoms = 0, paths1 = 0, paths2 = 0, paths3 = 0;
};

/// Kier's alpha increment of an atom, r(X) / r(Csp3) - 1 from covalent radii, by atomic number and hybridisation
/// code (1 sp, 2 sp2, 3 sp3); 0 for any element or hybridisation the table does not list.
long double KappaAlphaIncrement(int atomicNumber, int hybridisation);

/// 1k = A (A-1)^2 / P1^2, 2k = (A-1) (A-2)^2 / P2^2, 3k = (A-1) (A-3)^2 / P3^2 for odd A and (A-3) (A-2)^2 / P3^2
/// for even A, with A + alpha for A and P + alpha for P when alpha is given; a value whose path count is 0 (or
/// whose corrected count is 0) stays 0.
std::array<long double, 3> KappaIndexes(const TKappaCounts& counts, long double alpha = 0);

/// A zero 1 x 3 matrix parameter with the short caption and the column labels: "1k", "2k", "3k" or, with alpha,
/// "1k(alpha)", "2k(alpha)", "3k(alpha)".
Ptr<TMatrixParameter> NewKappaMatrix(bool alpha);

} // namespace corvatin

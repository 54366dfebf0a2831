#pragma once
// Atom types of the Gasteiger-Marsili charge model and the coefficients of their orbital electronegativity
// polynomial chi(q) = a + b q + c q^2.

#include <cstdint>

namespace corvatin {

/// The type every element-hybridisation pair without parameters gets; such atoms take no part in equalisation.
inline constexpr std::uint8_t kGasteigerUntyped = 19;

/// The divisor used for every pair that involves a hydrogen, in place of a cation electronegativity.
inline constexpr double kGasteigerHydrogenDivisor = 20.02;

/// The coefficients of one atom type.
struct TGasteigerCoefficients {
  double a;
  double b;
  double c;
};

/// The type (0 to 19) of an atom from its atomic number and hybridisation code (1 sp, 2 sp2, 3 sp3).
std::uint8_t GasteigerAtomType(int atomicNumber, int hybridisation);

/// The coefficients of a type; type 19 and any code above it give zeros.
const TGasteigerCoefficients& GasteigerCoefficients(std::uint8_t type);

} // namespace corvatin

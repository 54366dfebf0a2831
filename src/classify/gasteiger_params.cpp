#include "classify/gasteiger_params.h"

#include <array>

namespace corvatin {

namespace {

// Types 0 to 13: Tetrahedron 36 (1980) 3219, Table 1 (a, b, c of the neutral-atom orbital
// electronegativity polynomial). Types 14 to 18 (P sp3, sp2, sp; Li; Be) are not in that table; they are the
// values this program has always carried for those elements (b = 10 and c = 0: a linear polynomial).
constexpr std::array<TGasteigerCoefficients, 20> kCoefficients = {{
    {7.17, 6.24, -0.56},   // 0  H
    {7.98, 9.18, 1.88},    // 1  C sp3
    {8.79, 9.32, 1.51},    // 2  C sp2
    {10.39, 9.45, 0.73},   // 3  C sp
    {11.54, 10.82, 1.36},  // 4  N sp3
    {12.87, 11.15, 0.85},  // 5  N sp2
    {15.68, 11.70, -0.27}, // 6  N sp
    {14.18, 12.92, 1.39},  // 7  O sp3
    {17.07, 13.79, 0.47},  // 8  O sp2
    {14.66, 13.85, 2.31},  // 9  F
    {11.00, 9.69, 1.35},   // 10 Cl
    {10.08, 8.47, 1.16},   // 11 Br
    {9.90, 7.96, 0.96},    // 12 I
    {10.14, 9.13, 1.38},   // 13 S sp3
    {8.905, 10.0, 0.0},    // 14 P sp3
    {9.665, 10.0, 0.0},    // 15 P sp2
    {10.775, 10.0, 0.0},   // 16 P sp
    {3.11, 5.0, 0.0},      // 17 Li
    {3.85, 10.0, 0.0},     // 18 Be
    {0.0, 0.0, 0.0},       // 19 anything else
}};

/// The type for an element whose parameters depend on the hybridisation: sp, sp2, sp3 map to the given types;
/// any other code has no parameters.
std::uint8_t ByHybridisation(int hybridisation, std::uint8_t sp, std::uint8_t sp2, std::uint8_t sp3) {
  switch (hybridisation) {
  case 1:
    return sp;
  case 2:
    return sp2;
  case 3:
    return sp3;
  default:
    return kGasteigerUntyped;
  }
}

} // namespace

std::uint8_t GasteigerAtomType(int atomicNumber, int hybridisation) {
  constexpr std::uint8_t none = kGasteigerUntyped;
  switch (atomicNumber) {
  case 1:
    return 0;
  case 3:
    return 17;
  case 4:
    return 18;
  case 6:
    return ByHybridisation(hybridisation, 3, 2, 1);
  case 7:
    return ByHybridisation(hybridisation, 6, 5, 4);
  case 8: // no sp oxygen type
    return ByHybridisation(hybridisation, none, 8, 7);
  case 9:
    return 9;
  case 15:
    return ByHybridisation(hybridisation, 16, 15, 14);
  case 16: // only the sp3 (divalent) sulfur is parameterised
    return hybridisation == 3 ? 13 : none;
  case 17:
    return 10;
  case 35:
    return 11;
  case 53:
    return 12;
  default:
    return none;
  }
}

const TGasteigerCoefficients& GasteigerCoefficients(std::uint8_t type) {
  return kCoefficients[type < kCoefficients.size() ? type : kGasteigerUntyped];
}

} // namespace corvatin

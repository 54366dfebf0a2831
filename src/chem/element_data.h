#pragma once
// The element table's rows (internal to the element unit; use the lookups of chem/elements.h).

#include <array>
#include <cstdint>

namespace corvatin::element_data {

constexpr int kElementCount = 109;

struct Rgb {
  std::uint8_t r, g, b;
};

/// One element: symbol as written (upper, then lower case), atomic weight, covalent radius, valence electrons,
/// and its own default colour (all zero when it has none).
struct ElementRecord {
  const char* symbol;
  float atomicWeight;
  float covalentRadius;
  int valenceElectrons;
  Rgb color;
};

/// Row Z - 1 holds element Z.
extern const std::array<ElementRecord, kElementCount> kElements;

} // namespace corvatin::element_data

#pragma once
// Writers of V2000 lines in the fixed columns of the CTfile format, for records made up inside the tests.

#include <cstdio>
#include <string>

namespace corvatin::test {

/// A counts line; stamp "V2000", "V3000" or "" (no version stamp, the line ends after the 33rd column).
inline std::string CountsLine(int atoms, int bonds, const std::string& stamp = "V2000") {
  char text[64];
  std::snprintf(text, sizeof text, "%3d%3d  0  0  0  0  0  0  0  0999", atoms, bonds);
  return std::string(text) + (stamp.empty() ? "" : " " + stamp) + "\n";
}

/// An atom line: coordinates, symbol, mass difference, charge code, stereo parity 0, hydrogen count field.
inline std::string AtomLine(double x, double y, double z, const std::string& symbol, int mass = 0, int charge = 0,
                            int hydrogens = 0) {
  char text[128];
  std::snprintf(text, sizeof text, "%10.4f%10.4f%10.4f %-3s%2d%3d  0%3d  0  0  0  0  0  0  0  0\n", x, y, z,
                symbol.c_str(), mass, charge, hydrogens);
  return text;
}

inline std::string BondLine(int a1, int a2, int type) {
  char text[32];
  std::snprintf(text, sizeof text, "%3d%3d%3d  0\n", a1, a2, type);
  return text;
}

/// The three header lines of a record named name.
inline std::string Header(const std::string& name) { return name + "\n  CorvatinTest 3D\n\n"; }

} // namespace corvatin::test

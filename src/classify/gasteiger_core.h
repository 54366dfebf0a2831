#pragma once
// The Gasteiger-Marsili partial equalisation of orbital electronegativity over a molecule graph given as atom
// types, initial charges and neighbour lists (Tetrahedron 36 (1980) 3219).

#include <cstdint>
#include <vector>

namespace corvatin {

/// The most sweeps the equalisation runs.
inline constexpr int kGasteigerMaxSweeps = 6;

/// The molecule as the charge computation sees it; neighbours in compressed rows.
struct TGasteigerInput {
  std::vector<std::uint8_t> types;     ///< per atom, 0 to 19 (GasteigerAtomType)
  std::vector<double> initialCharges;  ///< per atom
  std::vector<int> firstNeighbour;     ///< size atoms + 1: the neighbours of atom i are [first[i], first[i + 1])
  std::vector<int> neighbours;         ///< atom indices, in each atom's own neighbour order

  int AtomCount() const { return static_cast<int>(types.size()); }
};

/// The work record of one atom.
struct TGasteigerAtom {
  double chi;     ///< current electronegativity
  double a;
  double b;
  double c;
  double chiPlus; ///< a + b + c: the cation's electronegativity, the divisor of a pair
  std::uint8_t type;
};

using TAtomsArray = std::vector<TGasteigerAtom>;

/// The outcome of an equalisation.
struct TGasteigerResult {
  std::vector<double> charges; ///< per atom
  int sweeps = 0;              ///< sweeps run (1 to 6; 0 for no atoms)
};

/// Runs the damped sweeps (damping 0.5^k in sweep k, at most maxSweeps, until the largest change of a sweep
/// falls below 0.001) and returns the charges. Atoms of type 19 keep their initial charge and are ignored by
/// their neighbours. Throws std::invalid_argument when the input's arrays disagree in size or name an atom
/// outside it.
TGasteigerResult EqualiseGasteigerCharges(const TGasteigerInput& input, int maxSweeps = kGasteigerMaxSweeps);

} // namespace corvatin

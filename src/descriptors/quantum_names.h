#pragma once
// The names under which the MOPAC output reader leaves the results of a semi-empirical calculation on a molecule,
// its atoms and its bonds; the topographic and quantum-chemical descriptors read them. Kept here so that the
// descriptors need not depend on the readers.

namespace corvatin::quantum {

/// Bond, number: the Wiberg-Mayer bond order MOPAC prints under "BOND ORDERS AND VALENCIES".
inline constexpr const char* kBondOrder = "Bond order";
/// Atom, number: the valence electron count of the atom (MOPAC's "ELECTRON DENSITY" column).
inline constexpr const char* kElectronDensity = "Electron density";
/// Atom, number: the net atomic charge (MOPAC's "CHARGE" column).
inline constexpr const char* kNetAtomicCharge = "Net atomic charge";
/// Molecule, number: the number of doubly occupied molecular orbitals.
inline constexpr const char* kFilledLevels = "Filled Levels";
/// Molecule, one-row matrix: the orbital energies in eV, column j - 1 for orbital j. Spelled as the reader writes it.
inline constexpr const char* kOrbitalEnergies = "Eigenvectors Coeficients";
/// Atom, matrix: the coefficients of the atom's atomic orbitals (rows, s first) in each molecular orbital (columns).
inline constexpr const char* kEigenvectors = "Eigenvectors";

} // namespace corvatin::quantum

#pragma once
// Bond perception from 3D coordinates, for structure files that give atoms and positions but no bonds (MOPAC
// output, Z-matrices, XYZ files).

#include "chem/molecule.h"

namespace corvatin {

/// The tolerance on the sum of covalent radii within which two atoms are taken as bonded.
inline constexpr double kBondTolerance = 1.1;

/// Makes the bonds agree with the distances of the model coordinates: two atoms are bonded when their distance
/// is at most 1.1 x the sum of their covalent radii (a new bond is single, an existing one is kept as it is) and
/// not bonded when farther apart. Atoms without 3D coordinates keep their bonds. New bonds are appended in the
/// order of their atom pairs (i < j). True when a bond was added or removed. Raises EChemError, leaving the
/// molecule unchanged, when the atoms are packed so densely that every atom would bond to dozens of others.
bool ConnectByDistance(IMolecule& molecule);

} // namespace corvatin

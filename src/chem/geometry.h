#pragma once
// Molecule geometry: model coordinates (angstrom) built from internal coordinates or generated from the
// topology, and the fitting of a molecule into the view (view coordinates roughly within +-0.45). The molecule's
// own GenerateGeometry and BuildFromInternalCoords call the functions declared here.

#include "chem/molecule.h"

namespace corvatin {

/// Fits the model coordinates into the view: centres the bounding box of the atoms that have 3D coordinates and
/// scales so that the largest view coordinate reaches 0.35 (0.45 above 1000 atoms) when it is at or beyond that
/// limit or at most 0.3. Sets the molecule's transform (which re-projects every atom).
void FitView(IMolecule& molecule);

/// Model coordinates from every atom's internal coordinates (distance in angstrom, bond angle and torsion in
/// degrees), each atom placed relative to the atom before it by chaining the atoms' frames in index order.
void BuildFromInternalCoords(IMolecule& molecule);

/// Model coordinates for every atom from the topology alone: ring systems as planar polygons (bridged systems
/// relaxed in 3D), chains along the ideal bond directions of each atom's arrangement with the larger branches
/// trans, bond lengths as sums of covalent radii, fragments side by side, then a clean-up of close contacts.
void GenerateGeometry(IMolecule& molecule);

/// The view limits of FitView.
inline constexpr double kFitLimit = 0.35;
inline constexpr double kFitLimitLarge = 0.45;
inline constexpr int kFitLargeAtomCount = 1000;

} // namespace corvatin

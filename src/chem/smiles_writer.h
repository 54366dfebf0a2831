#pragma once
// The SMILES writer: the editor copies its structure as text a chemist can paste anywhere, and the text must
// read back through our own parser into the same structure.

#include "chem/molecule.h"

#include <string>

namespace corvatin {

/// A SMILES string for molecule (components joined by "."). Hydrogens on a single neighbour are left implicit
/// wherever ParseSMILES would add them back, otherwise counted in brackets ("[nH]", "[CH2]", "[NH4+]"); a
/// molecule without any hydrogen atom is taken as a skeleton whose hydrogens are all implicit. Atoms are ranked
/// by their neighbourhoods (extended connectivity), so the text does not depend on the drawing order of
/// non-symmetric atoms. The text is read back before it is returned, and an atom or bond the parser would read
/// differently is written explicitly (bracket atom, bond character). Empty for an empty molecule; EChemError
/// when more than 99 rings would be open at once.
std::string WriteSMILES(const IMolecule& molecule);

} // namespace corvatin

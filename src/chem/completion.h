#pragma once
// Aromaticity perception and hydrogen completion. Structures arrive with or without hydrogen atoms and with
// Kekule or aromatic bonds; these routines turn aromatic rings' bonds aromatic and make the explicit hydrogens
// agree with the elements' normal valences. The molecule's "TagAromaticy" and "TagHydrogens" record that a step
// was done; every change of the molecule resets both, so a step runs again only after the structure changed.

#include "chem/molecule.h"

#include <optional>
#include <span>

namespace corvatin {

/// Whether ring passes the aromatic-ring test. Electrons are counted atom by atom: a carbon passes when
/// assumedAromatic, when it already has an aromatic bond, or when it has 2 or 3 neighbours and (unless
/// ignoreBondOrders) exactly one double bond or charge -1, and counts 1; a nitrogen with two neighbours passes
/// when assumedAromatic, with an aromatic bond, when ignoreBondOrders or with exactly one double bond, and
/// counts 1; one with three neighbours counts 2; oxygen and sulfur pass when assumedAromatic, with an aromatic
/// bond or with exactly two neighbours, and count 2; any other atom fails. Each count is lowered by the atom's
/// charge and by 1 per double bond to an oxygen or sulfur outside the ring. The ring is aromatic when every atom
/// passes, the total T is within one of the ring's atom count and T - 2 is a multiple of 4 (Hueckel's 4n + 2).
/// The ring's vertices are atoms of a molecule of this library (anything else fails the test).
bool IsAromaticRing(const ISubGraph& ring, bool assumedAromatic, bool ignoreBondOrders);

/// Judges every ring of the depth-first ring list (not assumed aromatic) and makes the bonds of each ring that
/// passes aromatic; with resetAromatic, aromatic bonds are first made single and bond orders are ignored. Does
/// nothing (false) when "TagAromaticy" is set; sets it afterwards. True when some ring was found aromatic.
/// spare has no effect.
bool PerceiveAromaticity(IMolecule& molecule, bool resetAromatic = false, bool ignoreBondOrders = false,
                         bool spare = false);

/// The hydrogens an atom needs: its normal valence at its formal charge (ChargedNormalValence) less the bond
/// orders to heavy atoms. Uncharged atoms count their bonds as HeavyBondOrderSum does; a charged atom counts an
/// aromatic bond as 1.5 (rounded down over all of them), so that an N-alkylpyridinium N+ (two aromatic bonds and
/// a single one: 4) needs none while a pyridinium [nH+] needs its one. Empty when the element has no normal
/// valences at that charge (metals, Si, Se, As, ..., hydrogen itself, unknown symbols): such atoms keep the
/// hydrogens they were given.
std::optional<int> NeededHydrogens(const IAtom& atom);

/// Adds the hydrogens each atom lacks for its normal valence at its formal charge (bonded with single bonds,
/// appended to the molecule) and deletes surplus ones (the last-bonded first); atoms without normal valences
/// keep theirs. Does nothing (false) when "TagHydrogens" is set; sets it afterwards. True when some atom's
/// hydrogen count differed from the count it needs.
bool CompleteHydrogens(IMolecule& molecule);

/// The completion block's steps on one molecule: aromaticity, then hydrogens unless they were marked complete
/// before (the new aromatic bonds reset the mark). Nothing half done passes for done when a step fails.
void CompleteStructure(IMolecule& molecule);

/// Turns the aromatic bonds a file wrote into single and double bonds: every atom with aromatic bonds whose
/// normal valence (at its charge, aromatic bonds counted single) leaves room for one more bond, and that has no
/// double or triple bond of its own, gets exactly one of them double. False, with the bonds left aromatic, when
/// there are none or no such assignment exists.
bool KekulizeAromaticBonds(IMolecule& molecule);

/// The hand-over of a structure read from a file (MDL, MOL2, XYZ molecules), the state SMILES input leaves:
/// every atom whose hydrogen count the file does not state (hydrogensStated[i] false, or i past its end) gets
/// the implicit hydrogens of the MDL convention, its normal valence at its formal charge less the bonds it has
/// as written (explicit hydrogen atoms included; none are deleted); then aromatic rings are perceived from the
/// Kekule bonds, and both completion marks are set. With kekulize, aromatic bonds the file wrote are first made
/// Kekule (KekulizeAromaticBonds), so that the rings are judged as from a Kekule file. Call it outside any update
/// bracket of the molecule.
void CompleteAsRead(IMolecule& molecule, std::span<const char> hydrogensStated, bool kekulize = false);

/// Sets "TagHydrogens".
void MarkHydrogensDone(IMolecule& molecule);

/// The name of the mark put on hydrogens chosen for deletion while CompleteHydrogens runs.
inline constexpr const char* kParamToDeleteH = "paramToDeleteH";

} // namespace corvatin

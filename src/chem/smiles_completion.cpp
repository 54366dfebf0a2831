// The completion step after a successful parse: aromatic rings, unspecified bonds, implicit hydrogens and the
// completion tags. Written aromatic (lower-case) rings are judged as assumed aromatic; a SMILES without
// lower-case atoms has every ring judged strictly, so Kekule benzene comes out aromatic too.
#include "chem/smiles_reader.h"

#include "chem/completion.h"
#include "chem/elements.h"
#include "graph/rings.h"

#include <vector>

namespace corvatin::smiles_detail {

namespace {

bool WrittenAromatic(const IVertex& atom) { return atom.GetFloat(kHasBonds) == 0.0; }

void MakeRingAromatic(const ISubGraph& ring) {
  for (int i = 0; i < ring.EdgeCount(); ++i)
    if (IBond* b = AsBond(ring.GetEdge(i)); b && b->GetBondType() != bkAromatic) b->SetBondType(bkAromatic);
}

} // namespace

void SmilesReader::Complete() {
  // How each atom was written, read once (ring atoms are visited many times below).
  std::vector<char> written(static_cast<size_t>(molecule_.VertexCount()));
  hasAromaticAtoms_ = false;
  for (int i = 0; i < molecule_.VertexCount(); ++i) {
    written[static_cast<size_t>(i)] = WrittenAromatic(*molecule_.GetVertex(i)) ? 1 : 0;
    hasAromaticAtoms_ = hasAromaticAtoms_ || written[static_cast<size_t>(i)];
  }

  for (const Ptr<ISubGraph>& ring : DepthFirstRings(molecule_)) {
    if (hasAromaticAtoms_) {
      // Only rings written wholly in lower case; a ring with a capital atom keeps its written bonds.
      bool lower = false;
      bool upper = false;
      for (int i = 0; i < ring->VertexCount(); ++i)
        (written[static_cast<size_t>(ring->GetVertex(i)->GetIndex())] ? lower : upper) = true;
      if (!lower || upper || !IsAromaticRing(*ring, true, false)) continue;
    } else if (!IsAromaticRing(*ring, false, false)) {
      continue;
    }
    MakeRingAromatic(*ring);
  }

  // Unspecified bonds (made only by hooks): double between two aromatic-written carbons that have neither an
  // aromatic nor a double bond yet, single otherwise.
  for (int i = 0; i < molecule_.EdgeCount(); ++i) {
    IBond* bond = molecule_.GetBond(i);
    if (bond->GetBondType() != bkUnspecified) continue;
    const IAtom* a = bond->GetAtom1();
    const IAtom* b = bond->GetAtom2();
    auto free = [](const IAtom* atom) {
      return WrittenAromatic(*atom) && atom->GetSymbol() == "C" && !atom->IsAromatic() &&
             atom->CountBondsOfType(bkDouble) == 0;
    };
    bond->SetBondType(free(a) && free(b) ? bkDouble : bkSingle);
  }

  // Implicit hydrogens for atoms written outside brackets, up to the element's normal valence.
  const int atomCount = molecule_.VertexCount();
  for (int i = 0; i < atomCount; ++i) {
    IAtom* atom = molecule_.GetAtom(i);
    if (atom->GetFloat(kHasHydrogens) != 0.0) continue;
    const int sum = atom->BondOrderSum();
    const int missing = NormalValence(atom->GetAtomicNumber(), sum) - sum;
    if (missing > 0) AddHydrogens(atom, missing);
  }

  // The hydrogens are now those the SMILES states: a bracket atom's count is part of what was written (a charged
  // [NH3+], a silane's [SiH4], a radical's [CH2]) and no later completion may second-guess it. Rings in Kekule
  // form, also beside rings written aromatic, are left for the completion block to perceive once the hydrogens
  // are in place, as it does for every file format: the same molecule gets the same aromatic rings however it
  // was written.
  molecule_.SetFloat(kTagHydrogens, 1.0);
}

void SmilesReader::RemoveMarks() {
  molecule_.RemoveVertexParam(kHasBonds);
  molecule_.RemoveVertexParam(kHasHydrogens);
}

} // namespace corvatin::smiles_detail

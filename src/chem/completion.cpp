#include "chem/completion.h"

#include "chem/atom_bond.h"
#include "chem/elements.h"
#include "graph/rings.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace corvatin {

namespace {

/// Opens an update bracket and closes it however the scope is left.
class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

void MakeRingAromatic(const ISubGraph& ring) {
  for (int i = 0; i < ring.EdgeCount(); ++i)
    if (IBond* b = AsBond(ring.GetEdge(i)); b && b->GetBondType() != bkAromatic) b->SetBondType(bkAromatic);
}

} // namespace

bool IsAromaticRing(const ISubGraph& ring, bool assumedAromatic, bool ignoreBondOrders) {
  // 64 bits: formal charges are only bounded by the 32-bit range.
  std::int64_t total = 0;
  const int n = ring.VertexCount();
  for (int i = 0; i < n; ++i) {
    const auto* atom = dynamic_cast<const TAtom*>(ring.GetVertex(i));
    if (!atom) return false;
    const int degree = atom->NeighbourCount();
    std::int64_t count = 0;
    switch (atom->GetAtomicNumber()) {
    case 6:
      if (!(assumedAromatic || atom->IsAromatic() ||
            ((degree == 2 || degree == 3) &&
             (ignoreBondOrders || atom->CountBondsOfType(bkDouble) == 1 || atom->GetCharge() == -1))))
        return false;
      count = 1;
      break;
    case 7:
      if (degree == 2) {
        if (!(assumedAromatic || atom->IsAromatic() || ignoreBondOrders || atom->CountBondsOfType(bkDouble) == 1))
          return false;
        count = 1;
      } else if (degree == 3) {
        count = 2; // the lone pair of a pyrrole-type nitrogen
      } else {
        return false;
      }
      break;
    case 8:
    case 16:
      if (!(assumedAromatic || atom->IsAromatic() || degree == 2)) return false;
      count = 2;
      break;
    default: return false;
    }
    count -= atom->GetCharge();
    // An exocyclic C=O or C=S (pyridones, quinone-like rings) takes its electron out of the ring.
    for (const TBond* b : atom->Bonds()) {
      if (b->GetBondType() != bkDouble) continue;
      const TAtom* other = b->OtherAtom(atom);
      if (other && IsOxygenOrSulfur(other->GetAtomicNumber()) && ring.IndexOfVertex(other) < 0) --count;
    }
    total += count;
  }
  return std::llabs(total - n) < 2 && (total - 2) % 4 == 0;
}

bool PerceiveAromaticity(IMolecule& molecule, bool resetAromatic, bool ignoreBondOrders, bool /*spare*/) {
  if (molecule.GetFloat(kTagAromaticity) != 0.0) return false;
  bool found = false;
  {
    UpdateBracket bracket(molecule);
    if (resetAromatic) {
      for (int i = 0; i < molecule.EdgeCount(); ++i)
        if (IBond* b = molecule.GetBond(i); b->GetBondType() == bkAromatic) b->SetBondType(bkSingle);
      ignoreBondOrders = true;
    }
    for (const Ptr<ISubGraph>& ring : DepthFirstRings(molecule)) {
      if (!IsAromaticRing(*ring, false, ignoreBondOrders)) continue;
      MakeRingAromatic(*ring);
      found = true;
    }
    molecule.SetFloat(kTagAromaticity, 1.0);
  }
  return found;
}

bool CompleteHydrogens(IMolecule& molecule) {
  if (molecule.GetFloat(kTagHydrogens) != 0.0) return false;
  bool differed = false;
  {
    UpdateBracket bracket(molecule);
    // The deletion marks never outlive the call, whatever interrupts it.
    struct MarkCleaner {
      IMolecule& molecule;
      ~MarkCleaner() { molecule.RemoveVertexParam(kParamToDeleteH); }
    } cleaner{molecule};

    const int atomCount = molecule.VertexCount();
    for (int i = 0; i < atomCount; ++i) {
      IAtom* atom = molecule.GetAtom(i);
      const int heavy = atom->HeavyBondOrderSum();
      const int needed = NormalValence(atom->GetAtomicNumber(), heavy) - heavy;
      int have = atom->HydrogenCount();
      if (have == needed) continue;
      differed = true;
      if (have < needed) {
        for (int k = have; k < needed; ++k) {
          IAtom* h = molecule.AddAtom();
          h->SetSymbol("H");
          molecule.ConnectAtoms(atom, h);
        }
      } else {
        for (int k = atom->NeighbourCount() - 1; k >= 0 && have > needed; --k) {
          IAtom* neighbour = atom->GetNeighbourAtom(k);
          if (neighbour->GetSymbol() != "H") continue;
          neighbour->SetFloat(kParamToDeleteH, 1.0);
          --have;
        }
      }
    }
    for (int i = molecule.VertexCount() - 1; i >= 0; --i)
      if (molecule.GetVertex(i)->GetFloat(kParamToDeleteH) > 0.0) molecule.DeleteVertexAt(i);
  }
  molecule.SetFloat(kTagHydrogens, 1.0);
  return differed;
}

void MarkHydrogensDone(IMolecule& molecule) { molecule.SetFloat(kTagHydrogens, 1.0); }

} // namespace corvatin

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

/// The aromatic-ring test over n ring atoms: atom(i) gives the i-th (none fails the test), inRing(atom) says
/// whether an atom belongs to the ring.
template <class AtomAt, class InRing>
bool AromaticRingTest(int n, AtomAt atomAt, InRing inRing, bool assumedAromatic, bool ignoreBondOrders) {
  // 64 bits: formal charges are only bounded by the 32-bit range.
  std::int64_t total = 0;
  for (int i = 0; i < n; ++i) {
    const TAtom* atom = atomAt(i);
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
      if (other && IsOxygenOrSulfur(other->GetAtomicNumber()) && !inRing(other)) --count;
    }
    total += count;
  }
  return std::llabs(total - n) < 2 && (total - 2) % 4 == 0;
}

} // namespace

bool IsAromaticRing(const ISubGraph& ring, bool assumedAromatic, bool ignoreBondOrders) {
  return AromaticRingTest(
      ring.VertexCount(), [&ring](int i) { return ImplementationOf<const TAtom>(ring.GetVertex(i)); },
      [&ring](const TAtom* atom) { return ring.IndexOfVertex(atom) >= 0; }, assumedAromatic, ignoreBondOrders);
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
    // The rings are judged as index lists: every structure read passes here, and sub-graphs built only to be
    // judged once cost more than the test. Each ring's atoms are stamped with its number for the membership test.
    const int n = molecule.VertexCount();
    std::vector<const TAtom*> atoms(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
      atoms[static_cast<std::size_t>(i)] = ImplementationOf<const TAtom>(molecule.GetVertex(i));
    std::vector<int> stamp(static_cast<std::size_t>(n), -1);
    int number = 0;
    for (const TRingPath& ring : DepthFirstRingPaths(molecule)) {
      ++number;
      for (int v : ring.vertices)
        stamp[static_cast<std::size_t>(v)] = number;
      const bool aromatic = AromaticRingTest(
          static_cast<int>(ring.vertices.size()),
          [&](int i) { return atoms[static_cast<std::size_t>(ring.vertices[static_cast<std::size_t>(i)])]; },
          [&](const TAtom* atom) {
            const int k = atom->GetIndex();
            return k >= 0 && k < n && atoms[static_cast<std::size_t>(k)] == atom &&
                   stamp[static_cast<std::size_t>(k)] == number;
          },
          false, ignoreBondOrders);
      if (!aromatic) continue;
      for (int e : ring.edges)
        if (IBond* b = molecule.GetBond(e); b && b->GetBondType() != bkAromatic) b->SetBondType(bkAromatic);
      found = true;
    }
    molecule.SetFloat(kTagAromaticity, 1.0);
  }
  return found;
}

std::optional<int> NeededHydrogens(const IAtom& atom) {
  const int z = atom.GetAtomicNumber();
  const int charge = atom.GetCharge();
  if (ChargedNormalValences(z, charge).empty()) return std::nullopt;
  int heavy = 0;
  if (charge == 0) {
    heavy = atom.HeavyBondOrderSum();
  } else {
    // The plain sum counts an aromatic bond as 1 (plus one for a ring carbon or two-neighbour nitrogen), which
    // leaves an N-alkylpyridinium N+ one short of its four bonds; a charged atom counts its aromatic bonds as
    // the ring shares them, 1.5 each.
    const auto* a = ImplementationOf<const TAtom>(&atom);
    if (!a) return std::nullopt;
    int aromatic = 0;
    for (const TBond* b : a->Bonds()) {
      const TAtom* other = b->OtherAtom(a);
      if (other && other->Symbol() == "H") continue;
      switch (b->GetBondType()) {
      case bkDouble: heavy += 2; break;
      case bkTriple: heavy += 3; break;
      case bkAromatic: ++aromatic; break;
      default: heavy += 1; break;
      }
    }
    heavy += aromatic + aromatic / 2;
  }
  return ChargedNormalValence(z, charge, heavy) - heavy;
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
      const std::optional<int> need = NeededHydrogens(*atom);
      if (!need) continue; // no valence to complete: the hydrogens given stay
      const int needed = *need;
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

void CompleteStructure(IMolecule& molecule) {
  const bool hydrogensDone = molecule.GetFloat(kTagHydrogens) != 0.0;
  bool perceived = false;
  try {
    PerceiveAromaticity(molecule, false);
    perceived = true;
    // New aromatic bonds reset the tags; the hydrogens were complete before and still are.
    if (hydrogensDone) MarkHydrogensDone(molecule);
    CompleteHydrogens(molecule);
  } catch (...) {
    // Nothing half done may pass for done: the marks go, aromaticity counts as not perceived, and the hydrogens
    // keep the state they had when the failure came before their step.
    molecule.RemoveVertexParam(kParamToDeleteH);
    molecule.SetFloat(kTagAromaticity, 0.0);
    molecule.SetFloat(kTagHydrogens, !perceived && hydrogensDone ? 1.0 : 0.0);
    throw;
  }
}

void CompleteAsRead(IMolecule& molecule, std::span<const char> hydrogensStated, bool kekulize) {
  // Nothing here reads the hybridisation texts: they are written once, at the end.
  TBulkBuild bulk(molecule);
  {
    UpdateBracket bracket(molecule);
    if (kekulize) KekulizeAromaticBonds(molecule);
    // Implicit hydrogens from the bonds as the file wrote them (Kekule orders), before aromatic bonds blur
    // them: a carbanion's single bonds still say it carries a hydrogen.
    const int atomCount = molecule.VertexCount();
    for (int i = 0; i < atomCount; ++i) {
      if (static_cast<std::size_t>(i) < hydrogensStated.size() && hydrogensStated[static_cast<std::size_t>(i)])
        continue;
      IAtom* atom = molecule.GetAtom(i);
      const std::optional<int> need = NeededHydrogens(*atom);
      if (!need) continue;
      for (int k = atom->HydrogenCount(); k < *need; ++k) {
        IAtom* h = molecule.AddAtom();
        h->SetSymbol("H");
        molecule.ConnectAtoms(atom, h);
      }
    }
  }
  // With its hydrogens in place a pyrrole-type nitrogen has the three neighbours that let its ring pass.
  PerceiveAromaticity(molecule, false);
  MarkHydrogensDone(molecule);
}

} // namespace corvatin

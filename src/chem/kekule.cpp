// Kekule bonds for the aromatic bonds a file writes (MOL2 "ar", MDL bond type 4), so that aromatic rings are
// judged by this program's own ring test and not by the model of the program that wrote the file: Open Babel
// writes a carboxylate's or a nitro group's bonds, and rings this program does not call aromatic, as "ar".
#include "chem/completion.h"

#include "chem/atom_bond.h"
#include "chem/elements.h"

#include <algorithm>
#include <vector>

namespace corvatin {

namespace {

// Whether an atom with aromatic bonds needs one of them double: its normal valence at its charge, counting each
// aromatic bond as single, leaves at least one to fill, and it has no double or triple bond of its own (an
// exocyclic C=O).
bool NeedsDoubleBond(const TAtom& atom) {
  const std::span<const int> valences = ChargedNormalValences(atom.GetAtomicNumber(), atom.GetCharge());
  if (valences.empty()) return false;
  int sum = 0;
  for (const TBond* b : atom.Bonds()) {
    switch (b->GetBondType()) {
    case bkDouble:
    case bkTriple:
      return false;
    default:
      ++sum;
      break;
    }
  }
  for (int v : valences)
    if (v >= sum) return v - sum >= 1;
  return false;
}

constexpr int kMaxCandidates = 2000;

class Matcher {
public:
  explicit Matcher(IMolecule& molecule) : molecule_(molecule) {}

  bool Run() {
    const int n = molecule_.VertexCount();
    candidate_.assign(static_cast<std::size_t>(n), 0);
    partner_.assign(static_cast<std::size_t>(n), nullptr);
    int count = 0;
    for (int i = 0; i < n; ++i) {
      const auto* atom = ImplementationOf<const TAtom>(molecule_.GetAtom(i));
      if (atom && atom->IsAromatic() && NeedsDoubleBond(*atom)) {
        candidate_[static_cast<std::size_t>(i)] = 1;
        ++count;
      }
    }
    // The search recurses once per double bond: beyond drug-sized systems the bonds stay as written.
    if (count > kMaxCandidates) return false;
    return Match();
  }

  /// The bond chosen double for atom i, or none.
  TBond* Partner(int i) const { return partner_[static_cast<std::size_t>(i)]; }

private:
  // Free candidate neighbours of atom i over aromatic bonds.
  std::vector<TBond*> Choices(int i) const {
    std::vector<TBond*> choices;
    const auto* atom = ImplementationOf<const TAtom>(molecule_.GetAtom(i));
    for (TBond* b : atom->Bonds()) {
      if (b->GetBondType() != bkAromatic) continue;
      const int j = b->OtherAtom(atom)->GetIndex();
      if (candidate_[static_cast<std::size_t>(j)] && !partner_[static_cast<std::size_t>(j)]) choices.push_back(b);
    }
    return choices;
  }

  // Backtracking over the most constrained unmatched atom first; a step budget keeps a pathological file from
  // taking long (the bonds then stay aromatic).
  bool Match() {
    if (++steps_ > 200000) return false;
    int best = -1;
    std::vector<TBond*> bestChoices;
    for (int i = 0; i < molecule_.VertexCount(); ++i) {
      if (!candidate_[static_cast<std::size_t>(i)] || partner_[static_cast<std::size_t>(i)]) continue;
      std::vector<TBond*> choices = Choices(i);
      if (choices.empty()) return false;
      if (best < 0 || choices.size() < bestChoices.size()) {
        best = i;
        bestChoices = std::move(choices);
        if (bestChoices.size() == 1) break;
      }
    }
    if (best < 0) return true;
    for (TBond* b : bestChoices) {
      const int j = b->Atom1()->GetIndex() == best ? b->Atom2()->GetIndex() : b->Atom1()->GetIndex();
      partner_[static_cast<std::size_t>(best)] = partner_[static_cast<std::size_t>(j)] = b;
      if (Match()) return true;
      partner_[static_cast<std::size_t>(best)] = partner_[static_cast<std::size_t>(j)] = nullptr;
    }
    return false;
  }

  IMolecule& molecule_;
  std::vector<char> candidate_;
  std::vector<TBond*> partner_;
  long steps_ = 0;
};

} // namespace

bool KekulizeAromaticBonds(IMolecule& molecule) {
  bool any = false;
  for (int i = 0; i < molecule.EdgeCount() && !any; ++i)
    any = molecule.GetBond(i)->GetBondType() == bkAromatic;
  if (!any) return false;
  Matcher matcher(molecule);
  if (!matcher.Run()) return false;
  for (int i = 0; i < molecule.EdgeCount(); ++i) {
    auto* bond = ImplementationOf<TBond>(molecule.GetBond(i));
    if (!bond || bond->GetBondType() != bkAromatic) continue;
    const bool chosen = matcher.Partner(bond->Atom1()->GetIndex()) == bond;
    bond->SetBondType(chosen ? bkDouble : bkSingle);
  }
  return true;
}

} // namespace corvatin

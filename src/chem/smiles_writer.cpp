#include "chem/smiles_writer.h"

#include "chem/elements.h"
#include "chem/smiles.h"
#include "core/errors.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace corvatin {

namespace {

bool IsOrganic(int z) {
  switch (z) {
  case 5:
  case 6:
  case 7:
  case 8:
  case 9:
  case 15:
  case 16:
  case 17:
  case 35:
  case 53:
    return true;
  default:
    return false;
  }
}

/// Elements the parser accepts as one lower-case (aromatic) letter that is also an organic-subset symbol.
bool HasAromaticLetter(int z) { return z == 5 || z == 6 || z == 7 || z == 8 || z == 15 || z == 16; }

int BondOrder(int kind) {
  switch (kind) {
  case bkDouble:
    return 2;
  case bkTriple:
    return 3;
  default:
    return 1;
  }
}

/// The isotope mass number when the atom's weight was set to one (the parser stores "[13C]" as weight 13).
int IsotopeOf(const IAtom& atom) {
  const double w = atom.GetAtomicWeight();
  if (std::abs(w - AtomicWeight(atom.GetAtomicNumber())) < 1e-3) return 0;
  const double rounded = std::round(w);
  return rounded >= 1 && rounded < 1000 && std::abs(w - rounded) < 1e-9 ? static_cast<int>(rounded) : 0;
}

class TWriter {
public:
  explicit TWriter(const IMolecule& m) : m_(m), n_(m.VertexCount()) {
    implicitH_.assign(n_, 0);
    hidden_.assign(n_, 0);
    forceBracket_.assign(n_, 0);
    forceUpper_.assign(n_, 0);
    forceBond_.assign(static_cast<size_t>(m.EdgeCount()), 0);
    skeleton_ = true;
    for (int i = 0; i < n_; ++i) {
      const IAtom* a = m.GetAtom(i);
      if (a->GetAtomicNumber() != 1) continue;
      skeleton_ = false;
      if (a->GetCharge() == 0 && a->NeighbourCount() == 1 && a->GetBond(0)->GetBondType() == bkSingle &&
          a->GetNeighbourAtom(0)->GetAtomicNumber() != 1 && IsotopeOf(*a) == 0) {
        implicitH_[static_cast<size_t>(i)] = 1;
        hidden_[static_cast<size_t>(i)] = 1;
      }
    }
    Rank();
  }

  std::string Write() {
    std::string text;
    // Each round reads the text back and writes explicitly whatever came back different; what is forced stays
    // forced, so the rounds converge (a handful at most in practice).
    for (int round = 0; round < 8; ++round) {
      text = Compose();
      if (!Verify(text)) break;
    }
    return text;
  }

private:
  bool Written(int i) const { return !hidden_[static_cast<size_t>(i)]; }

  int ImplicitHydrogens(int i) const {
    const IAtom* a = m_.GetAtom(i);
    int count = 0;
    for (int k = 0; k < a->NeighbourCount(); ++k)
      if (implicitH_[static_cast<size_t>(a->GetNeighbourAtom(k)->GetIndex())]) ++count;
    return count;
  }

  bool Lower(int i) const {
    const IAtom* a = m_.GetAtom(i);
    return !forceUpper_[static_cast<size_t>(i)] && HasAromaticLetter(a->GetAtomicNumber()) &&
           a->CountBondsOfType(bkAromatic) > 0;
  }

  /// The hydrogens the parser gives an atom written without brackets (its completion rule).
  int ParserHydrogens(int i) const {
    const IAtom* a = m_.GetAtom(i);
    int sum = 0, aromatic = 0, neighbours = 0;
    for (int k = 0; k < a->NeighbourCount(); ++k) {
      if (!Written(a->GetNeighbourAtom(k)->GetIndex())) continue;
      ++neighbours;
      const int kind = a->GetBond(k)->GetBondType();
      sum += BondOrder(kind);
      if (kind == bkAromatic) ++aromatic;
    }
    const int z = a->GetAtomicNumber();
    if (aromatic > 1 && (z == 6 || (z == 7 && neighbours == 2))) ++sum;
    return std::max(0, NormalValence(z, sum) - sum);
  }

  bool Bracketed(int i) const {
    const IAtom* a = m_.GetAtom(i);
    const int z = a->GetAtomicNumber();
    if (forceBracket_[static_cast<size_t>(i)] || a->GetCharge() != 0 || IsotopeOf(*a) != 0) return true;
    if (z != 0 && !IsOrganic(z)) return true;
    return !skeleton_ && ParserHydrogens(i) != ImplicitHydrogens(i);
  }

  std::string AtomText(int i) const {
    const IAtom* a = m_.GetAtom(i);
    const int z = a->GetAtomicNumber();
    std::string symbol = z == 0 ? "*" : std::string(ElementSymbol(z));
    if (Lower(i)) symbol[0] = static_cast<char>(symbol[0] - 'A' + 'a');
    if (!Bracketed(i)) return symbol;
    std::string text = "[";
    if (int isotope = IsotopeOf(*a)) text += std::to_string(isotope);
    text += symbol;
    if (int h = ImplicitHydrogens(i); h > 0) text += h == 1 ? "H" : "H" + std::to_string(h);
    if (int q = a->GetCharge(); q != 0) {
      text += q > 0 ? '+' : '-';
      if (std::abs(q) > 1) text += std::to_string(std::abs(q));
    }
    return text + "]";
  }

  std::string BondText(const IBond* b) const {
    const bool lower = Lower(b->GetAtom1()->GetIndex()) && Lower(b->GetAtom2()->GetIndex());
    const bool forced = forceBond_[static_cast<size_t>(b->GetIndex())] != 0;
    switch (b->GetBondType()) {
    case bkDouble:
      return "=";
    case bkTriple:
      return "#";
    case bkAromatic:
      return lower && !forced ? "" : ":";
    default:
      return lower || forced ? "-" : "";
    }
  }

  /// Extended-connectivity ranks of the written atoms: classes by element, charge, hydrogens and degree, refined
  /// by the classes of the neighbours until they stop splitting; ties go to the lower atom index.
  void Rank() {
    std::vector<int> atoms;
    for (int i = 0; i < n_; ++i)
      if (Written(i)) atoms.push_back(i);
    std::vector<std::vector<int>> keys(static_cast<size_t>(n_));
    for (int i : atoms) {
      const IAtom* a = m_.GetAtom(i);
      int degree = 0;
      for (int k = 0; k < a->NeighbourCount(); ++k)
        degree += Written(a->GetNeighbourAtom(k)->GetIndex());
      keys[static_cast<size_t>(i)] = {
          degree,       a->GetAtomicNumber(), a->GetCharge(), a->HydrogenCount(), a->CountBondsOfType(bkAromatic) > 0,
          IsotopeOf(*a)};
    }
    std::vector<int> cls(static_cast<size_t>(n_), 0);
    int classes = Classify(atoms, keys, cls);
    for (;;) {
      for (int i : atoms) {
        const IAtom* a = m_.GetAtom(i);
        std::vector<int> key = {cls[static_cast<size_t>(i)]};
        std::vector<int> around;
        for (int k = 0; k < a->NeighbourCount(); ++k) {
          const int j = a->GetNeighbourAtom(k)->GetIndex();
          if (Written(j)) around.push_back(cls[static_cast<size_t>(j)] * 8 + a->GetBond(k)->GetBondType());
        }
        std::sort(around.begin(), around.end());
        key.insert(key.end(), around.begin(), around.end());
        keys[static_cast<size_t>(i)] = std::move(key);
      }
      const int refined = Classify(atoms, keys, cls);
      if (refined == classes) break;
      classes = refined;
    }
    std::stable_sort(atoms.begin(), atoms.end(),
                     [&](int x, int y) { return cls[static_cast<size_t>(x)] < cls[static_cast<size_t>(y)]; });
    rank_.assign(static_cast<size_t>(n_), 0);
    for (size_t r = 0; r < atoms.size(); ++r)
      rank_[static_cast<size_t>(atoms[r])] = static_cast<int>(r);
    byRank_ = atoms;
  }

  static int Classify(const std::vector<int>& atoms, const std::vector<std::vector<int>>& keys, std::vector<int>& cls) {
    std::map<std::vector<int>, int> ids;
    for (int i : atoms)
      ids.emplace(keys[static_cast<size_t>(i)], 0);
    int next = 0;
    for (auto& entry : ids)
      entry.second = next++;
    for (int i : atoms)
      cls[static_cast<size_t>(i)] = ids[keys[static_cast<size_t>(i)]];
    return next;
  }

  /// Written neighbours (as bonds) in rank order.
  std::vector<const IBond*> Around(int i) const {
    const IAtom* a = m_.GetAtom(i);
    std::vector<const IBond*> bonds;
    for (int k = 0; k < a->NeighbourCount(); ++k)
      if (Written(a->GetNeighbourAtom(k)->GetIndex())) bonds.push_back(a->GetBond(k));
    std::sort(bonds.begin(), bonds.end(), [&](const IBond* x, const IBond* y) {
      return rank_[static_cast<size_t>(x->GetOtherAtom(a)->GetIndex())] <
             rank_[static_cast<size_t>(y->GetOtherAtom(a)->GetIndex())];
    });
    return bonds;
  }

  // Pass 1: the depth-first tree and the ring bonds (opened at the earlier atom, closed at the later one).
  void Explore(int i, const IBond* via) {
    visited_[static_cast<size_t>(i)] = 1;
    ++explored_;
    for (const IBond* b : Around(i)) {
      if (b == via || seen_[static_cast<size_t>(b->GetIndex())]) continue;
      seen_[static_cast<size_t>(b->GetIndex())] = 1;
      const int j = b->GetOtherAtom(m_.GetAtom(i))->GetIndex();
      if (visited_[static_cast<size_t>(j)]) {
        rings_[static_cast<size_t>(j)].push_back({b, true});
        rings_[static_cast<size_t>(i)].push_back({b, false});
      } else {
        children_[static_cast<size_t>(i)].push_back(b);
        Explore(j, b);
      }
    }
  }

  // Pass 2: the text.
  void Emit(int i, const IBond* via, std::string& text) {
    if (via) text += BondText(via);
    text += AtomText(i);
    order_.push_back(i);
    std::vector<int> freed;
    for (const auto& [bond, opens] : rings_[static_cast<size_t>(i)]) {
      int digit = 0;
      if (opens) {
        while (++digit < 100 && digitUsed_[static_cast<size_t>(digit)]) {
        }
        if (digit == 100) throw EChemError("More than 99 rings are open at once: SMILES cannot number them");
        digitUsed_[static_cast<size_t>(digit)] = 1;
        digitOf_[bond] = digit;
        text += BondText(bond);
      } else {
        digit = digitOf_[bond];
        freed.push_back(digit);
      }
      text += digit < 10 ? std::to_string(digit) : "%" + std::to_string(digit);
    }
    // A digit closed here is not reopened at the same atom: that would read as a ring onto itself.
    for (int d : freed)
      digitUsed_[static_cast<size_t>(d)] = 0;
    const auto& kids = children_[static_cast<size_t>(i)];
    for (size_t k = 0; k < kids.size(); ++k) {
      const int j = kids[k]->GetOtherAtom(m_.GetAtom(i))->GetIndex();
      if (k + 1 < kids.size()) {
        text += "(";
        Emit(j, kids[k], text);
        text += ")";
      } else {
        Emit(j, kids[k], text);
      }
    }
  }

  std::string Compose() {
    visited_.assign(static_cast<size_t>(n_), 0);
    seen_.assign(static_cast<size_t>(m_.EdgeCount()), 0);
    children_.assign(static_cast<size_t>(n_), {});
    rings_.assign(static_cast<size_t>(n_), {});
    digitUsed_.assign(100, 0); // ring digits 1 to 99
    digitUsed_[0] = 1;
    digitOf_.clear();
    order_.clear();
    // Components largest first ("CCO.[Na+]"), equal ones in rank order.
    std::vector<std::pair<int, int>> components; // (start atom, atom count)
    for (int start : byRank_) {
      if (visited_[static_cast<size_t>(start)]) continue;
      const int before = explored_;
      Explore(start, nullptr);
      components.emplace_back(start, explored_ - before);
    }
    std::stable_sort(components.begin(), components.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text;
    for (const auto& component : components) {
      if (!text.empty()) text += ".";
      Emit(component.first, nullptr, text);
    }
    return text;
  }

  /// Reads text back; marks what must be written explicitly. True when another round is needed.
  bool Verify(const std::string& text) {
    Ptr<IMolecule> back = NewMolecule();
    try {
      ParseSMILES(text, *back);
    } catch (const std::exception&) {
      return false; // not expected; nothing more to force that would help
    }
    std::vector<int> at(static_cast<size_t>(n_), -1);
    int index = 0;
    for (int i : order_) {
      at[static_cast<size_t>(i)] = index;
      index += 1 + (Bracketed(i) ? ImplicitHydrogens(i) : 0);
    }
    if (index > back->VertexCount()) return false;
    bool again = false;
    for (int i : order_) {
      const IAtom* ours = m_.GetAtom(i);
      const IAtom* theirs = back->GetAtom(at[static_cast<size_t>(i)]);
      const bool same = theirs->GetAtomicNumber() == ours->GetAtomicNumber() &&
                        theirs->GetCharge() == ours->GetCharge() &&
                        (skeleton_ || theirs->HydrogenCount() == ours->HydrogenCount());
      if (!same && !forceBracket_[static_cast<size_t>(i)]) {
        forceBracket_[static_cast<size_t>(i)] = 1;
        again = true;
      }
    }
    for (int e = 0; e < m_.EdgeCount(); ++e) {
      const IBond* b = m_.GetBond(e);
      const int i1 = b->GetAtom1()->GetIndex(), i2 = b->GetAtom2()->GetIndex();
      if (!Written(i1) || !Written(i2) || b->GetBondType() == bkUnspecified) continue;
      const IBond* theirs =
          back->GetAtom(at[static_cast<size_t>(i1)])->GetBondTo(back->GetAtom(at[static_cast<size_t>(i2)]));
      if (!theirs || theirs->GetBondType() == b->GetBondType()) continue;
      if (b->GetBondType() == bkAromatic) {
        again = again || !forceBond_[static_cast<size_t>(e)];
        forceBond_[static_cast<size_t>(e)] = 1;
      } else {
        // The parser made an all-lower-case ring aromatic: a capital atom keeps the written bonds.
        for (int i : {i1, i2}) {
          again = again || !forceUpper_[static_cast<size_t>(i)];
          forceUpper_[static_cast<size_t>(i)] = 1;
        }
      }
    }
    return again;
  }

  const IMolecule& m_;
  const int n_;
  bool skeleton_ = true;
  int explored_ = 0;
  std::vector<char> implicitH_, hidden_, forceBracket_, forceUpper_, forceBond_;
  std::vector<int> rank_, byRank_, order_;
  std::vector<char> visited_, seen_, digitUsed_;
  std::vector<std::vector<const IBond*>> children_;
  std::vector<std::vector<std::pair<const IBond*, bool>>> rings_;
  std::map<const IBond*, int> digitOf_;
};

} // namespace

std::string WriteSMILES(const IMolecule& molecule) {
  if (molecule.VertexCount() == 0) return {};
  return TWriter(molecule).Write();
}

} // namespace corvatin

#include "classify/matcher.h"

#include "chem/molecule.h"
#include "classify/loader.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace corvatin {

namespace {

std::string SymbolOf(const IVertex& v) {
  if (const IAtom* atom = AsAtom(&v)) return atom->GetSymbol();
  return v.GetString(kParamSymbol);
}

int MaxIndex(const ISubGraph& s, bool edges) {
  int m = -1;
  const int n = edges ? s.EdgeCount() : s.VertexCount();
  for (int i = 0; i < n; ++i) m = std::max(m, edges ? s.GetEdge(i)->GetIndex() : s.GetVertex(i)->GetIndex());
  return m;
}

/// Lets go of the finder's target (and with it the molecule) however a classification ends.
struct TargetRelease {
  TGraphFinder& finder;
  ~TargetRelease() { finder.SetTarget(nullptr); }
};

} // namespace

TFragmentMatcher::TFragmentMatcher(const TClassificationFile& file) : file_(file) {
  Compile();
  finder_.OnCompareVertices = [this](IVertex* p, IVertex* t, bool& accept) {
    accept = AtomTest(compiled_[static_cast<size_t>(current_)].atoms[static_cast<size_t>(p->GetIndex())],
                      t->GetIndex());
  };
  finder_.OnCompareEdges = [this](IEdge* p, IEdge* t, bool& accept) {
    accept = BondTest(compiled_[static_cast<size_t>(current_)].bonds[static_cast<size_t>(p->GetIndex())],
                      bondType_[static_cast<size_t>(t->GetIndex())]);
  };
  finder_.OnMatch = [this](const Ptr<ISubGraph>& match, bool& cont, bool& accept) { OnMatch(match, cont, accept); };
}

int TFragmentMatcher::SymbolId(const std::string& symbol) {
  auto [it, added] = symbolIds_.emplace(symbol, static_cast<int>(symbolIds_.size()));
  return it->second;
}

void TFragmentMatcher::Compile() {
  compiled_.resize(file_.fragments.size());
  for (size_t f = 0; f < file_.fragments.size(); ++f) {
    const IMolecule& fragment = *file_.fragments[f];
    TCompiled& c = compiled_[f];
    c.atoms.resize(static_cast<size_t>(fragment.VertexCount()));
    std::vector<std::pair<int, int>> counts;
    for (int i = 0; i < fragment.VertexCount(); ++i) {
      const IAtom* atom = fragment.GetAtom(i);
      TPatternAtom& a = c.atoms[static_cast<size_t>(i)];
      const std::string symbol = atom->GetSymbol();
      a.any = symbol == "*";
      a.symbols.push_back(SymbolId(symbol));
      // A user symbol also accepts the first atom of each of its alternatives.
      if (const TSymbolData* user = a.any ? nullptr : file_.symbols.Find(symbol)) {
        for (const Ptr<IMolecule>& alternative : user->alternatives) {
          const std::string first = alternative->GetAtom(0)->GetSymbol();
          if (first == "*")
            a.any = true;
          else
            a.symbols.push_back(SymbolId(first));
        }
      }
      std::sort(a.symbols.begin(), a.symbols.end());
      a.symbols.erase(std::unique(a.symbols.begin(), a.symbols.end()), a.symbols.end());
      a.charge = atom->GetCharge();
      a.hybridisation = static_cast<int>(atom->GetFloat(kParamAtomSpecialHyb));
      a.degree = atom->NeighbourCount();
      if (!a.any && a.symbols.size() == 1) {
        auto it = std::find_if(counts.begin(), counts.end(), [&](auto& p) { return p.first == a.symbols[0]; });
        if (it == counts.end())
          counts.emplace_back(a.symbols[0], 1);
        else
          ++it->second;
      }
    }
    c.required = std::move(counts);
    c.bonds.resize(static_cast<size_t>(fragment.EdgeCount()));
    for (int i = 0; i < fragment.EdgeCount(); ++i) {
      const IBond* bond = fragment.GetBond(i);
      c.bonds[static_cast<size_t>(i)].type = bond->GetBondType();
      c.bonds[static_cast<size_t>(i)].anyMultiple = bond->GetString(kParamBondSpecialKind) == "~";
    }
    c.mainBond = static_cast<int>(fragment.GetFloat(kParamMainBond));
  }
  // The candidate lists: for each symbol, the fragments whose first atom can accept it, in matching order.
  candidates_.assign(symbolIds_.size(), {});
  for (size_t f = 0; f < compiled_.size(); ++f) {
    if (compiled_[f].atoms.empty()) continue;
    const TPatternAtom& first = compiled_[f].atoms.front();
    if (first.any) {
      anyCandidates_.push_back(static_cast<int>(f));
      for (auto& list : candidates_) list.push_back(static_cast<int>(f));
    } else {
      for (int id : first.symbols) candidates_[static_cast<size_t>(id)].push_back(static_cast<int>(f));
    }
  }
}

bool TFragmentMatcher::AtomTest(const TPatternAtom& a, int target) const {
  const int symbol = atomSymbol_[static_cast<size_t>(target)];
  bool match = a.any || (symbol >= 0 && std::binary_search(a.symbols.begin(), a.symbols.end(), symbol));
  // A neutral fragment atom matches any charge; an unmarked one any hybridisation.
  if (match && a.charge != 0) match = atomCharge_[static_cast<size_t>(target)] == a.charge;
  if (match && a.hybridisation != 0) match = atomHybridisation_[static_cast<size_t>(target)] == a.hybridisation;
  return match;
}

bool TFragmentMatcher::BondTest(const TPatternBond& b, int targetType) {
  if (b.anyMultiple) return targetType == bkDouble || targetType == bkTriple || targetType == bkAromatic;
  if (b.type == bkUnspecified) return true;
  return b.type == targetType;
}

void TFragmentMatcher::Prepare(const ISubGraph& structure) {
  const size_t atoms = static_cast<size_t>(MaxIndex(structure, false) + 1);
  atomSymbol_.assign(atoms, -1);
  atomCharge_.assign(atoms, 0);
  atomHybridisation_.assign(atoms, 0);
  std::vector<int> symbolCount(symbolIds_.size(), 0);
  for (int i = 0; i < structure.VertexCount(); ++i) {
    const IVertex* v = structure.GetVertex(i);
    const size_t g = static_cast<size_t>(v->GetIndex());
    auto id = symbolIds_.find(SymbolOf(*v));
    if (id != symbolIds_.end()) {
      atomSymbol_[g] = id->second;
      ++symbolCount[static_cast<size_t>(id->second)];
    }
    if (const IAtom* atom = AsAtom(v)) {
      atomCharge_[g] = atom->GetCharge();
      atomHybridisation_[g] = atom->GetHybridisation();
    }
  }
  const size_t bonds = static_cast<size_t>(MaxIndex(structure, true) + 1);
  bondType_.assign(bonds, bkSingle);
  bondDone_.assign(bonds, 0);
  for (int i = 0; i < structure.EdgeCount(); ++i) {
    const IEdge* e = structure.GetEdge(i);
    if (const IBond* bond = AsBond(e)) bondType_[static_cast<size_t>(e->GetIndex())] = bond->GetBondType();
  }
  bondsLeft_ = structure.EdgeCount();
  // A fragment that names more atoms of an element than the molecule has can match nowhere in it.
  feasible_.assign(compiled_.size(), 1);
  for (size_t f = 0; f < compiled_.size(); ++f)
    for (const auto& [id, count] : compiled_[f].required)
      if (symbolCount[static_cast<size_t>(id)] < count) feasible_[f] = 0;
}

void TFragmentMatcher::RemoveOldValues(const ISubGraph& structure) const {
  auto remove = [&](IParameters& target) {
    if (!file_.className.empty()) target.DeleteParam(file_.className);
    for (const std::string& name : file_.propertyNames) target.DeleteParam(name);
  };
  if (file_.elementKind == ekBonds) {
    for (int i = 0; i < structure.EdgeCount(); ++i) remove(*structure.GetEdge(i));
  } else {
    for (int i = 0; i < structure.VertexCount(); ++i) remove(*structure.GetVertex(i));
  }
}

void TFragmentMatcher::Assign(IParameters& target, const TGraphData& record) const {
  if (!file_.className.empty())
    target.AddParam(file_.className, std::make_shared<TStringParameter>(file_.className, record.smiles), nullptr,
                    true);
  for (size_t k = 0; k < file_.propertyNames.size(); ++k) {
    const std::string& name = file_.propertyNames[k];
    if (file_.valueKind == vkNumber)
      target.AddParam(name, std::make_shared<TNumberParameter>(name, record.numbers[k]), nullptr, true);
    else if (file_.valueKind == vkString)
      target.AddParam(name, std::make_shared<TStringParameter>(name, record.values[k]), nullptr, true);
  }
}

void TFragmentMatcher::OnMatch(const Ptr<ISubGraph>& match, bool& cont, bool& accept) {
  const TGraphData& record = *file_.records[static_cast<size_t>(current_)];
  if (file_.elementKind != ekBonds) {
    // The match's first atom is the anchored one; its search, and the fragment list for it, end here.
    Assign(*match->GetVertex(0), record);
    cont = false;
    return;
  }
  accept = false; // visit every match of every fragment
  const int main = compiled_[static_cast<size_t>(current_)].mainBond;
  if (main < 0 || main >= match->EdgeCount()) return;
  IEdge* bond = match->GetEdge(main);
  const bool stores = file_.valueKind == vkNumber || file_.valueKind == vkString;
  if (!stores) {
    Assign(*bond, record); // nothing of its own is stored, so the bond never has its values
    return;
  }
  char& done = bondDone_[static_cast<size_t>(bond->GetIndex())];
  if (done) return; // a bond keeps the values of the first match that reached it
  Assign(*bond, record);
  done = 1;
  // Once every bond has its values no later match can change anything.
  if (--bondsLeft_ == 0) cont = false;
}

void TFragmentMatcher::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  Prepare(*structure);
  RemoveOldValues(*structure);
  const bool bondFile = file_.elementKind == ekBonds;
  const bool stores = file_.valueKind == vkNumber || file_.valueKind == vkString;
  if (bondFile && structure->EdgeCount() == 0) return;
  TargetRelease release{finder_};
  // The finder keeps its target's table until it is given another object: start from none so that a molecule
  // edited since the last call is read afresh.
  finder_.SetTarget(nullptr);
  finder_.SetTarget(structure);
  finder_.SetAllowDuplicates(bondFile);
  const bool wholeGraph = structure->GetOwner() == nullptr;
  for (int i = 0; i < structure->VertexCount(); ++i) {
    const IVertex* v = structure->GetVertex(i);
    const int g = v->GetIndex();
    // The finder's own first test: degree within the target, then the vertex test on fragment atom 0.
    const int degree = wholeGraph ? v->NeighbourCount() : INT_MAX;
    const int symbol = atomSymbol_[static_cast<size_t>(g)];
    const std::vector<int>& list = symbol >= 0 ? candidates_[static_cast<size_t>(symbol)] : anyCandidates_;
    for (int f : list) {
      if (!feasible_[static_cast<size_t>(f)]) continue;
      const TCompiled& c = compiled_[static_cast<size_t>(f)];
      if (degree < c.atoms.front().degree || !AtomTest(c.atoms.front(), g)) continue;
      current_ = f;
      const bool found = finder_.MatchAt(AsSubGraph(*file_.fragments[static_cast<size_t>(f)]), 0, i);
      if (!bondFile && found) break;
      if (bondFile && stores && bondsLeft_ == 0) return;
    }
  }
}

} // namespace corvatin

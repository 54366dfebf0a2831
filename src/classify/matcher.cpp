#include "classify/matcher.h"

#include "chem/molecule.h"
#include "chem/molecule_impl.h"
#include "classify/loader.h"

#include <algorithm>
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

TFragmentMatcher::TFragmentMatcher(const TClassificationFile& file) : TFragmentMatcher(file, nullptr) {}

TFragmentMatcher::TFragmentMatcher(const TClassificationFile& file, const TFragmentMatcher& compiled)
    : TFragmentMatcher(file, compiled.set_) {}

TFragmentMatcher::TFragmentMatcher(const TClassificationFile& file, std::shared_ptr<TCompiledSet> shared)
    : file_(file), set_(shared ? shared : std::make_shared<TCompiledSet>()) {
  if (!shared) Compile();
  // The search's own scratch, as Compile sizes it.
  size_t largest = 0;
  for (const TCompiled& c : compiled_) largest = std::max(largest, c.atoms.size());
  map_.assign(largest, -1);
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

// ------------------------------------------------------------------------------------------------ compiling

int TFragmentMatcher::SymbolId(const std::string& symbol) {
  auto [it, added] = symbolIds_.emplace(symbol, static_cast<int>(symbolIds_.size()));
  return it->second;
}

void TFragmentMatcher::Compile() {
  compiled_.resize(file_.fragments.size());
  size_t largest = 0;
  for (size_t f = 0; f < file_.fragments.size(); ++f) {
    const IMolecule& fragment = *file_.fragments[f];
    TCompiled& c = compiled_[f];
    largest = std::max(largest, static_cast<size_t>(fragment.VertexCount()));
    c.atoms.resize(static_cast<size_t>(fragment.VertexCount()));
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
        auto it = std::find_if(c.required.begin(), c.required.end(), [&](auto& p) { return p.first == a.symbols[0]; });
        if (it == c.required.end())
          c.required.emplace_back(a.symbols[0], 1);
        else
          ++it->second;
      }
    }
    c.bonds.resize(static_cast<size_t>(fragment.EdgeCount()));
    for (int i = 0; i < fragment.EdgeCount(); ++i) {
      const IBond* bond = fragment.GetBond(i);
      c.bonds[static_cast<size_t>(i)].type = bond->GetBondType();
      c.bonds[static_cast<size_t>(i)].anyMultiple = bond->GetString(kParamBondSpecialKind) == "~";
    }
    c.mainBond = static_cast<int>(fragment.GetFloat(kParamMainBond));
    CompileSteps(fragment, c);
  }
  map_.assign(largest, -1);
  for (TCompiled& c : compiled_)
    for (TPatternAtom& a : c.atoms) {
      a.accepts.assign(symbolIds_.size(), a.any ? 1 : 0);
      for (int id : a.symbols) a.accepts[static_cast<size_t>(id)] = 1;
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
  // The same lists with the first atoms' own tests side by side: every atom walks its list to the first fragment
  // that occurs, and most are turned away by these tests alone.
  auto tests = [this](const std::vector<int>& list) {
    std::vector<TCandidate> out;
    for (int f : list) {
      const TPatternAtom& first = compiled_[static_cast<size_t>(f)].atoms.front();
      out.push_back(TCandidate{f, first.degree, first.charge, first.hybridisation});
    }
    return out;
  };
  candidateTests_.clear();
  for (const auto& list : candidates_) candidateTests_.push_back(tests(list));
  anyCandidateTests_ = tests(anyCandidates_);
}

void TFragmentMatcher::CompileSteps(const IMolecule& fragment, TCompiled& c) const {
  const int n = fragment.VertexCount();
  if (n == 0) return;
  // Breadth first from atom 0, each atom after the one it is reached from. End atoms (one neighbour: mostly the
  // hydrogens written in brackets) go last: they have nothing placed after them, and placing them last keeps
  // their interchangeable placements from multiplying the search of the rest.
  std::vector<int> position(static_cast<size_t>(n), -1);
  std::vector<TStep> order{TStep{0, -1, -1, 0, 0}};
  position[0] = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    const IVertex* v = fragment.GetVertex(order[k].atom);
    for (int j = 0; j < v->NeighbourCount(); ++j) {
      const int w = v->GetNeighbour(j)->GetIndex();
      if (position[static_cast<size_t>(w)] >= 0) continue;
      position[static_cast<size_t>(w)] = static_cast<int>(order.size());
      order.push_back(TStep{w, order[k].atom, v->GetEdge(j)->GetIndex(), 0, 0});
    }
  }
  c.connected = order.size() == static_cast<size_t>(n);
  auto isEnd = [&](const TStep& s) { return s.parent >= 0 && fragment.GetVertex(s.atom)->NeighbourCount() == 1; };
  for (const TStep& s : order)
    if (!isEnd(s)) c.steps.push_back(s);
  for (const TStep& s : order)
    if (isEnd(s)) c.steps.push_back(s);
  for (size_t k = 0; k < c.steps.size(); ++k) position[static_cast<size_t>(c.steps[k].atom)] = static_cast<int>(k);

  // Bonds of each step's atom to atoms placed before it, other than the one to its parent.
  for (size_t k = 1; k < c.steps.size(); ++k) {
    TStep& s = c.steps[k];
    s.firstClosure = static_cast<int>(c.closures.size());
    const IVertex* v = fragment.GetVertex(s.atom);
    for (int j = 0; j < v->NeighbourCount(); ++j) {
      const int u = v->GetNeighbour(j)->GetIndex();
      const int bond = v->GetEdge(j)->GetIndex();
      if (bond == s.parentBond || position[static_cast<size_t>(u)] >= static_cast<int>(k)) continue;
      c.closures.emplace_back(u, bond);
    }
    s.closureCount = static_cast<int>(c.closures.size()) - s.firstClosure;
  }
  if (c.mainBond >= 0 && c.mainBond < fragment.EdgeCount()) {
    const IEdge* main = fragment.GetEdge(c.mainBond);
    const int a = main->GetVertex1()->GetIndex();
    const int b = main->GetVertex2()->GetIndex();
    if (position[static_cast<size_t>(a)] >= 0 && position[static_cast<size_t>(b)] >= 0) {
      c.mainEnd1 = a;
      c.mainEnd2 = b;
      c.mainStep = static_cast<size_t>(std::max(position[static_cast<size_t>(a)], position[static_cast<size_t>(b)]));
    }
  }
  // The elements atom 0's neighbours must have (neighbours that accept a single element).
  const IVertex* first = fragment.GetVertex(0);
  for (int j = 0; j < first->NeighbourCount(); ++j) {
    const TPatternAtom& a = c.atoms[static_cast<size_t>(first->GetNeighbour(j)->GetIndex())];
    if (a.any || a.symbols.size() != 1) continue;
    auto it = std::find_if(c.firstNeighbours.begin(), c.firstNeighbours.end(),
                           [&](auto& p) { return p.first == a.symbols[0]; });
    if (it == c.firstNeighbours.end())
      c.firstNeighbours.emplace_back(a.symbols[0], 1);
    else
      ++it->second;
  }
}

// ------------------------------------------------------------------------------------------------ tests

bool TFragmentMatcher::AtomTest(const TPatternAtom& a, int target) const {
  const size_t t = static_cast<size_t>(target);
  const int symbol = atomSymbol_[t];
  const bool match = symbol >= 0 ? a.accepts[static_cast<size_t>(symbol)] != 0 : a.any;
  return match && ChargeAndHybridisationTest(a.charge, a.hybridisation, t);
}

bool TFragmentMatcher::ChargeAndHybridisationTest(int charge, int hybridisation, size_t t) const {
  // A neutral fragment atom matches any charge; an unmarked one any hybridisation.
  if (charge != 0 && atomCharge_[t] != charge) return false;
  if (hybridisation != 0) {
    if (atomHybridisation_[t] < 0) atomHybridisation_[t] = atomAtom_[t] ? atomAtom_[t]->GetHybridisation() : 0;
    return atomHybridisation_[t] == hybridisation;
  }
  return true;
}

bool TFragmentMatcher::BondTest(const TPatternBond& b, int targetType) {
  if (b.anyMultiple) return targetType == bkDouble || targetType == bkTriple || targetType == bkAromatic;
  if (b.type == bkUnspecified) return true;
  return b.type == targetType;
}

bool TFragmentMatcher::NeighboursSuffice(const TCompiled& c, int target) const {
  for (const auto& [id, count] : c.firstNeighbours) {
    int have = 0;
    for (int k = firstLink_[static_cast<size_t>(target)]; k < firstLink_[static_cast<size_t>(target) + 1]; ++k)
      have += atomSymbol_[static_cast<size_t>(links_[static_cast<size_t>(k)].node)] == id;
    if (have < count) return false;
  }
  return true;
}

// ------------------------------------------------------------------------------------------------ direct search

int TFragmentMatcher::EdgeBetween(int a, int b) const {
  for (int k = firstLink_[static_cast<size_t>(a)]; k < firstLink_[static_cast<size_t>(a) + 1]; ++k)
    if (links_[static_cast<size_t>(k)].node == b) return links_[static_cast<size_t>(k)].edge;
  return -1;
}

bool TFragmentMatcher::FreeMainBond(const TCompiled& c) const {
  const int e = EdgeBetween(map_[static_cast<size_t>(c.mainEnd1)], map_[static_cast<size_t>(c.mainEnd2)]);
  return e >= 0 && !bondDone_[static_cast<size_t>(e)];
}

bool TFragmentMatcher::Search(const TCompiled& c, int anchor, SearchMode mode) {
  map_[0] = anchor;
  used_[static_cast<size_t>(anchor)] = 1;
  const bool stopped = Extend(c, 1, mode);
  used_[static_cast<size_t>(anchor)] = 0;
  return stopped;
}

bool TFragmentMatcher::Found(const TCompiled& c, SearchMode mode) {
  if (mode == SearchMode::Exists) return true;
  if (mode == SearchMode::FreeMain) return FreeMainBond(c);
  if (c.mainEnd1 < 0) return false;
  const int e = EdgeBetween(map_[static_cast<size_t>(c.mainEnd1)], map_[static_cast<size_t>(c.mainEnd2)]);
  if (e < 0) return false;
  IEdge* bond = bondEdge_[static_cast<size_t>(e)];
  const TGraphData& record = *file_.records[static_cast<size_t>(current_)];
  if (!stores_) {
    Assign(*bond, record); // no value of its own is ever stored, so the bond always lacks them
    return false;
  }
  char& done = bondDone_[static_cast<size_t>(e)];
  if (done) return false; // a bond keeps the values of the first occurrence that reached it
  Assign(*bond, record);
  done = 1;
  return --bondsLeft_ == 0; // once every bond has its values nothing can change any more
}

bool TFragmentMatcher::Extend(const TCompiled& c, size_t step, SearchMode mode) {
  if (step == c.steps.size()) return Found(c, mode);
  const TStep& s = c.steps[step];
  const TPatternAtom& a = c.atoms[static_cast<size_t>(s.atom)];
  const TPatternBond& toParent = c.bonds[static_cast<size_t>(s.parentBond)];
  const int from = map_[static_cast<size_t>(s.parent)];
  // Occurrences whose main bond already has values change nothing: cut them off as soon as it is placed.
  const bool checkMain = mode != SearchMode::Exists && stores_ && step == c.mainStep;
  for (int k = firstLink_[static_cast<size_t>(from)]; k < firstLink_[static_cast<size_t>(from) + 1]; ++k) {
    const TLink link = links_[static_cast<size_t>(k)];
    const size_t t = static_cast<size_t>(link.node);
    if (used_[t] || firstLink_[t + 1] - firstLink_[t] < a.degree) continue;
    if (!BondTest(toParent, bondType_[static_cast<size_t>(link.edge)]) || !AtomTest(a, link.node)) continue;
    bool closes = true;
    for (int j = s.firstClosure; closes && j < s.firstClosure + s.closureCount; ++j) {
      const auto [u, bond] = c.closures[static_cast<size_t>(j)];
      const int e = EdgeBetween(map_[static_cast<size_t>(u)], link.node);
      closes = e >= 0 && BondTest(c.bonds[static_cast<size_t>(bond)], bondType_[static_cast<size_t>(e)]);
    }
    if (!closes) continue;
    map_[static_cast<size_t>(s.atom)] = link.node;
    if (checkMain && !FreeMainBond(c)) continue;
    used_[t] = 1;
    const bool stopped = Extend(c, step + 1, mode);
    used_[t] = 0;
    if (stopped) return true;
  }
  return false;
}

// ------------------------------------------------------------------------------------------------ one molecule

void TFragmentMatcher::PrepareMolecule(const TMolecule& molecule) {
  // The molecule's own classes: no interface casts per atom and bond.
  const int atoms = molecule.VertexCount();
  for (int i = 0; i < atoms; ++i) {
    const TAtom* atom = molecule.AtomAt(i);
    atomVertex_[static_cast<size_t>(i)] = atom;
    atomAtom_[static_cast<size_t>(i)] = atom;
    auto id = symbolIds_.find(atom->Symbol());
    if (id != symbolIds_.end()) atomSymbol_[static_cast<size_t>(i)] = id->second;
    atomCharge_[static_cast<size_t>(i)] = atom->GetCharge();
  }
  for (int i = 0; i < atoms; ++i) {
    const TAtom* atom = molecule.AtomAt(i);
    firstLink_[static_cast<size_t>(i)] = static_cast<int>(links_.size());
    const std::vector<IVertex*>& neighbours = atom->Neighbours();
    const std::vector<TBond*>& bonds = atom->Bonds();
    for (size_t k = 0; k < bonds.size(); ++k) {
      const int e = bonds[k]->GetIndex();
      bondType_[static_cast<size_t>(e)] = bonds[k]->GetBondType();
      bondEdge_[static_cast<size_t>(e)] = bonds[k];
      links_.push_back(TLink{neighbours[k]->GetIndex(), e});
    }
  }
  firstLink_[static_cast<size_t>(atoms)] = static_cast<int>(links_.size());
}

void TFragmentMatcher::Prepare(const ISubGraph& structure) {
  const auto* molecule = dynamic_cast<const TMolecule*>(&structure);
  const size_t atoms = static_cast<size_t>(molecule ? molecule->VertexCount() : MaxIndex(structure, false) + 1);
  const size_t bonds = static_cast<size_t>(molecule ? molecule->EdgeCount() : MaxIndex(structure, true) + 1);
  atomSymbol_.assign(atoms, -1);
  atomCharge_.assign(atoms, 0);
  atomHybridisation_.assign(atoms, -1);
  atomVertex_.assign(atoms, nullptr);
  atomAtom_.assign(atoms, nullptr);
  bondEdge_.assign(bonds, nullptr);
  used_.assign(atoms, 0);
  firstLink_.assign(atoms + 1, 0);
  links_.clear();
  bondType_.assign(bonds, bkSingle);
  bondDone_.assign(bonds, 0);
  bondsLeft_ = structure.EdgeCount();

  if (molecule) {
    PrepareMolecule(*molecule);
  } else {
    std::vector<char> listed(bonds, 0);
    for (int i = 0; i < structure.EdgeCount(); ++i) {
      const IEdge* e = structure.GetEdge(i);
      listed[static_cast<size_t>(e->GetIndex())] = 1;
      bondEdge_[static_cast<size_t>(e->GetIndex())] = structure.GetEdge(i);
      if (const IBond* bond = AsBond(e)) bondType_[static_cast<size_t>(e->GetIndex())] = bond->GetBondType();
    }
    for (int i = 0; i < structure.VertexCount(); ++i) {
      const IVertex* v = structure.GetVertex(i);
      const size_t g = static_cast<size_t>(v->GetIndex());
      atomVertex_[g] = v;
      auto id = symbolIds_.find(SymbolOf(*v));
      if (id != symbolIds_.end()) atomSymbol_[g] = id->second;
      atomAtom_[g] = AsAtom(v);
      if (atomAtom_[g]) atomCharge_[g] = atomAtom_[g]->GetCharge();
    }
    // Links over the structure's own bonds only, as the finder sees them.
    for (size_t g = 0; g < atoms; ++g) {
      firstLink_[g] = static_cast<int>(links_.size());
      const IVertex* v = atomVertex_[g];
      if (!v) continue;
      for (int k = 0; k < v->EdgeCount(); ++k) {
        const int e = v->GetEdge(k)->GetIndex();
        const int n = v->GetNeighbour(k)->GetIndex();
        if (e < 0 || static_cast<size_t>(e) >= bonds || !listed[static_cast<size_t>(e)]) continue;
        if (n < 0 || static_cast<size_t>(n) >= atoms || !atomVertex_[static_cast<size_t>(n)]) continue;
        links_.push_back(TLink{n, e});
      }
    }
    firstLink_[atoms] = static_cast<int>(links_.size());
  }

  // A fragment that names more atoms of an element than the molecule has can match nowhere in it.
  std::vector<int> symbolCount(symbolIds_.size(), 0);
  for (size_t g = 0; g < atoms; ++g)
    if (atomVertex_[g] && atomSymbol_[g] >= 0) ++symbolCount[static_cast<size_t>(atomSymbol_[g])];
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
  // Written as values, not as parameter objects: the old values were removed before the search, so each write
  // adds a fresh read-only entry, as adding an object did, without an object per atom and value.
  if (!file_.className.empty()) target.SetString(file_.className, record.smiles);
  for (size_t k = 0; k < file_.propertyNames.size(); ++k) {
    const std::string& name = file_.propertyNames[k];
    if (file_.valueKind == vkNumber)
      target.SetFloat(name, record.numbers[k]);
    else if (file_.valueKind == vkString)
      target.SetString(name, record.values[k]);
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
    Assign(*bond, record); // no value of its own is ever stored, so the bond always lacks them
    return;
  }
  char& done = bondDone_[static_cast<size_t>(bond->GetIndex())];
  if (done) return; // a bond keeps the values of the first match that reached it
  Assign(*bond, record);
  done = 1;
  // Once every bond has its values no later match can change anything.
  if (--bondsLeft_ == 0) cont = false;
}

void TFragmentMatcher::UseTarget(const Ptr<ISubGraph>& structure) {
  if (targetSet_) return;
  // The finder keeps its target's table until it is given another object: start from none so that a molecule
  // edited since the last call is read afresh.
  finder_.SetTarget(nullptr);
  finder_.SetTarget(structure);
  finder_.SetAllowDuplicates(file_.elementKind == ekBonds);
  targetSet_ = true;
}

bool TFragmentMatcher::AskFinder(const Ptr<ISubGraph>& structure, int fragment, int position) {
  UseTarget(structure);
  current_ = fragment;
  return finder_.MatchAt(AsSubGraph(*file_.fragments[static_cast<size_t>(fragment)]), 0, position);
}

void TFragmentMatcher::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  Prepare(*structure);
  RemoveOldValues(*structure);
  const bool bondFile = file_.elementKind == ekBonds;
  stores_ = file_.valueKind == vkNumber || file_.valueKind == vkString;
  targetSet_ = false;
  TargetRelease release{finder_};

  if (reference_) {
    // The language's own procedure: every atom, every fragment in order, through the finder.
    for (int i = 0; i < structure->VertexCount(); ++i)
      for (int f = 0; f < static_cast<int>(compiled_.size()); ++f)
        if (AskFinder(structure, f, i) && !bondFile) break;
    return;
  }

  if (bondFile && (structure->EdgeCount() == 0 || (stores_ && bondsLeft_ == 0))) return;
  for (int i = 0; i < structure->VertexCount(); ++i) {
    const size_t g = static_cast<size_t>(structure->GetVertex(i)->GetIndex());
    const int degree = firstLink_[g + 1] - firstLink_[g];
    const int symbol = atomSymbol_[g];
    // Every fragment of the list accepts the atom's element (or every element): the atom test on fragment atom 0
    // comes down to charge and hybridisation.
    const std::vector<TCandidate>& list =
        symbol >= 0 ? candidateTests_[static_cast<size_t>(symbol)] : anyCandidateTests_;
    for (const TCandidate& k : list) {
      const int f = k.fragment;
      if (!feasible_[static_cast<size_t>(f)]) continue;
      // The finder's own first test: degree within the structure, then the atom test on fragment atom 0.
      if (degree < k.degree || !ChargeAndHybridisationTest(k.charge, k.hybridisation, g)) continue;
      const TCompiled& c = compiled_[static_cast<size_t>(f)];
      if (!NeighboursSuffice(c, static_cast<int>(g))) continue;
      current_ = f;
      if (!c.connected) {
        // Only the finder knows what it makes of the other pieces; ask it when the first one occurs at all.
        const SearchMode mode = bondFile && stores_ && c.mainEnd1 >= 0 ? SearchMode::FreeMain : SearchMode::Exists;
        if (!Search(c, static_cast<int>(g), mode)) continue;
        if (AskFinder(structure, f, i) && !bondFile) break;
      } else if (!bondFile) {
        if (!Search(c, static_cast<int>(g), SearchMode::Exists)) continue;
        Assign(*structure->GetVertex(i), *file_.records[static_cast<size_t>(f)]);
        break;
      } else {
        Search(c, static_cast<int>(g), SearchMode::AssignMain);
      }
      if (bondFile && stores_ && bondsLeft_ == 0) return;
    }
  }
}

} // namespace corvatin

#include "classify/matcher.h"

#include "chem/molecule.h"
#include "chem/molecule_impl.h"

#include <algorithm>

namespace corvatin {

namespace {

/// Lets go of the finder's target (and with it the molecule) however a classification ends.
struct TargetRelease {
  TGraphFinder& finder;
  ~TargetRelease() { finder.SetTarget(nullptr); }
};

/// The bond kind as the neighbour counts group it: 0 to 3 for single to aromatic, 4 for any other.
int CountedKind(int kind) { return kind >= 0 && kind < 4 ? kind : 4; }

} // namespace

TFragmentMatcher::TFragmentMatcher(const TClassificationFile& file)
    : TFragmentMatcher(std::make_shared<const TFragmentIndex>(file)) {}

TFragmentMatcher::TFragmentMatcher(std::shared_ptr<const TFragmentIndex> index)
    : index_(std::move(index)), file_(index_->File()), compiled_(index_->Fragments()) {
  map_.assign(index_->LargestFragment(), -1);
  finder_.OnCompareVertices = [this](IVertex* p, IVertex* t, bool& accept) {
    accept = AtomTest(compiled_[static_cast<size_t>(current_)].atoms[static_cast<size_t>(p->GetIndex())],
                      t->GetIndex());
  };
  finder_.OnCompareEdges = [this](IEdge* p, IEdge* t, bool& accept) {
    accept = BondTest(compiled_[static_cast<size_t>(current_)].bonds[static_cast<size_t>(p->GetIndex())],
                      bondKind_[static_cast<size_t>(t->GetIndex())]);
  };
  finder_.OnMatch = [this](const Ptr<ISubGraph>& match, bool& cont, bool& accept) { OnMatch(match, cont, accept); };
}

// ------------------------------------------------------------------------------------------------ tests

bool TFragmentMatcher::AtomTest(const TPatternAtom& a, int target) const {
  const size_t t = static_cast<size_t>(target);
  const TAtomFacts& atom = atoms_[t];
  const bool match = atom.symbol >= 0 ? a.accepts[static_cast<size_t>(atom.symbol)] != 0 : a.any;
  return match && ChargeAndHybridisationTest(a.charge, a.hybridisation, atom, t);
}

bool TFragmentMatcher::ChargeAndHybridisationTest(int charge, int hybridisation, const TAtomFacts& atom,
                                                  size_t t) const {
  // A neutral fragment atom matches any charge; an unmarked one any hybridisation.
  if (charge != 0 && atom.charge != charge) return false;
  if (hybridisation != 0) {
    if (atom.hybridisation < 0) atom.hybridisation = atomAtom_[t] ? atomAtom_[t]->GetHybridisation() : 0;
    return atom.hybridisation == hybridisation;
  }
  return true;
}

bool TFragmentMatcher::BondTest(const TPatternBond& b, int targetKind) {
  if (static_cast<unsigned>(targetKind) < 8u) return (b.kinds >> targetKind & 1u) != 0;
  if (b.anyMultiple) return false;
  return b.type == bkUnspecified || b.type == targetKind;
}

bool TFragmentMatcher::NeighboursSuffice(const TCompiled& c, const TAtomFacts& atom) const {
  for (const auto& [id, count] : c.firstNeighbours) {
    int have = 0;
    for (int k = atom.firstLink; k < atom.firstLink + atom.degree; ++k)
      have += atoms_[static_cast<size_t>(links_[static_cast<size_t>(k)].node)].symbol == id;
    if (have < count) return false;
  }
  return true;
}

bool TFragmentMatcher::Feasible(int f) {
  // A fragment that names more atoms of an element than the molecule has can match nowhere in it.
  signed char& known = feasible_[static_cast<size_t>(f)];
  if (known < 0) {
    known = 1;
    for (const auto& [id, count] : compiled_[static_cast<size_t>(f)].required)
      if (symbolCount_[static_cast<size_t>(id)] < count) known = 0;
  }
  return known != 0;
}

// ------------------------------------------------------------------------------------------------ direct search

int TFragmentMatcher::EdgeBetween(int a, int b) const {
  const TAtomFacts& atom = atoms_[static_cast<size_t>(a)];
  for (int k = atom.firstLink; k < atom.firstLink + atom.degree; ++k)
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
  // A bond keeps the values of the first occurrence that reached it.
  if (bondDone_[static_cast<size_t>(e)]) return false;
  Assign(*bond, record);
  MarkDone(e, map_[static_cast<size_t>(c.mainEnd1)], map_[static_cast<size_t>(c.mainEnd2)]);
  return bondsLeft_ == 0; // once every bond has its values nothing can change any more
}

bool TFragmentMatcher::Extend(const TCompiled& c, size_t step, SearchMode mode) {
  if (step == c.steps.size()) return Found(c, mode);
  const TFragmentIndex::TStep& s = c.steps[step];
  const TPatternAtom& a = c.atoms[static_cast<size_t>(s.atom)];
  const TPatternBond& toParent = c.bonds[static_cast<size_t>(s.parentBond)];
  const TAtomFacts& from = atoms_[static_cast<size_t>(map_[static_cast<size_t>(s.parent)])];
  // Occurrences whose main bond already has values change nothing: cut them off as soon as it is placed.
  const bool checkMain = mode != SearchMode::Exists && stores_ && step == c.mainStep;
  for (int k = from.firstLink; k < from.firstLink + from.degree; ++k) {
    const TLink link = links_[static_cast<size_t>(k)];
    const size_t t = static_cast<size_t>(link.node);
    const TAtomFacts& target = atoms_[t];
    if (used_[t] || target.degree < a.degree || !BondTest(toParent, link.kind)) continue;
    if (target.counted && !CountsCover(target.neighbours, a.need)) continue;
    if (!(target.symbol >= 0 ? a.accepts[static_cast<size_t>(target.symbol)] != 0 : a.any)) continue;
    if (!ChargeAndHybridisationTest(a.charge, a.hybridisation, target, t)) continue;
    bool closes = true;
    for (int j = s.firstClosure; closes && j < s.firstClosure + s.closureCount; ++j) {
      const auto [u, bond] = c.closures[static_cast<size_t>(j)];
      const int from2 = map_[static_cast<size_t>(u)];
      const TAtomFacts& other = atoms_[static_cast<size_t>(from2)];
      closes = false;
      for (int q = other.firstLink; q < other.firstLink + other.degree; ++q)
        if (links_[static_cast<size_t>(q)].node == link.node) {
          closes = BondTest(c.bonds[static_cast<size_t>(bond)], links_[static_cast<size_t>(q)].kind);
          break;
        }
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
    TAtom* atom = molecule.AtomAt(i);
    TAtomFacts& facts = atoms_[static_cast<size_t>(i)];
    facts.vertex = atom;
    facts.symbol = index_->SymbolIdOf(atom->Symbol(), atom->GetAtomicNumber());
    facts.element = static_cast<signed char>(NeighbourElementOf(atom->Symbol()));
    facts.charge = atom->GetCharge();
    atomAtom_[static_cast<size_t>(i)] = atom;
    order_.push_back(i);
    facts.firstLink = static_cast<int>(links_.size());
    const std::vector<IVertex*>& neighbours = atom->Neighbours();
    const std::vector<TBond*>& bonds = atom->Bonds();
    for (size_t k = 0; k < bonds.size(); ++k) {
      TBond* bond = bonds[k];
      const size_t e = static_cast<size_t>(bond->GetIndex());
      if (!bondEdge_[e]) {
        bondEdge_[e] = bond;
        bondKind_[e] = bond->GetBondType();
      }
      links_.push_back(TLink{neighbours[k]->GetIndex(), static_cast<int>(e), bondKind_[e]});
    }
    facts.degree = static_cast<int>(bonds.size());
  }
}

void TFragmentMatcher::PrepareStructure(const ISubGraph& structure) {
  const size_t atoms = atoms_.size();
  const size_t bonds = bondEdge_.size();
  std::vector<char> listed(bonds, 0);
  for (int i = 0; i < structure.EdgeCount(); ++i) {
    IEdge* e = structure.GetEdge(i);
    listed[static_cast<size_t>(e->GetIndex())] = 1;
    bondEdge_[static_cast<size_t>(e->GetIndex())] = e;
    if (const IBond* bond = AsBond(e)) bondKind_[static_cast<size_t>(e->GetIndex())] = bond->GetBondType();
  }
  for (int i = 0; i < structure.VertexCount(); ++i) {
    IVertex* v = structure.GetVertex(i);
    const size_t g = static_cast<size_t>(v->GetIndex());
    TAtomFacts& facts = atoms_[g];
    facts.vertex = v;
    const IAtom* atom = AsAtom(v);
    const std::string symbol = atom ? atom->GetSymbol() : v->GetString(kParamSymbol);
    facts.symbol = index_->SymbolIdOf(symbol, atom ? atom->GetAtomicNumber() : 0);
    facts.element = static_cast<signed char>(NeighbourElementOf(symbol));
    atomAtom_[g] = atom;
    if (atom) facts.charge = atom->GetCharge();
    order_.push_back(static_cast<int>(g));
  }
  // Links over the structure's own bonds only, as the finder sees them.
  for (size_t g = 0; g < atoms; ++g) {
    TAtomFacts& facts = atoms_[g];
    facts.firstLink = static_cast<int>(links_.size());
    if (!facts.vertex) continue;
    const IVertex* v = facts.vertex;
    for (int k = 0; k < v->EdgeCount(); ++k) {
      const int e = v->GetEdge(k)->GetIndex();
      const int n = v->GetNeighbour(k)->GetIndex();
      if (e < 0 || static_cast<size_t>(e) >= bonds || !listed[static_cast<size_t>(e)]) continue;
      if (n < 0 || static_cast<size_t>(n) >= atoms || !atoms_[static_cast<size_t>(n)].vertex) continue;
      links_.push_back(TLink{n, e, bondKind_[static_cast<size_t>(e)]});
    }
    facts.degree = static_cast<int>(links_.size()) - facts.firstLink;
  }
}

void TFragmentMatcher::CountNeighbours() {
  // Counts of up to 7 neighbours fit their fields; an atom with more is not screened by them.
  for (TAtomFacts& facts : atoms_) {
    if (!facts.vertex || facts.degree > 7) continue;
    facts.counted = true;
    for (int k = facts.firstLink; k < facts.firstLink + facts.degree; ++k) {
      const TLink& link = links_[static_cast<size_t>(k)];
      const size_t element = static_cast<size_t>(atoms_[static_cast<size_t>(link.node)].element);
      const TNeighbourCounts& add = kNeighbourIncrements[static_cast<size_t>(CountedKind(link.kind))][element];
      for (size_t w = 0; w < add.size(); ++w) facts.neighbours[w] += add[w];
    }
  }
}

void TFragmentMatcher::Prepare(const ISubGraph& structure) {
  const auto* molecule = dynamic_cast<const TMolecule*>(&structure);
  int atoms = 0, bonds = 0;
  if (molecule) {
    atoms = molecule->VertexCount();
    bonds = molecule->EdgeCount();
  } else {
    for (int i = 0; i < structure.VertexCount(); ++i) atoms = std::max(atoms, structure.GetVertex(i)->GetIndex() + 1);
    for (int i = 0; i < structure.EdgeCount(); ++i) bonds = std::max(bonds, structure.GetEdge(i)->GetIndex() + 1);
  }
  atoms_.assign(static_cast<size_t>(atoms), TAtomFacts{});
  atomAtom_.assign(static_cast<size_t>(atoms), nullptr);
  used_.assign(static_cast<size_t>(atoms), 0);
  bondEdge_.assign(static_cast<size_t>(bonds), nullptr);
  bondKind_.assign(static_cast<size_t>(bonds), bkSingle);
  bondDone_.assign(static_cast<size_t>(bonds), 0);
  links_.clear();
  order_.clear();
  bondsLeft_ = structure.EdgeCount();
  if (molecule)
    PrepareMolecule(*molecule);
  else
    PrepareStructure(structure);
  CountNeighbours();
  openBonds_.assign(atoms_.size(), 0);
  for (size_t g = 0; g < atoms_.size(); ++g) openBonds_[g] = atoms_[g].degree;
  symbolCount_.assign(static_cast<size_t>(index_->SymbolCount()), 0);
  for (int g : order_)
    if (const int id = atoms_[static_cast<size_t>(g)].symbol; id >= 0) ++symbolCount_[static_cast<size_t>(id)];
  feasible_.assign(compiled_.size(), -1);
}

void TFragmentMatcher::RemoveOldValues(const ISubGraph& structure) const {
  auto remove = [&](IParameters& target) {
    if (!file_.className.empty()) target.DeleteParam(file_.className);
    for (const std::string& name : file_.propertyNames) target.DeleteParam(name);
  };
  if (file_.elementKind == ekBonds) {
    for (int i = 0; i < structure.EdgeCount(); ++i) remove(*structure.GetEdge(i));
  } else {
    for (int g : order_) remove(*atoms_[static_cast<size_t>(g)].vertex);
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
  if (bondDone_[static_cast<size_t>(bond->GetIndex())]) return; // a bond keeps the values of the first match
  Assign(*bond, record);
  MarkDone(bond->GetIndex(), bond->GetVertex1()->GetIndex(), bond->GetVertex2()->GetIndex());
  // Once every bond has its values no later match can change anything.
  if (bondsLeft_ == 0) cont = false;
}

void TFragmentMatcher::MarkDone(int e, int a, int b) {
  bondDone_[static_cast<size_t>(e)] = 1;
  --bondsLeft_;
  for (int end : {a, b})
    if (end >= 0 && static_cast<size_t>(end) < openBonds_.size()) --openBonds_[static_cast<size_t>(end)];
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
  for (size_t i = 0; i < order_.size(); ++i) {
    const int g = order_[i];
    const TAtomFacts& atom = atoms_[static_cast<size_t>(g)];
    // Every fragment of the list accepts the atom's element (or every element): the atom test on fragment atom 0
    // comes down to charge and hybridisation; the finder's own first test adds the degree.
    for (const TCandidate& k : index_->Candidates(atom.symbol, atom.degree)) {
      // In a bond file, an occurrence changes only its main bond, once: none is left here to change.
      if (bondFile && stores_ && k.mainAtFirst && openBonds_[static_cast<size_t>(g)] == 0) continue;
      if (atom.degree < k.degree || (atom.counted && !CountsCover(atom.neighbours, k.need))) continue;
      if (!ChargeAndHybridisationTest(k.charge, k.hybridisation, atom, static_cast<size_t>(g))) continue;
      const int f = k.fragment;
      const TCompiled& c = compiled_[static_cast<size_t>(f)];
      if ((!c.firstNeighbours.empty() && !NeighboursSuffice(c, atom)) || !Feasible(f)) continue;
      current_ = f;
      if (!c.connected) {
        // Only the finder knows what it makes of the other pieces; ask it when the first one occurs at all.
        const SearchMode mode = bondFile && stores_ && c.mainEnd1 >= 0 ? SearchMode::FreeMain : SearchMode::Exists;
        if (!Search(c, g, mode)) continue;
        if (AskFinder(structure, f, static_cast<int>(i)) && !bondFile) break;
      } else if (!bondFile) {
        if (!Search(c, g, SearchMode::Exists)) continue;
        Assign(*atom.vertex, *file_.records[static_cast<size_t>(f)]);
        break;
      } else {
        Search(c, g, SearchMode::AssignMain);
      }
      if (bondFile && stores_ && bondsLeft_ == 0) return;
    }
  }
}

} // namespace corvatin

#include "classify/fragment_index.h"

#include "chem/elements.h"
#include "chem/molecule.h"
#include "classify/loader.h"

#include <algorithm>

namespace corvatin {

namespace {

/// Adds one to the class, unless it holds 7 already (counts stay below the guard bit).
void AddToClassCapped(TNeighbourCounts& counts, int index) {
  const std::uint64_t field = counts[static_cast<size_t>(index / 16)] >> (4 * (index % 16)) & 15u;
  if (field < 7) AddToNeighbourClass(counts, index);
}

} // namespace

TFragmentIndex::TFragmentIndex(const TClassificationFile& file) : file_(file) {
  compiled_.resize(file_.fragments.size());
  for (size_t f = 0; f < file_.fragments.size(); ++f) {
    const IMolecule& fragment = *file_.fragments[f];
    TCompiled& c = compiled_[f];
    largest_ = std::max(largest_, static_cast<size_t>(fragment.VertexCount()));
    CompileAtoms(fragment, c);
    c.mainBond = static_cast<int>(fragment.GetFloat(kParamMainBond));
    CompileSteps(fragment, c);
  }
  for (TCompiled& c : compiled_)
    for (TPatternAtom& a : c.atoms) {
      a.accepts.assign(symbolIds_.size(), a.any ? 1 : 0);
      for (int id : a.symbols) a.accepts[static_cast<size_t>(id)] = 1;
    }
  elements_.assign(110, {std::string_view(), -1});
  for (int z = 1; z < 110; ++z) {
    elements_[static_cast<size_t>(z)].first = ElementSymbol(z);
    elements_[static_cast<size_t>(z)].second = SymbolIdOfText(std::string(ElementSymbol(z)));
  }
  for (size_t f = 0; f < compiled_.size(); ++f) CompileNeeds(*file_.fragments[f], compiled_[f]);
  userSymbols_.clear();

  // The candidate lists: for each symbol and degree, the fragments whose first atom can accept an atom of that
  // symbol with that many neighbours, in matching order. Every atom walks its list to the first fragment that
  // occurs, and most are turned away by the first atom's tests.
  const size_t lists = (symbolIds_.size() + 1) * kDegreeLists;
  candidates_.assign(lists, {});
  for (size_t f = 0; f < compiled_.size(); ++f) {
    if (compiled_[f].atoms.empty()) continue;
    const TPatternAtom& first = compiled_[f].atoms.front();
    const TCandidate candidate = CandidateOf(static_cast<int>(f));
    // The last list of a symbol is for every degree beyond the others.
    for (int degree = std::min(first.degree, kDegreeLists - 1); degree < kDegreeLists; ++degree) {
      auto add = [&](int symbol) {
        candidates_[static_cast<size_t>((symbol + 1) * kDegreeLists + degree)].push_back(candidate);
      };
      if (first.any)
        for (int symbol = -1; symbol < static_cast<int>(symbolIds_.size()); ++symbol) add(symbol);
      else
        for (int symbol : first.symbols) add(symbol);
    }
  }
}

TFragmentIndex::TCandidate TFragmentIndex::CandidateOf(int f) const {
  const TPatternAtom& first = compiled_[static_cast<size_t>(f)].atoms.front();
  const TCompiled& c = compiled_[static_cast<size_t>(f)];
  return TCandidate{f,          first.degree, first.charge, first.hybridisation,
                    first.need, c.mainEnd1 == 0 || c.mainEnd2 == 0};
}

void TFragmentIndex::CompileNeeds(const IMolecule& fragment, TCompiled& c) const {
  // The element group each fragment atom asks of the molecule atom it is placed on.
  const int hydrogen = SymbolIdOf("H", 1);
  std::vector<int> groups(c.atoms.size(), kAnyElementGroup);
  for (size_t i = 0; i < c.atoms.size(); ++i) {
    const TPatternAtom& a = c.atoms[i];
    if (a.any) continue;
    const std::string symbol = fragment.GetAtom(static_cast<int>(i))->GetSymbol();
    // Only an element symbol itself names its group: a user symbol accepts its own text besides its alternatives.
    if (a.symbols.size() == 1 && NeighbourElementOf(symbol) != neOther && !file_.symbols.Find(symbol))
      groups[i] = NeighbourElementOf(symbol);
    else if (hydrogen < 0 || !a.accepts[static_cast<size_t>(hydrogen)])
      groups[i] = kNotHydrogenGroup;
  }
  for (size_t i = 0; i < c.atoms.size(); ++i) {
    const IVertex* v = fragment.GetVertex(static_cast<int>(i));
    for (int j = 0; j < v->NeighbourCount(); ++j) {
      const size_t n = static_cast<size_t>(v->GetNeighbour(j)->GetIndex());
      const TPatternBond& b = c.bonds[static_cast<size_t>(v->GetEdge(j)->GetIndex())];
      int bond = kAnyBondGroup;
      if (b.anyMultiple)
        bond = kMultipleGroup;
      else if (b.type >= 0 && b.type < 4)
        bond = b.type;
      AddToClassCapped(c.atoms[i].need, NeighbourClass(bond, groups[n]));
      const TPatternAtom& a = c.atoms[n];
      if (i != 0 || groups[n] < kNotHydrogenGroup || a.any || a.symbols.size() != 1) continue;
      // A single element the counts do not tell apart (S, Cl, ...) is counted by its symbol instead.
      auto& list = c.firstNeighbours;
      auto it = std::find_if(list.begin(), list.end(), [&](auto& p) { return p.first == a.symbols[0]; });
      if (it == list.end())
        list.emplace_back(a.symbols[0], 1);
      else
        ++it->second;
    }
  }
}

int TFragmentIndex::AddSymbol(const std::string& symbol) {
  auto [it, added] = symbolIds_.emplace(symbol, static_cast<int>(symbolIds_.size()));
  return it->second;
}

int TFragmentIndex::SymbolIdOfText(const std::string& symbol) const {
  auto it = symbolIds_.find(symbol);
  return it == symbolIds_.end() ? -1 : it->second;
}

void TFragmentIndex::CompileAtoms(const IMolecule& fragment, TCompiled& c) {
  c.atoms.resize(static_cast<size_t>(fragment.VertexCount()));
  for (int i = 0; i < fragment.VertexCount(); ++i) {
    const IAtom* atom = fragment.GetAtom(i);
    TPatternAtom& a = c.atoms[static_cast<size_t>(i)];
    const std::string symbol = atom->GetSymbol();
    a.any = symbol == "*";
    a.symbols.push_back(AddSymbol(symbol));
    // A user symbol also accepts the first atom of each of its alternatives (worked out once per symbol: the
    // files list every element under a few symbols and use them in most fragments).
    if (const TSymbolData* user = a.any ? nullptr : file_.symbols.Find(symbol)) {
      auto [known, added] = userSymbols_.try_emplace(user);
      if (added) {
        for (const Ptr<IMolecule>& alternative : user->alternatives) {
          const std::string first = alternative->GetAtom(0)->GetSymbol();
          if (first == "*")
            known->second.first = true;
          else
            known->second.second.push_back(AddSymbol(first));
        }
      }
      a.any = known->second.first;
      a.symbols.insert(a.symbols.end(), known->second.second.begin(), known->second.second.end());
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
    TPatternBond& b = c.bonds[static_cast<size_t>(i)];
    b.type = bond->GetBondType();
    b.anyMultiple = bond->GetString(kParamBondSpecialKind) == "~";
    for (int kind = 0; kind < 8; ++kind)
      if (b.anyMultiple ? kind == bkDouble || kind == bkTriple || kind == bkAromatic
                        : b.type == bkUnspecified || b.type == kind)
        b.kinds = static_cast<std::uint8_t>(b.kinds | 1u << kind);
  }
}

void TFragmentIndex::CompileSteps(const IMolecule& fragment, TCompiled& c) const {
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
}

} // namespace corvatin

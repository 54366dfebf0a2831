#pragma once
// The fragments of a loaded classification file compiled for matching: pattern atoms as symbol tables, bonds as
// masks of the bond kinds they accept, the order in which a direct search places the atoms, and for each element
// the fragments whose first atom can take an atom of it, with what that first atom asks of its neighbours. Built
// once from the file and read-only afterwards, so that matchers on several threads can share one.
#include "classify/fragments.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace corvatin {

class IMolecule;

/// Counts of a molecule atom's neighbours, packed four bits a class (bond kind by element group, see
/// NeighbourClass), three words of sixteen classes; each class counts up to 7, its top bit stays clear.
using TNeighbourCounts = std::array<std::uint64_t, 3>;

/// The element groups a neighbour is counted in: exactly "H", "C", "N" or "O"; any other symbol.
enum NeighbourElement : int { neH = 0, neC = 1, neN = 2, neO = 3, neOther = 4 };

/// The element group of a symbol text.
inline int NeighbourElementOf(const std::string& symbol) {
  if (symbol.size() != 1) return neOther;
  switch (symbol[0]) {
  case 'H':
    return neH;
  case 'C':
    return neC;
  case 'N':
    return neN;
  case 'O':
    return neO;
  default:
    return neOther;
  }
}

/// The bond kinds a neighbour is counted under: single, double, triple, aromatic; any other kind.
inline constexpr int kNeighbourBondKinds = 5;

// The classes a neighbour is counted in: a bond group (its own kind 0 to 3, "multiple" for double, triple and
// aromatic, "any") by an element group (its own, "not H", "any"). A fragment atom's neighbour asks for the
// narrowest class that holds every atom it accepts, so that an atom short of neighbours in some class cannot
// take that fragment atom.
inline constexpr int kMultipleGroup = 4, kAnyBondGroup = 5, kNotHydrogenGroup = 4, kAnyElementGroup = 5;

constexpr int NeighbourClass(int bondGroup, int elementGroup) { return bondGroup * 6 + elementGroup; }

constexpr void AddToNeighbourClass(TNeighbourCounts& counts, int index) {
  counts[static_cast<size_t>(index / 16)] += std::uint64_t{1} << (4 * (index % 16));
}

/// What adding one neighbour of bond kind (0 to 4, see above) and element group adds to an atom's counts.
inline constexpr auto kNeighbourIncrements = [] {
  std::array<std::array<TNeighbourCounts, 5>, kNeighbourBondKinds> table{};
  for (int kind = 0; kind < kNeighbourBondKinds; ++kind)
    for (int element = 0; element < 5; ++element) {
      const int bondGroups[3] = {kAnyBondGroup, kind < 4 ? kind : -1, kind >= 1 && kind <= 3 ? kMultipleGroup : -1};
      const int elementGroups[3] = {kAnyElementGroup, element < 4 ? element : -1,
                                    element != neH ? kNotHydrogenGroup : -1};
      for (int b : bondGroups)
        for (int e : elementGroups)
          if (b >= 0 && e >= 0)
            AddToNeighbourClass(table[static_cast<size_t>(kind)][static_cast<size_t>(element)], NeighbourClass(b, e));
    }
  return table;
}();

/// Whether counts hold at least need in every class (the fields of both at most 7).
inline bool CountsCover(const TNeighbourCounts& counts, const TNeighbourCounts& need) {
  constexpr std::uint64_t kGuards = 0x8888888888888888ull;
  for (size_t w = 0; w < counts.size(); ++w)
    if ((((counts[w] | kGuards) - need[w]) & kGuards) != kGuards) return false;
  return true;
}

class TFragmentIndex {
public:
  struct TPatternAtom {
    bool any = false;             ///< "*", or a user symbol with a "*" alternative
    std::vector<int> symbols;     ///< symbol ids it accepts, sorted
    std::vector<char> accepts;    ///< by symbol id: whether it accepts the symbol
    int charge = 0;               ///< 0: any charge
    int hybridisation = 0;        ///< 0: any hybridisation
    int degree = 0;               ///< within the fragment
    TNeighbourCounts need{};      ///< its neighbours in the fragment by class: the least the atom it takes has
  };
  struct TPatternBond {
    int type = 0;
    bool anyMultiple = false;     ///< written "~"
    std::uint8_t kinds = 0;       ///< bit t: accepts a molecule bond of kind t (0 <= t < 8)
  };
  /// One step of the direct search: a fragment atom placed next to an earlier one.
  struct TStep {
    int atom;
    int parent;       ///< earlier fragment atom it is bonded to
    int parentBond;   ///< the fragment bond joining them
    int firstClosure; ///< its bonds to other earlier atoms: closures[firstClosure, firstClosure + closureCount)
    int closureCount;
  };
  struct TCompiled {
    std::vector<TPatternAtom> atoms;
    std::vector<TPatternBond> bonds;
    int mainBond = 0;
    std::vector<std::pair<int, int>> required; ///< (symbol id, atoms of that element the fragment needs)
    std::vector<TStep> steps;                  ///< the first atom's component: breadth first, end atoms last
    std::vector<std::pair<int, int>> closures; ///< (earlier fragment atom, fragment bond)
    /// (symbol id, count) the first atom's neighbours need of an element its neighbour counts do not tell apart
    std::vector<std::pair<int, int>> firstNeighbours;
    int mainEnd1 = -1;                         ///< the main bond's atoms when both are in the first component
    int mainEnd2 = -1;
    size_t mainStep = 0;                       ///< the step that places the later of the two
    bool connected = false;                    ///< every atom is in the first atom's component
  };
  /// A fragment in a candidate list with what its first atom asks beyond the element the list is for.
  struct TCandidate {
    int fragment;
    int degree;
    int charge;                ///< 0: any
    int hybridisation;         ///< 0: any
    TNeighbourCounts need;     ///< neighbours by class the first atom's neighbours take at least
    bool mainAtFirst;          ///< the main bond is one of the first atom's
  };

  /// Compiles the fragments of file, which must stay alive and unchanged while the index is used.
  explicit TFragmentIndex(const TClassificationFile& file);
  TFragmentIndex(const TFragmentIndex&) = delete;
  TFragmentIndex& operator=(const TFragmentIndex&) = delete;

  const TClassificationFile& File() const { return file_; }
  const std::vector<TCompiled>& Fragments() const { return compiled_; }
  int SymbolCount() const { return static_cast<int>(symbolIds_.size()); }
  /// The id of symbol in this file (-1 when no fragment names it); z is its atomic number when known (0 if not).
  int SymbolIdOf(const std::string& symbol, int z) const {
    // An element symbol as the table writes it is found by its number; any other text (another letter case, a
    // symbol that is no element) by the text itself.
    if (z > 0 && static_cast<size_t>(z) < elements_.size() && elements_[static_cast<size_t>(z)].first == symbol)
      return elements_[static_cast<size_t>(z)].second;
    return SymbolIdOfText(symbol);
  }
  /// The candidates for an atom of symbol id (-1: a symbol no fragment names) with degree neighbours, in matching
  /// order: those whose first atom accepts the symbol and has at most degree neighbours (any, past the lists).
  const std::vector<TCandidate>& Candidates(int symbol, int degree) const {
    return candidates_[static_cast<size_t>(symbol + 1) * kDegreeLists +
                       static_cast<size_t>(std::min(degree, kDegreeLists - 1))];
  }
  /// The largest fragment's atom count.
  size_t LargestFragment() const { return largest_; }

private:
  int AddSymbol(const std::string& symbol);
  int SymbolIdOfText(const std::string& symbol) const;
  void CompileAtoms(const IMolecule& fragment, TCompiled& c);
  void CompileSteps(const IMolecule& fragment, TCompiled& c) const;
  void CompileNeeds(const IMolecule& fragment, TCompiled& c) const;
  TCandidate CandidateOf(int f) const;

  const TClassificationFile& file_;
  std::unordered_map<std::string, int> symbolIds_;
  /// By atomic number: the element's symbol and its id (-1 when no fragment names it).
  std::vector<std::pair<std::string_view, int>> elements_;
  std::vector<TCompiled> compiled_;
  /// While compiling: what each user symbol's alternatives accept ("*" among them, symbol ids).
  std::unordered_map<const TSymbolData*, std::pair<bool, std::vector<int>>> userSymbols_;
  /// Candidate lists by symbol id + 1 and degree.
  static constexpr int kDegreeLists = 9;
  std::vector<std::vector<TCandidate>> candidates_;
  size_t largest_ = 0;
};

} // namespace corvatin

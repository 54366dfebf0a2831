#pragma once
// Matching a molecule's atoms (or bonds) against the fragments of a loaded classification file. Every atom tries
// the fragments in their sorted order anchored on it (fragment atom 0 on the atom); the first fragment that occurs
// there gives an atom its values, while in a bond file every occurrence of every fragment is visited and a bond
// keeps the values of the first occurrence whose main bond lies on it.
//
// Occurrences are the injective mappings of the fragment onto the molecule that pass the degree, atom and bond
// tests, exactly those the substructure finder reports. For a fragment in one piece they are found here by a
// direct search: an atom file only asks whether one exists, and in a bond file all occurrences of one fragment at
// one atom carry the same values, so the order in which they are visited within that search does not matter.
// Fragments in several pieces go to the finder itself. Before any search, a fragment is skipped for an atom when
// its first atom does not accept the atom or its neighbours, or when the molecule lacks the elements it names.
#include "classify/fragment_index.h"
#include "graph/finder.h"

#include <memory>
#include <vector>

namespace corvatin {

class IAtom;
class TMolecule;

class TFragmentMatcher {
public:
  /// Compiles the fragments of file, which must stay alive and unchanged while the matcher is used.
  explicit TFragmentMatcher(const TClassificationFile& file);
  /// Matches with fragments compiled once and shared: the index is only read, the matcher keeps its own state.
  explicit TFragmentMatcher(std::shared_ptr<const TFragmentIndex> index);
  TFragmentMatcher(const TFragmentMatcher&) = delete;
  TFragmentMatcher& operator=(const TFragmentMatcher&) = delete;

  /// Removes the file's old values from structure and assigns the new ones.
  void Classify(const Ptr<ISubGraph>& structure);

  /// Reference mode: every fragment is tried on every atom through the substructure finder, without the direct
  /// search and the skips (slow; for checking that they change no assignment).
  void SetReferenceMode(bool flag) { reference_ = flag; }

  const std::shared_ptr<const TFragmentIndex>& Index() const { return index_; }

private:
  using TCompiled = TFragmentIndex::TCompiled;
  using TPatternAtom = TFragmentIndex::TPatternAtom;
  using TPatternBond = TFragmentIndex::TPatternBond;
  using TCandidate = TFragmentIndex::TCandidate;

  /// A bond of an atom within the structure: the atom at its other end, the bond's graph index and kind.
  struct TLink {
    int node;
    int edge;
    int kind;
  };
  /// What the search reads of a molecule atom, by graph index.
  struct TAtomFacts {
    IVertex* vertex = nullptr; ///< none: not part of the structure
    int symbol = -1;        ///< symbol id in the index, -1 for a symbol no fragment names
    int charge = 0;
    int firstLink = 0;      ///< its links: links_[firstLink, firstLink + degree)
    int degree = 0;
    mutable int hybridisation = -1; ///< -1 until asked for
    signed char element = neOther; ///< its group in the neighbour counts (NeighbourElement)
    bool counted = false;   ///< neighbours holds its counts (degree at most 7)
    TNeighbourCounts neighbours{};
  };

  bool AtomTest(const TPatternAtom& a, int target) const;
  /// The charge and hybridisation tests of AtomTest, for an atom whose element the pattern atom accepts.
  bool ChargeAndHybridisationTest(int charge, int hybridisation, const TAtomFacts& atom, size_t target) const;
  static bool BondTest(const TPatternBond& b, int targetKind);
  /// Whether atom has the neighbours of the elements that fragment atom 0 needs beyond its neighbour counts.
  bool NeighboursSuffice(const TCompiled& c, const TAtomFacts& atom) const;
  int EdgeBetween(int a, int b) const;
  /// Whether the molecule has every element fragment f names as often as the fragment does (worked out once per
  /// molecule and fragment).
  bool Feasible(int f);
  /// What a direct search does with each occurrence it finds.
  enum class SearchMode {
    Exists,     ///< stop at the first
    FreeMain,   ///< stop at the first whose main bond has no values yet
    AssignMain, ///< give each occurrence's main bond the fragment's values; stop when every bond has them
  };
  /// Runs a direct search of fragment c anchored on graph index anchor; whether it stopped at an occurrence.
  bool Search(const TCompiled& c, int anchor, SearchMode mode);
  bool Extend(const TCompiled& c, size_t step, SearchMode mode);
  bool Found(const TCompiled& c, SearchMode mode);
  bool FreeMainBond(const TCompiled& c) const;
  /// Asks the finder (reference mode and fragments in several pieces); whether it accepted an occurrence.
  bool AskFinder(const Ptr<ISubGraph>& structure, int fragment, int position);
  void UseTarget(const Ptr<ISubGraph>& structure);
  void Prepare(const ISubGraph& structure);
  void PrepareMolecule(const TMolecule& molecule);
  void PrepareStructure(const ISubGraph& structure);
  void CountNeighbours();
  void RemoveOldValues(const ISubGraph& structure) const;
  void Assign(IParameters& target, const TGraphData& record) const;
  void OnMatch(const Ptr<ISubGraph>& match, bool& cont, bool& accept);
  /// Marks bond e, between graph atoms a and b, as having its values.
  void MarkDone(int e, int a, int b);

  std::shared_ptr<const TFragmentIndex> index_;
  const TClassificationFile& file_;
  const std::vector<TCompiled>& compiled_;
  TGraphFinder finder_;
  bool reference_ = false;

  // State of one classification, reused from molecule to molecule; atoms and bonds by their graph index.
  std::vector<TAtomFacts> atoms_;
  std::vector<int> order_;           ///< graph indices of the structure's atoms in its own order
  std::vector<const IAtom*> atomAtom_;
  std::vector<IEdge*> bondEdge_;
  std::vector<int> bondKind_;        ///< bonds outside the structure read as single
  std::vector<TLink> links_;
  std::vector<char> bondDone_;
  std::vector<int> openBonds_;       ///< by atom: its bonds in the structure that have no values yet
  std::vector<int> symbolCount_;     ///< atoms of the structure by symbol id
  std::vector<signed char> feasible_; ///< by fragment: 1 yes, 0 no, -1 not yet worked out
  std::vector<int> map_;             ///< direct search: fragment atom -> graph index
  std::vector<char> used_;           ///< direct search: graph index taken
  int bondsLeft_ = 0;
  int current_ = -1;
  bool targetSet_ = false;
  bool stores_ = false;
};

} // namespace corvatin

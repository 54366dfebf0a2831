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
// its first atom does not accept the atom, or when the molecule lacks the elements it names.
#include "classify/fragments.h"
#include "graph/finder.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvatin {

class IAtom;
class TMolecule;

class TFragmentMatcher {
public:
  /// Compiles the fragments of file, which must stay alive and unchanged while the matcher is used.
  explicit TFragmentMatcher(const TClassificationFile& file);
  /// A matcher of the same file that shares compiled's compiled fragments, read only, with a state of its own: the
  /// workers of a run classify side by side without compiling the file again.
  TFragmentMatcher(const TClassificationFile& file, const TFragmentMatcher& compiled);
  TFragmentMatcher(const TFragmentMatcher&) = delete;
  TFragmentMatcher& operator=(const TFragmentMatcher&) = delete;

  /// Removes the file's old values from structure and assigns the new ones.
  void Classify(const Ptr<ISubGraph>& structure);

  /// Reference mode: every fragment is tried on every atom through the substructure finder, without the direct
  /// search and the skips (slow; for checking that they change no assignment).
  void SetReferenceMode(bool flag) { reference_ = flag; }

private:
  struct TPatternAtom {
    bool any = false;         ///< "*", or a user symbol with a "*" alternative
    std::vector<int> symbols; ///< symbol ids it accepts, sorted
    std::vector<char> accepts; ///< by symbol id: whether it accepts the symbol
    int charge = 0;           ///< 0: any charge
    int hybridisation = 0;    ///< 0: any hybridisation
    int degree = 0;           ///< within the fragment
  };
  struct TPatternBond {
    int type = 0;
    bool anyMultiple = false; ///< written "~"
  };
  /// One step of the quick search: a fragment atom placed next to an earlier one.
  struct TStep {
    int atom;
    int parent;      ///< earlier fragment atom it is bonded to
    int parentBond;  ///< the fragment bond joining them
    int firstClosure; ///< its bonds to other earlier atoms: closures_[firstClosure, firstClosure + closureCount)
    int closureCount;
  };
  struct TCompiled {
    std::vector<TPatternAtom> atoms;
    std::vector<TPatternBond> bonds;
    int mainBond = 0;
    std::vector<std::pair<int, int>> required; ///< (symbol id, atoms of that element the fragment needs)
    std::vector<TStep> steps;                  ///< the first atom's component: breadth first, end atoms last
    std::vector<std::pair<int, int>> firstNeighbours; ///< (symbol id, count) the first atom's neighbours need
    std::vector<std::pair<int, int>> closures; ///< (earlier fragment atom, fragment bond)
    int mainEnd1 = -1;                         ///< the main bond's atoms when both are in the first component
    int mainEnd2 = -1;
    size_t mainStep = 0;                       ///< the step that places the later of the two
    bool connected = false;                    ///< every atom is in the first atom's component
  };
  struct TLink {
    int node;
    int edge;
  };
  /// A fragment in a candidate list with what its first atom asks beyond the element the list is for.
  struct TCandidate {
    int fragment;
    int degree;
    int charge;        ///< 0: any
    int hybridisation; ///< 0: any
  };

  /// What compiling a file gives; written by Compile only, then read by every matcher sharing it.
  struct TCompiledSet {
    std::unordered_map<std::string, int> symbolIds;
    std::vector<TCompiled> compiled;
    std::vector<std::vector<int>> candidates;
    std::vector<int> anyCandidates;
    std::vector<std::vector<TCandidate>> candidateTests;
    std::vector<TCandidate> anyCandidateTests;
  };
  TFragmentMatcher(const TClassificationFile& file, std::shared_ptr<TCompiledSet> shared);

  int SymbolId(const std::string& symbol);
  void Compile();
  void CompileSteps(const IMolecule& fragment, TCompiled& c) const;
  bool AtomTest(const TPatternAtom& a, int target) const;
  /// The charge and hybridisation tests of AtomTest, for an atom whose element the pattern atom accepts.
  bool ChargeAndHybridisationTest(int charge, int hybridisation, size_t target) const;
  /// Whether the atom at graph index target has the neighbours of given elements fragment atom 0 needs.
  bool NeighboursSuffice(const TCompiled& c, int target) const;
  static bool BondTest(const TPatternBond& b, int targetType);
  int EdgeBetween(int a, int b) const;
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
  void RemoveOldValues(const ISubGraph& structure) const;
  void Assign(IParameters& target, const TGraphData& record) const;
  void OnMatch(const Ptr<ISubGraph>& match, bool& cont, bool& accept);

  const TClassificationFile& file_;
  std::shared_ptr<TCompiledSet> set_; ///< this matcher's own, or shared with the one it was made from
  std::unordered_map<std::string, int>& symbolIds_ = set_->symbolIds;
  std::vector<TCompiled>& compiled_ = set_->compiled;
  std::vector<std::vector<int>>& candidates_ = set_->candidates; ///< by symbol id: fragments whose first atom
                                                                 ///< accepts it, in order
  std::vector<int>& anyCandidates_ = set_->anyCandidates;        ///< fragments whose first atom accepts every symbol
  std::vector<std::vector<TCandidate>>& candidateTests_ = set_->candidateTests; ///< candidates_ with their first
                                                                                ///< atoms' tests
  std::vector<TCandidate>& anyCandidateTests_ = set_->anyCandidateTests;        ///< anyCandidates_ likewise
  TGraphFinder finder_;
  bool reference_ = false;

  // State of one classification; atoms and bonds by their graph index.
  std::vector<int> atomSymbol_;
  std::vector<int> atomCharge_;
  mutable std::vector<int> atomHybridisation_; ///< -1 until asked for
  std::vector<const IVertex*> atomVertex_;
  std::vector<const IAtom*> atomAtom_;
  std::vector<IEdge*> bondEdge_;
  std::vector<int> firstLink_; ///< links of atom g within the structure: links_[firstLink_[g], firstLink_[g + 1])
  std::vector<TLink> links_;
  std::vector<int> bondType_;
  std::vector<char> bondDone_;
  std::vector<char> feasible_;
  std::vector<int> map_;       ///< quick search: fragment atom -> graph index
  std::vector<char> used_;     ///< quick search: graph index taken
  int bondsLeft_ = 0;
  int current_ = -1;
  bool targetSet_ = false;
  bool stores_ = false;
};

} // namespace corvatin

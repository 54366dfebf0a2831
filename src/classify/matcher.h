#pragma once
// Matching a molecule's atoms (or bonds) against the fragments of a loaded classification file. Every atom tries
// the fragments in their sorted order with the substructure finder anchored on it; the first fragment found
// gives an atom its values, while in a bond file every match of every fragment is visited and a bond keeps the
// values of the first match that reaches it.
//
// Pre-filters skip only searches that cannot report anything, so they never change an assignment: a fragment is
// tried on an atom only when its first atom accepts that atom (the finder's own first test), and only when the
// molecule holds enough atoms of each element the fragment names.

#include "classify/fragments.h"
#include "graph/finder.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace corvatin {

class TFragmentMatcher {
public:
  /// Compiles the fragments of file, which must stay alive and unchanged while the matcher is used.
  explicit TFragmentMatcher(const TClassificationFile& file);
  TFragmentMatcher(const TFragmentMatcher&) = delete;
  TFragmentMatcher& operator=(const TFragmentMatcher&) = delete;

  /// Removes the file's old values from structure and assigns the new ones.
  void Classify(const Ptr<ISubGraph>& structure);

private:
  struct TPatternAtom {
    bool any = false;         ///< "*", or a user symbol with a "*" alternative
    std::vector<int> symbols; ///< symbol ids it accepts, sorted
    int charge = 0;           ///< 0: any charge
    int hybridisation = 0;    ///< 0: any hybridisation
    int degree = 0;           ///< within the fragment
  };
  struct TPatternBond {
    int type = 0;
    bool anyMultiple = false; ///< written "~"
  };
  struct TCompiled {
    std::vector<TPatternAtom> atoms;
    std::vector<TPatternBond> bonds;
    int mainBond = 0;
    std::vector<std::pair<int, int>> required; ///< (symbol id, atoms of that element the fragment needs)
  };

  int SymbolId(const std::string& symbol);
  void Compile();
  bool AtomTest(const TPatternAtom& a, int target) const;
  static bool BondTest(const TPatternBond& b, int targetType);
  void Prepare(const ISubGraph& structure);
  void RemoveOldValues(const ISubGraph& structure) const;
  void Assign(IParameters& target, const TGraphData& record) const;
  void OnMatch(const Ptr<ISubGraph>& match, bool& cont, bool& accept);

  const TClassificationFile& file_;
  std::unordered_map<std::string, int> symbolIds_;
  std::vector<TCompiled> compiled_;
  std::vector<std::vector<int>> candidates_; ///< by symbol id: fragments whose first atom accepts it, in order
  std::vector<int> anyCandidates_;           ///< fragments whose first atom accepts every symbol
  TGraphFinder finder_;

  // State of one classification, by graph index of atoms and bonds.
  std::vector<int> atomSymbol_;
  std::vector<int> atomCharge_;
  std::vector<int> atomHybridisation_;
  std::vector<int> bondType_;
  std::vector<char> bondDone_;
  std::vector<char> feasible_;
  int bondsLeft_ = 0;
  int current_ = -1;
};

} // namespace corvatin

#pragma once
// The topological indexes block: Wiener, Zagreb M1 and M2, Harary and Balaban J, the connectivity indexes chi,
// chi-v and epsilon of paths, clusters, path-clusters and chains of orders 1 to 6, the kappa shape indexes with
// and without alpha and the flexibility index, all of the hydrogen-suppressed graph, stored on the molecule for
// the vector output.

#include "blocks/block.h"
#include "classify/classification.h"

#include <cstdint>
#include <string>

namespace corvatin {

inline constexpr const char* kResultWiener = "Wiener index";
inline constexpr const char* kResultZagrebM1 = "Zagreb M1 index";
inline constexpr const char* kResultZagrebM2 = "Zagreb M2 index";
inline constexpr const char* kResultHarary = "Harary number";
inline constexpr const char* kResultBalaban = "Balaban index";

/// "Topological indexes": no parameters, one port.
class TTopologicalIndexes : public TBlock, public virtual IClassification {
public:
  TTopologicalIndexes();

  std::string GetName() const override { return "Topological indexes"; }
  /// Computes the indexes of the published structure (nothing when none is published).
  void Execute(bool& more) override;

  /// Computes the indexes of structure (a molecule or a part of one) and stores them on it. A structure without
  /// bonds between non-hydrogen atoms gets W = M1 = M2 = H = J = 0 and no connectivity, kappa or flexibility
  /// values (earlier ones are removed). EChemError when the structure cannot carry parameters or is too big; the
  /// eleven results are then removed, so no stale value is left for the output.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  /// 11 for the molecule level, 0 for the other kinds.
  int GetValueCount(int kind) const override;
  /// The molecule-level names: "Randic branching index", "Valence connectivity index", "Epsilon index",
  /// "kappa index", "kappa(alpha) index", "Flexibility index", "Wiener index", "Zagreb M1 index",
  /// "Zagreb M2 index", "Harary number", "Balaban index". std::out_of_range outside the list.
  std::string GetValueName(int kind, int index) const override;

  /// The most connected bond sets the connectivity census visits before giving up with EChemError
  /// (kMaxConnectedBondSets unless changed).
  void SetSubgraphLimit(std::int64_t limit) { subgraphLimit_ = limit; }
  std::int64_t GetSubgraphLimit() const { return subgraphLimit_; }

private:
  std::int64_t subgraphLimit_;
};

} // namespace corvatin

#pragma once
// The topographic indexes block: connectivity-type indexes of the hydrogen-suppressed graph whose atom and bond
// weights come from a semi-empirical calculation (bond orders and electron densities read from MOPAC output)
// instead of graph degrees, for paths, clusters, path-clusters and chains of orders 1 to 6.

#include "blocks/block.h"
#include "classify/classification.h"

#include <cstdint>
#include <string>

namespace corvatin {

inline constexpr const char* kResultOmega = "Omega index";
inline constexpr const char* kResultOmegaQ = "Omega(q) index";
inline constexpr const char* kResultOmegaQCorrected = "Omega(q) corrected index";
inline constexpr const char* kResultEpsilonRo = "Epsilon(Ro) index";

/// Temporary marks of the calculation; none is left on the molecule afterwards.
inline constexpr const char* kParamBondOrdersValue = "paramBondOrdersValue";
inline constexpr const char* kParamOmegaQValue = "paramOmegaQValue";
/// On atoms the corrected delta-q, on bonds the sum of the adjacent bond orders.
inline constexpr const char* kParamOmegaCQValue = "paramOmegaCQValue";

/// Logged (as errors) when an index lacks its inputs; each decides only its own index.
inline constexpr const char* kMsgOmegaMissing = "Bond orders missing for omega index calculation";
inline constexpr const char* kMsgOmegaQMissing = "Electron densities missing for omega(q) index calculation";
inline constexpr const char* kMsgOmegaQCorrectedMissing =
    "Electron densities missing for omega c(q) index calculation";
inline constexpr const char* kMsgEpsilonRoMissing = "Bond orders missing for epsilon(p) index calculation";

/// "Topographic indexes": no parameters, one port.
class TTopographicIndexes : public TBlock, public virtual IClassification {
public:
  TTopographicIndexes();

  std::string GetName() const override { return "Topographic indexes"; }
  /// Computes the indexes of the published structure (nothing when none is published).
  void Execute(bool& more) override;

  /// Computes the indexes of structure and stores on it, as 6 x 4 matrices, those whose inputs are complete:
  /// "Omega index" (atom weight: sum of its "Bond order"s), "Omega(q) index" and "Omega(q) corrected index" (atom
  /// weights from "Electron density"), "Epsilon(Ro) index" (bond weight: sum of the adjacent bonds' orders). An
  /// index lacking inputs is logged with its error message and not stored; earlier values of the four are always
  /// removed first. EChemError when the structure cannot carry parameters or is too big.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  /// 4 for the molecule level, 0 for the other kinds.
  int GetValueCount(int kind) const override;
  /// "Omega index", "Omega(q) index", "Omega(q) corrected index", "Epsilon(Ro) index"; std::out_of_range outside.
  std::string GetValueName(int kind, int index) const override;

  /// The most connected bond sets the census visits before giving up with EChemError.
  void SetSubgraphLimit(std::int64_t limit) { subgraphLimit_ = limit; }
  std::int64_t GetSubgraphLimit() const { return subgraphLimit_; }

private:
  std::int64_t subgraphLimit_;
};

} // namespace corvatin

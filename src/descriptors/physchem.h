#pragma once
// The physicochemical descriptors block: sums of the atom contributions that the classification blocks wrote
// (hydrophobicity, polar surface, polarizability, van der Waals radius) over the atoms of the hydrogen-suppressed
// graph, and the molecular weight over all atoms, stored on the molecule for the vector output.

#include "blocks/block.h"
#include "classify/classification.h"

#include <string>

namespace corvatin {

inline constexpr const char* kResultHydrophobicity = "Hydrophobicity";
inline constexpr const char* kResultPolarSurfaceArea = "Polar surface area";
inline constexpr const char* kResultPolarizability = "Molecular polarizability";
inline constexpr const char* kResultVanDerWaalsSum = "Van der Waals radius summatory";
inline constexpr const char* kResultMolecularWeight = "Molecular weight";

/// "Physicochemical descriptors": no parameters, one port.
class TPhysicoChemProperties : public TBlock, public virtual IClassification, public virtual IChainCheck {
public:
  TPhysicoChemProperties() : TBlock(1) {}

  std::string GetName() const override { return "Physicochemical descriptors"; }
  /// Computes the sums of the published structure (nothing when none is published).
  void Execute(bool& more) override;

  /// Stores the five sums on structure (a missing atom value counts as 0). Atoms of the hydrogen-suppressed graph
  /// feed "Hydrophobicity", "Polar surface area", "Molecular polarizability" and "Van der Waals radius
  /// summatory"; every atom feeds "Molecular weight". EChemError when the structure cannot carry parameters.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulStandard; }
  /// 5 for the molecule level, 0 for the other kinds.
  int GetValueCount(int kind) const override;
  /// "Hydrophobicity", "Polar surface area", "Molecular polarizability", "Van der Waals radius summatory",
  /// "Molecular weight"; std::out_of_range outside the list.
  std::string GetValueName(int kind, int index) const override;
  /// The four atom values summed must be written by blocks before this one.
  void CheckChain(const std::vector<Ptr<IBlock>>& before) const override;
};

} // namespace corvatin

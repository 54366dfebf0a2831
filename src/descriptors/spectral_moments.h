#pragma once
// The TOPS-MODE block: spectral moments of the weighted bond adjacency matrix, their fragment contributions, or
// their local (per-bond) contributions and a linear model drawn back on the bonds, stored on the molecule as
// matrix parameters for the vector output.

#include "blocks/block.h"
#include "classify/classification.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvatin {

/// The TOPS-MODE block. Ports: 0 the structure ("Molecule"), 1 "Fragments".
class TSpectralMoments : public TBlock, public virtual IClassification, public virtual IChainCheck {
public:
  /// weights: bond weight names (each also a switch of the block); labels: short labels parallel to weights (may be
  /// shorter, entries may be empty); contributions selects fragment contributions, local the bond contributions.
  TSpectralMoments(std::vector<std::string> weights, std::vector<std::string> labels, bool contributions, bool local);

  /// "TOPS-MODE Contributions", "TOPS-MODE Local Contributions" or "TOPS-MODE".
  std::string GetName() const override;
  /// Computes the mode's result for the published structure (nothing when none is published).
  void Execute(bool& more) override;

  /// Computes the mode's result for structure and adds it to structure's parameters. EFatalError when "Max Order"
  /// is outside 1..255 or, in local mode, when no weight is selected; EChemError when the structure cannot carry
  /// parameters or is too big for fragment contributions.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  /// The result names, at the molecule level only.
  int GetValueCount(int kind) const override;
  /// std::out_of_range outside the lists.
  std::string GetValueName(int kind, int index) const override;

  /// Every weight switched on must be a bond value of a block before this one.
  void CheckChain(const std::vector<Ptr<IBlock>>& before) const override;

  const std::vector<std::string>& Weights() const { return weights_; }
  const std::vector<std::string>& Labels() const { return labels_; }
  bool IsContributions() const { return contributions_; }
  bool IsLocal() const { return local_; }

private:
  std::vector<std::string> weights_;
  std::vector<std::string> labels_;
  bool contributions_;
  bool local_;
};

} // namespace corvatin

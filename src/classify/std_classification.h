#pragma once
// The standard classification (the values the molecule model keeps on every atom, bond and molecule, plus the
// atomic number) and the bond-property classification (bond values derived from atom values).

#include "blocks/block.h"
#include "classify/classification.h"

#include <string>
#include <vector>

namespace corvatin {

/// "Atoms": names the model's own values and writes "Atomic number" on every atom (update level 3).
class TStdClassification : public TBlock, public virtual IClassification {
public:
  TStdClassification() : TBlock(1) {}

  std::string GetName() const override { return "Atoms"; }
  void Execute(bool& more) override;

  /// Sets "Atomic number" on every atom from its "Symbol" parameter (0 when the symbol is not an element).
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulStandard; }
  /// Atoms: "Symbol", "Atomic number", "Hybridation", "Charge", "Atomic weight"; bonds: "Bond Type",
  /// "Distance"; molecule: "Name".
  int GetValueCount(int kind) const override;
  /// std::out_of_range outside the lists.
  std::string GetValueName(int kind, int index) const override;
};

/// "Bond": for every bond, each source atom value shared out over the heavy neighbours of the two end atoms,
/// v = v1 / d1 + v2 / d2, then "Atomic weight" likewise (update level 3).
class TBondPropClassification : public TBlock, public virtual IClassification, public virtual IChainCheck {
public:
  /// Copies, once, the atom value names of every source in order (sources that are none are skipped).
  explicit TBondPropClassification(const std::vector<Ptr<IClassification>>& sources);

  std::string GetName() const override { return "Bond"; }
  void Execute(bool& more) override;

  /// Writes every name's value on every bond; a bond with an end atom that has no heavy neighbour gets 0 for
  /// every value. The sources are not run: their values must already be on the atoms.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulStandard; }
  /// Bonds: the source names plus "Atomic weight".
  int GetValueCount(int kind) const override;
  /// Bonds: any index at or past the source names gives "Atomic weight"; std::out_of_range for a negative index
  /// or another kind.
  std::string GetValueName(int kind, int index) const override;

  const std::vector<std::string>& SourceNames() const { return names_; }

  /// EFatalError naming the first source value and its source block when no block before this one lists it.
  void CheckChain(const std::vector<Ptr<IBlock>>& before) const override;

private:
  std::vector<std::string> names_;
  std::vector<std::string> sourceBlocks_; // the name of the block each of names_ comes from
};

} // namespace corvatin

#pragma once
// Gasteiger-Marsili partial charges as a classification block: one number parameter "Gasteiger-Marsili charge"
// per atom, computed from element, hybridisation and formal charge.

#include "blocks/block.h"
#include "classify/classification.h"
#include "classify/gasteiger_core.h"

#include <string>

namespace corvatin {

/// The value the block writes on every atom.
inline constexpr const char* kGasteigerChargeName = "Gasteiger-Marsili charge";

/// The charge computation's view of a structure: each atom's type from its element and hybridisation, the
/// initial charges (+1 for a carbocation, a four-neighbour nitrogen and a positive three-neighbour nitrogen,
/// -0.5 for a negative oxygen) and the neighbours that belong to the structure. Vertices that are not atoms get
/// type 19 (no parameters).
TGasteigerInput GasteigerInputOf(const ISubGraph& structure);

/// The charges of a structure's atoms, in the structure's vertex order; sweeps receives the sweeps run.
std::vector<double> GasteigerMarsiliCharges(const ISubGraph& structure, int* sweeps = nullptr);

/// The charge block ("Gasteiger-Marsili", update level 2).
class TGasteigerChargesClassification : public TBlock, public virtual IClassification {
public:
  TGasteigerChargesClassification() : TBlock(1) {}

  std::string GetName() const override { return "Gasteiger-Marsili"; }
  /// Classifies the structure published under the block's port.
  void Execute(bool& more) override;

  /// Writes "Gasteiger-Marsili charge" on every atom; a structure without atoms is left untouched.
  void Classify(const Ptr<ISubGraph>& structure) override;
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  int GetValueCount(int kind) const override { return kind == ekAtoms ? 1 : 0; }
  /// "Gasteiger-Marsili charge" for atoms, index 0; std::out_of_range otherwise.
  std::string GetValueName(int kind, int index) const override;
};

} // namespace corvatin

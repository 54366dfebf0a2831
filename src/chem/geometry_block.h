#pragma once
// The geometry step of a procedure: a structure that arrives without coordinates for some atom gets a generated
// geometry, fitted into the view. Only for display, so the worker skips it while structures are not shown.

#include "blocks/block.h"

namespace corvatin {

/// The message logged (transient) before a geometry is generated.
inline constexpr const char* kOptimizingGeometryMessage = "Optimizing graph geometry...";

/// Gives the molecule published under its port a geometry (IMolecule::GenerateGeometry, then FitView) when some
/// atom is not positioned; a molecule whose atoms are all positioned passes untouched.
class TGeometryTransformation : public TBlock {
public:
  TGeometryTransformation() : TBlock(1) {}
  bool IsDisplayOnly() const override { return true; }
  void Execute(bool& more) override;
};

} // namespace corvatin

#pragma once
// The completion step of a procedure: aromatic rings perceived, then the explicit hydrogens made to agree with
// the normal valences.

#include "blocks/block.h"

namespace corvatin {

/// Completes the structure published under its port: PerceiveAromaticity, then CompleteHydrogens. A molecule
/// whose hydrogens were already marked complete stays so, even when perception changed its bonds. On any error
/// the deletion marks are removed and the tags claim nothing that was not done.
class TMoleculeCompletion : public TBlock {
public:
  TMoleculeCompletion() : TBlock(1) {}
  void Execute(bool& more) override;
};

} // namespace corvatin

#include "chem/completion_block.h"

#include "chem/completion.h"

namespace corvatin {

void TMoleculeCompletion::Execute(bool& /*more*/) {
  const Ptr<IMolecule> molecule = GetInputAs<IMolecule>();
  if (!molecule) return;
  const bool hydrogensDone = molecule->GetFloat(kTagHydrogens) != 0.0;
  bool perceived = false;
  try {
    PerceiveAromaticity(*molecule, false);
    perceived = true;
    // New aromatic bonds reset the tags; the hydrogens were complete before and still are.
    if (hydrogensDone) MarkHydrogensDone(*molecule);
    CompleteHydrogens(*molecule);
  } catch (...) {
    // Nothing half done may pass for done: the marks go, aromaticity counts as not perceived, and the hydrogens
    // keep the state they had when the failure came before their step.
    molecule->RemoveVertexParam(kParamToDeleteH);
    molecule->SetFloat(kTagAromaticity, 0.0);
    molecule->SetFloat(kTagHydrogens, !perceived && hydrogensDone ? 1.0 : 0.0);
    throw;
  }
}

} // namespace corvatin

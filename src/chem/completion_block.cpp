#include "chem/completion_block.h"

#include "chem/completion.h"

namespace corvatin {

void TMoleculeCompletion::Execute(bool& /*more*/) {
  const Ptr<IMolecule> molecule = GetInputAs<IMolecule>();
  if (!molecule) return;
  CompleteStructure(*molecule);
}

} // namespace corvatin

#include "chem/geometry_block.h"

#include "chem/geometry.h"

namespace corvatin {

void TGeometryTransformation::Execute(bool& /*more*/) {
  const Ptr<IMolecule> molecule = GetInputAs<IMolecule>();
  if (!molecule) return;
  bool somePositioned = false, someNot = false;
  for (int i = 0; i < molecule->VertexCount() && !(somePositioned && someNot); ++i)
    (molecule->GetVertex(i)->GetPositioned() ? somePositioned : someNot) = true;
  if (!someNot) return;
  LogTransient(kOptimizingGeometryMessage);
  molecule->GenerateGeometry();
  FitView(*molecule);
}

} // namespace corvatin

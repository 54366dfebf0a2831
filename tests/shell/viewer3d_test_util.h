#pragma once
// Molecules for the 3D viewer's tests: from SMILES with generated coordinates fitted into the view, and after a
// headless run of the local-contributions procedure's classification and descriptor blocks.

#include "chem/geometry.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/paths.h"
#include "descriptors/spectral_moments.h"
#include "procedures/catalogue.h"

#include <map>
#include <string>

namespace corvatin::test {

/// A molecule from SMILES (aromatic bonds, explicit hydrogens) with 3D coordinates fitted into the view.
inline Ptr<IMolecule> MoleculeWith3D(const std::string& smiles, const std::string& name) {
  Ptr<IMolecule> m = NewMolecule();
  ParseSMILES(smiles, *m);
  GenerateGeometry(*m);
  FitView(*m);
  m->SetName(name);
  return m;
}

/// Runs, on molecule, every classification and descriptor block of the "TOPS-MODE Local Contributions"
/// procedure of the standard catalogue, with weight selected and the model's coefficients set ("µ0", then
/// weight + "_µk" for k = 1, 2, ...); as the worker would, but without input, editor and output.
inline void RunLocalContributions(const Ptr<IMolecule>& molecule, const std::string& weight,
                                  const std::map<std::string, double>& coefficients) {
  SetDataFolder(CORVATIN_DATA_DIR);
  TCatalogue catalogue(TCatalogueSetup{NewMolecule(), {}, nullptr, [](const std::string&) {}});
  const Ptr<TPackage> package = catalogue.FindPackage("TOPS-MODE Local Contributions");
  for (int i = 0; i < package->GetBlockCount(); ++i) {
    auto block = std::dynamic_pointer_cast<IClassification>(package->GetBlock(i));
    if (!block) continue;
    if (auto descriptor = std::dynamic_pointer_cast<TSpectralMoments>(block)) {
      descriptor->SetBool(weight, true);
      for (const auto& [name, value] : coefficients)
        descriptor->SetFloat(name, value);
    }
    block->Classify(std::dynamic_pointer_cast<ISubGraph>(molecule));
  }
}

} // namespace corvatin::test

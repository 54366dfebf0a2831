// Fuzzes the MOPAC output reader: the input is an output file. A broken file must raise EInputError (leaving no
// atoms behind) and a structure the chemistry cannot handle EChemError; nothing else. After a read the position
// is at the end, coordinates are finite, every bond joins two distinct atoms, bond orders sit on bonds only, and
// eigenvector data is whole: one energy per root, every atom's coefficients over the same roots, more roots
// than filled levels. Any broken promise aborts, as do sanitizer findings and undocumented exceptions.

#include "core/errors.h"
#include "inputs/mopac_input.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace corvatin;

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

void CheckMolecule(const IMolecule& molecule) {
  for (int i = 0; i < molecule.VertexCount(); ++i) {
    const IAtom* atom = molecule.GetAtom(i);
    if (atom->Has3D() &&
        !(std::isfinite(atom->GetX3D()) && std::isfinite(atom->GetY3D()) && std::isfinite(atom->GetZ3D())))
      Broken("an atom with coordinates that are not finite");
  }
  for (int i = 0; i < molecule.EdgeCount(); ++i) {
    const IBond* bond = molecule.GetBond(i);
    if (!bond->GetAtom1() || !bond->GetAtom2() || bond->GetAtom1() == bond->GetAtom2())
      Broken("a bond without two distinct atoms");
  }
  const auto energies = molecule.GetMatrix(kParamEigenvalues);
  const bool anyVectors = molecule.AnyVertexHasParam(kParamEigenvectors);
  if (!energies) {
    if (anyVectors) Broken("eigenvectors without energies");
    return;
  }
  if (energies->GetRowCount() != 1) Broken("energies not in one row");
  const int roots = energies->GetColumnCount();
  if (roots <= molecule.GetInt(kParamFilledLevels)) Broken("no empty orbital among the roots");
  int orbitals = 0;
  for (int i = 0; i < molecule.VertexCount(); ++i) {
    const auto vectors = molecule.GetAtom(i)->GetMatrix(kParamEigenvectors);
    if (!vectors) Broken("an atom without eigenvectors");
    if (vectors->GetColumnCount() != roots) Broken("coefficients over other roots than the energies");
    orbitals += vectors->GetRowCount();
  }
  if (orbitals != roots) Broken("roots and orbitals differ in number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Ptr<TParser> tokenizer = NewTextParser(std::string(reinterpret_cast<const char*>(data), size));
  Ptr<IMolecule> molecule = NewMolecule();
  MopacReadHooks hooks;
  hooks.warning = [](const std::string& text) {
    if (text.empty()) Broken("an empty warning");
  };
  try {
    ReadMopacOutput(*tokenizer, *molecule, "fuzz.out", hooks);
    if (!tokenizer->AtEnd()) Broken("a read that did not reach the end");
    CheckMolecule(*molecule);
  } catch (const EInputError&) {
    if (molecule->VertexCount() != 0) Broken("a broken file left atoms behind");
  } catch (const EChemError&) {
    // A structure too dense for bond perception or ring perception: reported, the run goes on.
  }
  return 0;
}

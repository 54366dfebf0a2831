// Fuzzes the Tripos MOL2 reader: the input is a MOL2 file. Every molecule is read and fitted into the view as
// the reader block does; a broken file must raise EInputError (leaving no atoms behind) and nothing else. After
// every molecule the reader must have moved on, coordinates must be finite and every bond must join two atoms of
// the molecule with a known kind; any broken promise aborts, as do sanitizer findings and undocumented
// exceptions.

#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/mol2_input.h"

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
    if (!(std::isfinite(atom->GetX3D()) && std::isfinite(atom->GetY3D()) && std::isfinite(atom->GetZ3D())))
      Broken("an atom with coordinates that are not finite");
  }
  for (int i = 0; i < molecule.EdgeCount(); ++i) {
    const IBond* bond = molecule.GetBond(i);
    if (!bond->GetAtom1() || !bond->GetAtom2() || bond->GetAtom1() == bond->GetAtom2())
      Broken("a bond without two distinct atoms");
    if (bond->GetBondType() < bkSingle || bond->GetBondType() > bkAromatic) Broken("a bond kind out of range");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Ptr<TParser> tokenizer = NewTextParser(std::string(reinterpret_cast<const char*>(data), size));
  Ptr<IMolecule> molecule = NewMolecule();
  try {
    bool more = true;
    while (more) {
      const std::int64_t before = tokenizer->GetPosition();
      more = ReadMol2Molecule(*tokenizer, *molecule, "fuzz.mol2");
      if (more && tokenizer->GetPosition() <= before) Broken("a molecule that read nothing");
      CheckMolecule(*molecule);
      FitView(*molecule);
    }
  } catch (const EInputError&) {
    if (molecule->VertexCount() != 0) Broken("a broken file left atoms behind");
  }
  return 0;
}

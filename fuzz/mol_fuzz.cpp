// Fuzzes the MOL/SD reader: the input is an SD file. Every record is read and fitted into the view as the reader
// block does; a broken record must raise EInputError and nothing else. After every record the reader must have
// moved on, the atoms read must carry finite coordinates and every bond must join two atoms of the molecule; any
// broken promise aborts, as do sanitizer findings and undocumented exceptions.

#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/mol_input.h"

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
    if (atom->Has3D() && !(std::isfinite(atom->GetX3D()) && std::isfinite(atom->GetY3D()) &&
                           std::isfinite(atom->GetZ3D())))
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
      more = ReadMolRecord(*tokenizer, *molecule, "fuzz.sdf");
      if (more && tokenizer->GetPosition() <= before) Broken("a record that read nothing");
      CheckMolecule(*molecule);
      FitView(*molecule);
    }
  } catch (const EInputError& e) {
    if (molecule->VertexCount() != 0) Broken("a broken record left atoms behind");
  }
  return 0;
}

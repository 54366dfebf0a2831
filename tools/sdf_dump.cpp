// Prints, for every record of the MOL/SD file named on the command line, one tab-separated line about the
// molecule the reader makes:
//   ok <name> <atoms> <bonds> <symbols> <charges> <coordinates> <bonds>
// symbols blank-separated; charges as "atom:charge" items for the non-zero ones joined with ";" ("-" when none);
// coordinates "x y z" per atom (6 decimals) joined with ";"; bonds "atom-atom-kind" (1-based atoms, the lower
// first; kinds 0 single, 1 double, 2 triple, 3 aromatic) sorted and joined with ";". A record that fails prints
//   error <message>
// and ends the file. Used by scripts/validate_sdf.py to compare the reader with an independent toolkit.
#include "core/numtext.h"
#include "inputs/mol_input.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

using namespace corvatin;

namespace {

std::string Describe(const IMolecule& m) {
  std::string symbols, charges, coords, bonds;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    symbols += (i ? " " : "") + a->GetSymbol();
    if (a->GetCharge() != 0)
      charges += (charges.empty() ? "" : ";") + std::to_string(i + 1) + ":" + std::to_string(a->GetCharge());
    coords += (i ? ";" : "") + FormatFixed(a->GetX3D(), 6) + " " + FormatFixed(a->GetY3D(), 6) + " " +
              FormatFixed(a->GetZ3D(), 6);
  }
  std::vector<std::tuple<int, int, int>> list;
  for (int i = 0; i < m.EdgeCount(); ++i) {
    const IBond* b = m.GetBond(i);
    const int i1 = b->GetAtom1()->GetIndex() + 1, i2 = b->GetAtom2()->GetIndex() + 1;
    list.emplace_back(std::min(i1, i2), std::max(i1, i2), b->GetBondType());
  }
  std::sort(list.begin(), list.end());
  for (const auto& [a1, a2, kind] : list)
    bonds += (bonds.empty() ? "" : ";") + std::to_string(a1) + "-" + std::to_string(a2) + "-" + std::to_string(kind);
  return m.GetName() + "\t" + std::to_string(m.VertexCount()) + "\t" + std::to_string(m.EdgeCount()) + "\t" +
         symbols + "\t" + (charges.empty() ? "-" : charges) + "\t" + coords + "\t" + bonds;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: sdf_dump FILE\n";
    return 2;
  }
  const std::string path = argv[1];
  auto input = std::make_shared<TMOLInput>();
  const auto molecule = NewMolecule();
  SharedDataSpace()->AddParam("Molecule", MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
  input->SetPortName(0, "Molecule");
  input->SetFileName(path);
  input->Start(nullptr);
  int status = 0;
  try {
    bool more = true;
    while (more) {
      input->Execute(more);
      std::cout << "ok\t" << Describe(*molecule) << '\n';
    }
  } catch (const std::exception& e) {
    std::cout << "error\t" << e.what() << '\n';
    status = 1;
  }
  input->Stop();
  return status;
}

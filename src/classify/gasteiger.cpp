#include "classify/gasteiger.h"

#include "chem/elements.h"
#include "chem/molecule.h"
#include "chem/molecule_impl.h"
#include "classify/gasteiger_params.h"

#include <algorithm>
#include <stdexcept>

namespace corvatin {

namespace {

/// Starting charges for the ions the 1980 scheme treats specially; everything else starts neutral.
double InitialCharge(int atomicNumber, int formalCharge, int neighbours) {
  switch (atomicNumber) {
  case 6:
    return formalCharge == 1 ? 1.0 : 0.0;
  case 7:
    // A four-neighbour nitrogen is an ammonium centre whatever charge was written on it.
    if (neighbours == 4) return 1.0;
    return neighbours == 3 && formalCharge == 1 ? 1.0 : 0.0;
  case 8:
    return formalCharge == -1 ? -0.5 : 0.0;
  default:
    return 0.0;
  }
}

} // namespace

TGasteigerInput GasteigerInputOf(const ISubGraph& structure) {
  const int n = structure.VertexCount();
  TGasteigerInput input;
  input.types.resize(static_cast<size_t>(n));
  input.initialCharges.resize(static_cast<size_t>(n));
  input.firstNeighbour.assign(static_cast<size_t>(n) + 1, 0);

  if (const auto* molecule = dynamic_cast<const TMolecule*>(&structure)) {
    // A whole molecule: its atoms in index order, every neighbour inside, no interface cast per atom.
    for (int i = 0; i < n; ++i) {
      const TAtom* atom = molecule->AtomAt(i);
      const int z = atom->GetAtomicNumber();
      input.firstNeighbour[static_cast<size_t>(i)] = static_cast<int>(input.neighbours.size());
      input.types[static_cast<size_t>(i)] = GasteigerAtomType(z, atom->GetHybridisation());
      input.initialCharges[static_cast<size_t>(i)] = InitialCharge(z, atom->GetCharge(), atom->NeighbourCount());
      for (const IVertex* neighbour : atom->Neighbours()) input.neighbours.push_back(neighbour->GetIndex());
    }
    input.firstNeighbour[static_cast<size_t>(n)] = static_cast<int>(input.neighbours.size());
    return input;
  }

  // Position of each graph vertex in the structure (-1 outside), so that only neighbours inside it take part.
  int maxIndex = -1;
  for (int i = 0; i < n; ++i) maxIndex = std::max(maxIndex, structure.GetVertex(i)->GetIndex());
  std::vector<int> position(static_cast<size_t>(maxIndex + 1), -1);
  for (int i = 0; i < n; ++i) {
    const int g = structure.GetVertex(i)->GetIndex();
    if (g >= 0) position[static_cast<size_t>(g)] = i;
  }

  for (int i = 0; i < n; ++i) {
    const IVertex* v = structure.GetVertex(i);
    input.firstNeighbour[static_cast<size_t>(i)] = static_cast<int>(input.neighbours.size());
    if (const IAtom* atom = AsAtom(v)) {
      const int z = atom->GetAtomicNumber();
      input.types[static_cast<size_t>(i)] = GasteigerAtomType(z, atom->GetHybridisation());
      input.initialCharges[static_cast<size_t>(i)] = InitialCharge(z, atom->GetCharge(), atom->NeighbourCount());
    } else {
      input.types[static_cast<size_t>(i)] = kGasteigerUntyped;
    }
    for (int k = 0; k < v->NeighbourCount(); ++k) {
      const int g = v->GetNeighbour(k)->GetIndex();
      if (g >= 0 && g < static_cast<int>(position.size()) && position[static_cast<size_t>(g)] >= 0)
        input.neighbours.push_back(position[static_cast<size_t>(g)]);
    }
  }
  input.firstNeighbour[static_cast<size_t>(n)] = static_cast<int>(input.neighbours.size());
  return input;
}

std::vector<double> GasteigerMarsiliCharges(const ISubGraph& structure, int* sweeps) {
  TGasteigerResult result = EqualiseGasteigerCharges(GasteigerInputOf(structure));
  if (sweeps) *sweeps = result.sweeps;
  return std::move(result.charges);
}

void TGasteigerChargesClassification::Execute(bool& /*more*/) {
  if (Ptr<ISubGraph> structure = GetInputAs<ISubGraph>()) Classify(structure);
}

void TGasteigerChargesClassification::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure || structure->VertexCount() == 0) return;
  const std::vector<double> charges = GasteigerMarsiliCharges(*structure);
  for (int i = 0; i < structure->VertexCount(); ++i)
    structure->GetVertex(i)->SetFloat(kGasteigerChargeName, charges[static_cast<size_t>(i)]);
}

std::string TGasteigerChargesClassification::GetValueName(int kind, int index) const {
  if (kind != ekAtoms || index != 0)
    throw std::out_of_range("Gasteiger-Marsili value name " + std::to_string(kind) + "/" + std::to_string(index));
  return kGasteigerChargeName;
}

} // namespace corvatin

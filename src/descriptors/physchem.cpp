#include "descriptors/physchem.h"

#include "chem/molecule.h"
#include "descriptors/topsmode.h"

#include <array>
#include <stdexcept>

namespace corvatin {

namespace {

constexpr std::array<const char*, 5> kValueNames{kResultHydrophobicity, kResultPolarSurfaceArea,
                                                 kResultPolarizability, kResultVanDerWaalsSum,
                                                 kResultMolecularWeight};

// The atom values summed over the hydrogen-suppressed graph, parallel to the first four results. The molecule's
// "Hydrophobicity" shares its name with the atom value it sums; they live on different objects.
constexpr std::array<const char*, 4> kAtomValues{"Hydrophobicity", "Polar surface", "Polarizability",
                                                 "Van der Waals radius"};

} // namespace

void TPhysicoChemProperties::Execute(bool&) {
  LogTransient("Calculating physicochemical descriptors...");
  if (Ptr<ISubGraph> structure = GetInputStructure()) Classify(RequireAtoms(structure));
}

void TPhysicoChemProperties::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  auto target = std::dynamic_pointer_cast<IParameters>(structure);
  if (!target) throw EChemError("The structure cannot carry the physicochemical descriptors.");
  std::array<long double, 5> sums{};
  const Ptr<ISubGraph> graph = WorkingGraph(structure, false);
  for (int i = 0; i < graph->VertexCount(); ++i) {
    const IVertex* atom = graph->GetVertex(i);
    for (size_t k = 0; k < kAtomValues.size(); ++k) sums[k] += atom->GetFloat(kAtomValues[k]);
  }
  for (int i = 0; i < structure->VertexCount(); ++i) sums[4] += structure->GetVertex(i)->GetFloat(kParamAtomicWeight);
  for (size_t k = 0; k < kValueNames.size(); ++k) target->SetFloat(kValueNames[k], static_cast<double>(sums[k]));
  target->SetShortCaptionOf(kResultHydrophobicity, "logP");
}

int TPhysicoChemProperties::GetValueCount(int kind) const {
  return kind == ekMolecule ? static_cast<int>(kValueNames.size()) : 0;
}

std::string TPhysicoChemProperties::GetValueName(int kind, int index) const {
  if (kind != ekMolecule || index < 0 || index >= static_cast<int>(kValueNames.size()))
    throw std::out_of_range("Physicochemical value " + std::to_string(index));
  return kValueNames[static_cast<size_t>(index)];
}

void TPhysicoChemProperties::CheckChain(const std::vector<Ptr<IBlock>>& before) const {
  RequireValueNames(GetName(), ekAtoms, std::vector<std::string>(kAtomValues.begin(), kAtomValues.end()), before);
}

} // namespace corvatin

#include "descriptors/molecular_descriptors.h"
#include "descriptors/topsmode.h"

#include "descriptors/quantum_names.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

namespace corvatin {

namespace {

const std::array<std::vector<const char*>, 3> kValueNames{
    std::vector<const char*>{kResultDelocalizability, kResultSuperdelocalizability},
    std::vector<const char*>{kResultLocalDipoleCharacter},
    std::vector<const char*>{kResultHomoEnergy, kResultLumoEnergy, kResultLocalDipoleIndex, kResultPolarization}};

// Reference energies (eV) of the delocalizability: the superdelocalizability (Bull.
// Chem. Soc. Jpn. 27 (1954) 423) measured from a reference level instead of from zero, the occupied orbitals below
// it and the empty ones above it. Kept in single precision, as the values the descriptor was defined with.
constexpr std::array<float, 3> kReferenceEnergies{-10.0F, -5.0F, 0.0F};

// Rows of the per-atom coefficient matrix in MOPAC's print order: s, px and py count as sigma, pz as pi.
constexpr int kOrbitalRows = 4;

/// Removes the results of an earlier run, so that a value the inputs no longer give is not left for the output.
void RemoveEarlierResults(ISubGraph& structure, IParameters& target) {
  for (const char* name : kValueNames[ekMolecule]) target.DeleteParam(name);
  for (int i = 0; i < structure.VertexCount(); ++i)
    for (const char* name : kValueNames[ekAtoms]) structure.GetVertex(i)->DeleteParam(name);
  for (int i = 0; i < structure.EdgeCount(); ++i) structure.GetEdge(i)->DeleteParam(kResultLocalDipoleCharacter);
}

void AddRowMatrix(IParameters& atom, const char* name, const std::string& caption,
                  std::vector<std::string> columns, const std::vector<long double>& values) {
  Ptr<IDoubleMatrix> matrix = NewMatrix(static_cast<int>(values.size()), 1);
  for (size_t k = 0; k < values.size(); ++k) matrix->Set(0, static_cast<int>(k), static_cast<double>(values[k]));
  atom.AddParam(name, std::make_shared<TMatrixParameter>(matrix, caption, "", std::move(columns),
                                                         std::vector<std::string>{}),
                nullptr, true);
}

/// The sums of one atom over the occupied orbitals 1..F and the empty orbitals F+1..orbitals.
void AtomDelocalizabilities(IVertex& atom, IDoubleMatrix& c, const IDoubleMatrix& energies, int filled) {
  // An atom with only an s orbital has one row: its p rows are zero. Rows beyond the four (d orbitals) are not
  // part of these sums. The stored matrix itself is resized.
  c.SetRowCount(kOrbitalRows);
  // Both matrices come from the same listing; should they disagree, only orbitals known to both are summed.
  const int orbitals = std::min(c.GetColumnCount(), energies.GetColumnCount());
  long double esSigma = 0, esPi = 0, nsSigma = 0, nsPi = 0;
  std::array<long double, 3> d{};
  for (int j = 0; j < orbitals; ++j) {
    const long double e = energies.Get(0, j);
    long double sigma = 0;
    for (int r = 0; r < 3; ++r) sigma += static_cast<long double>(c.Get(r, j)) * c.Get(r, j);
    const long double pi = static_cast<long double>(c.Get(3, j)) * c.Get(3, j);
    const long double t = sigma + pi;
    // No factor 2 for the doubly occupied orbitals, and division by e itself: occupied orbitals of negative energy
    // give negative superdelocalizabilities.
    if (j < filled) {
      esSigma += sigma / e;
      esPi += pi / e;
      for (size_t k = 0; k < d.size(); ++k) d[k] += t / (kReferenceEnergies[k] - e);
    } else {
      nsSigma += sigma / e;
      nsPi += pi / e;
      for (size_t k = 0; k < d.size(); ++k) d[k] += t / (e - kReferenceEnergies[k]);
    }
  }
  AddRowMatrix(atom, kResultSuperdelocalizability, "",
               {"ES(Sigma)", "ES(Pi)", "ES(Total)", "NS(Sigma)", "NS(Pi)", "NS(Total)"},
               {esSigma, esPi, esSigma + esPi, nsSigma, nsPi, nsSigma + nsPi});
  AddRowMatrix(atom, kResultDelocalizability, "D", {"1", "2", "3"}, {d[0], d[1], d[2]});
}

/// HOMO and LUMO energies and the atoms' sums; false when the orbital data are missing or inconsistent.
bool OrbitalPart(ISubGraph& structure, IParameters& target) {
  const std::int64_t filledLevels = target.GetInt(quantum::kFilledLevels);
  const Ptr<IDoubleMatrix> energies = target.GetMatrix(quantum::kOrbitalEnergies);
  if (filledLevels <= 0 || !energies || energies->GetRowCount() < 1 || energies->GetColumnCount() <= filledLevels)
    return false;
  const int filled = static_cast<int>(filledLevels);
  target.SetFloat(kResultHomoEnergy, energies->Get(0, filled - 1));
  target.SetFloat(kResultLumoEnergy, energies->Get(0, filled));
  for (int i = 0; i < structure.VertexCount(); ++i) {
    IVertex& atom = *structure.GetVertex(i);
    if (const Ptr<IDoubleMatrix> c = atom.GetMatrix(quantum::kEigenvectors))
      AtomDelocalizabilities(atom, *c, *energies, filled);
  }
  return true;
}

void DipolePart(ISubGraph& structure, IParameters& target, const std::function<void(const char*)>& logWarning) {
  if (structure.EdgeCount() > 0) {
    long double sum = 0;
    bool missing = false;
    for (int i = 0; i < structure.EdgeCount(); ++i) {
      IEdge& bond = *structure.GetEdge(i);
      const IVertex* a = bond.GetVertex1();
      const IVertex* b = bond.GetVertex2();
      if (!a || !b || !a->HasParam(quantum::kNetAtomicCharge) || !b->HasParam(quantum::kNetAtomicCharge)) {
        missing = true;
        continue;
      }
      const long double character = std::fabs(static_cast<long double>(a->GetFloat(quantum::kNetAtomicCharge)) -
                                               b->GetFloat(quantum::kNetAtomicCharge));
      bond.SetFloat(kResultLocalDipoleCharacter, static_cast<double>(character));
      sum += character;
    }
    if (missing)
      logWarning(kMsgBondChargesMissing);
    else
      target.SetFloat(kResultLocalDipoleIndex, static_cast<double>(sum / structure.EdgeCount()));
  }
  if (structure.VertexCount() > 0) {
    long double sum = 0;
    bool missing = false;
    for (int i = 0; i < structure.VertexCount(); ++i) {
      const IVertex& atom = *structure.GetVertex(i);
      if (atom.HasParam(quantum::kNetAtomicCharge))
        sum += std::fabs(static_cast<long double>(atom.GetFloat(quantum::kNetAtomicCharge)));
      else
        missing = true;
    }
    if (missing)
      logWarning(kMsgAtomChargesMissing);
    else
      target.SetFloat(kResultPolarization, static_cast<double>(sum / structure.VertexCount()));
  }
}

} // namespace

void TMolecularDescriptors::Execute(bool&) {
  LogTransient("Calculating quantum-chemical descriptors...");
  if (Ptr<ISubGraph> structure = GetInputStructure()) Classify(RequireAtoms(structure));
}

void TMolecularDescriptors::Classify(const Ptr<ISubGraph>& structure) {
  if (!structure) return;
  auto target = std::dynamic_pointer_cast<IParameters>(structure);
  if (!target) throw EChemError("The structure cannot carry the quantum-chemical descriptors.");
  RemoveEarlierResults(*structure, *target);
  const auto warn = [this](const char* message) { LogWarning(message); };
  if (!OrbitalPart(*structure, *target)) warn(kMsgOrbitalsMissing);
  DipolePart(*structure, *target, warn);
}

int TMolecularDescriptors::GetValueCount(int kind) const {
  return kind >= ekAtoms && kind <= ekMolecule ? static_cast<int>(kValueNames[static_cast<size_t>(kind)].size()) : 0;
}

std::string TMolecularDescriptors::GetValueName(int kind, int index) const {
  if (index < 0 || index >= GetValueCount(kind))
    throw std::out_of_range("Quantum-chemical value " + std::to_string(index));
  return kValueNames[static_cast<size_t>(kind)][static_cast<size_t>(index)];
}

} // namespace corvatin

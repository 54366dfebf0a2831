// The topographic and quantum-chemical blocks on the numbers MOPAC 22 prints for chloromethane (PM7 ALLVEC BONDS,
// tests/data/quantum/chloromethane.out): the molecule is built by hand with the printed charges, electron counts,
// bond orders and orbital energies, and the results are checked against MOPAC's own "HOMO LUMO ENERGIES (EV)"
// line and against sums worked out from the printed columns.

#include "descriptors/molecular_descriptors.h"
#include "descriptors/quantum_names.h"
#include "descriptors/topographic_indexes.h"
#include "quantum_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvatin {
namespace {

// "NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS": atom, CHARGE, No. of ELECS.
struct PrintedAtom {
  const char* symbol;
  double charge, electrons;
};
constexpr PrintedAtom kAtoms[] = {{"C", -0.340040, 4.3400},
                                  {"Cl", -0.137296, 7.1373},
                                  {"H", 0.159131, 0.8409},
                                  {"H", 0.159103, 0.8409},
                                  {"H", 0.159102, 0.8409}};
// "(VALENCIES)   BOND ORDERS": C-Cl 0.990, C-H 0.970 each.
constexpr double kOrderCCl = 0.990, kOrderCH = 0.970;
// The 16 eigenvalues of the "EIGENVECTORS" listing; "NO. OF FILLED LEVELS = 7".
const std::vector<double> kEigenvalues{-27.245, -23.128, -15.215, -15.214, -13.987, -10.946, -10.946, 0.848,
                                       4.905,   4.906,   5.655,   70.144,  70.144,  70.158,  70.374,  70.374};

Ptr<IMolecule> Chloromethane() {
  Ptr<IMolecule> m = NewMolecule();
  for (const PrintedAtom& printed : kAtoms) {
    IAtom* atom = m->AddAtom();
    atom->SetSymbol(printed.symbol);
    atom->SetFloat(quantum::kNetAtomicCharge, printed.charge);
    atom->SetFloat(quantum::kElectronDensity, printed.electrons);
  }
  m->ConnectAtoms(m->GetAtom(0), m->GetAtom(1))->SetFloat(quantum::kBondOrder, kOrderCCl);
  for (int h = 2; h < 5; ++h) m->ConnectAtoms(m->GetAtom(0), m->GetAtom(h))->SetFloat(quantum::kBondOrder, kOrderCH);
  m->SetFloat(quantum::kFilledLevels, 7);
  m->AddParam(quantum::kOrbitalEnergies, test::RowMatrix(kEigenvalues), nullptr, true);
  return m;
}

TEST(MopacChloromethane, HomoAndLumoAreMopacsOwn) {
  Ptr<IMolecule> m = Chloromethane();
  TMolecularDescriptors block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  // "HOMO LUMO ENERGIES (EV) =        -10.946  0.848"
  EXPECT_EQ(m->GetFloat(kResultHomoEnergy), -10.946);
  EXPECT_EQ(m->GetFloat(kResultLumoEnergy), 0.848);
}

TEST(MopacChloromethane, PolarizationAndLocalDipoleIndexFromThePrintedCharges) {
  Ptr<IMolecule> m = Chloromethane();
  TMolecularDescriptors block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  // (0.340040 + 0.137296 + 0.159131 + 0.159103 + 0.159102) / 5
  EXPECT_NEAR(m->GetFloat(kResultPolarization), 0.954672 / 5, 1e-12);
  // (|-0.340040 + 0.137296| + 0.499171 + 0.499143 + 0.499142) / 4
  EXPECT_NEAR(m->GetFloat(kResultLocalDipoleIndex), (0.202744 + 0.499171 + 0.499143 + 0.499142) / 4, 1e-12);
}

TEST(MopacChloromethane, TopographicIndexesFromThePrintedOrdersAndElectronCounts) {
  Ptr<IMolecule> m = Chloromethane();
  TTopographicIndexes block;
  auto log = std::make_shared<test::QuantumLog>();
  block.SetLog(log);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  EXPECT_TRUE(log->lines.empty());
  // One heavy bond: omega = 1 / sqrt(0.990 x 0.990).
  EXPECT_NEAR(m->GetMatrix(kResultOmega)->Get(0, 0), 1 / 0.990, 1e-12);
  // Chlorine: 7.1373 / (17 - 7.1373); carbon: 4.3400 - 3 hydrogens, corrected 4.3400 - 3 x 0.8409.
  const double chlorine = 7.1373 / (17 - 7.1373);
  EXPECT_NEAR(m->GetMatrix(kResultOmegaQ)->Get(0, 0), 1 / std::sqrt(1.34 * chlorine), 1e-12);
  EXPECT_NEAR(m->GetMatrix(kResultOmegaQCorrected)->Get(0, 0), 1 / std::sqrt((4.34 - 3 * 0.8409) * chlorine), 1e-12);
  // The C-Cl bond meets no other heavy bond.
  EXPECT_EQ(m->GetMatrix(kResultEpsilonRo)->Get(0, 0), 0.0);
}

} // namespace
} // namespace corvatin

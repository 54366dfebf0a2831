// Quantum-chemical descriptors: HOMO and LUMO energies, superdelocalizabilities (Fukui, Yonezawa and Nagata,
// Bull. Chem. Soc. Jpn. 27 (1954) 423, here without the occupation factor 2 and divided by the orbital energy
// itself), delocalizabilities at -10, -5 and 0 eV, local dipole characters and the polarization. Expected values
// are worked out by hand from the definitions on small made-up orbital sets.

#include "descriptors/molecular_descriptors.h"
#include "descriptors/quantum_names.h"
#include "quantum_test_util.h"
#include "topsmode_test_util.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::FromSmiles;
using test::QuantumLog;
using test::RowMatrix;
using test::RowsMatrix;

std::vector<std::string> Describe(const Ptr<IMolecule>& m) {
  TMolecularDescriptors block;
  auto log = std::make_shared<QuantumLog>();
  block.SetLog(log);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  return log->Texts(lkWarning);
}

/// A lone atom (no bonds) with the orbital data of five molecular orbitals, three of them filled:
/// energies -20, -8, -6 | 2, 4 eV.
Ptr<IMolecule> FiveOrbitalAtom(const std::vector<std::vector<double>>& coefficients) {
  Ptr<IMolecule> m = NewMolecule();
  IAtom* c = m->AddAtom();
  c->SetSymbol("C");
  c->SetFloat(quantum::kNetAtomicCharge, 0.0);
  c->AddParam(quantum::kEigenvectors, RowsMatrix(coefficients), nullptr, true);
  m->SetFloat(quantum::kFilledLevels, 3);
  m->AddParam(quantum::kOrbitalEnergies, RowMatrix({-20, -8, -6, 2, 4}), nullptr, true);
  return m;
}

// Orbital 1: s 0.6 (sigma 0.36); 2: pz 0.8 (pi 0.64); 3: px 0.5, py 0.5 (sigma 0.5); 4: s 1 (sigma 1);
// 5: pz 0.5 (pi 0.25).
const std::vector<std::vector<double>> kCarbon{{0.6, 0, 0, 1, 0},       // s
                                               {0, 0, 0.5, 0, 0},       // px
                                               {0, 0, 0.5, 0, 0},       // py
                                               {0, 0.8, 0, 0, 0.5}};    // pz

double At(const IVertex& atom, const char* name, int column) { return atom.GetMatrix(name)->Get(0, column); }

TEST(OrbitalPart, ThreeFilledLevelsOfFive) {
  Ptr<IMolecule> m = FiveOrbitalAtom(kCarbon);
  EXPECT_TRUE(Describe(m).empty());
  EXPECT_EQ(m->GetFloat(kResultHomoEnergy), -6.0);
  EXPECT_EQ(m->GetFloat(kResultLumoEnergy), 2.0);
  const IAtom& c = *m->GetAtom(0);
  const double esSigma = 0.36 / -20 + 0.5 / -6, esPi = 0.64 / -8;
  const double nsSigma = 1.0 / 2, nsPi = 0.25 / 4;
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 0), esSigma, 1e-12);
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 1), esPi, 1e-12);
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 2), esSigma + esPi, 1e-12);
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 3), nsSigma, 1e-12);
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 4), nsPi, 1e-12);
  EXPECT_NEAR(At(c, kResultSuperdelocalizability, 5), nsSigma + nsPi, 1e-12);
  // Occupied orbitals t / (ref - e), empty ones t / (e - ref).
  EXPECT_NEAR(At(c, kResultDelocalizability, 0), 0.36 / 10 + 0.64 / -2 + 0.5 / -4 + 1.0 / 12 + 0.25 / 14, 1e-12);
  EXPECT_NEAR(At(c, kResultDelocalizability, 1), 0.36 / 15 + 0.64 / 3 + 0.5 / 1 + 1.0 / 7 + 0.25 / 9, 1e-12);
  EXPECT_NEAR(At(c, kResultDelocalizability, 2), 0.36 / 20 + 0.64 / 8 + 0.5 / 6 + 1.0 / 2 + 0.25 / 4, 1e-12);
}

TEST(OrbitalPart, AnSOnlyAtomIsPaddedToFourRowsInPlaceAndRowsBeyondTheFourthAreDropped) {
  Ptr<IMolecule> m = FiveOrbitalAtom({{0.6, 0, 0, 1, 0}});
  EXPECT_TRUE(Describe(m).empty());
  const IAtom& h = *m->GetAtom(0);
  const Ptr<IDoubleMatrix> stored = h.GetMatrix(quantum::kEigenvectors);
  EXPECT_EQ(stored->GetRowCount(), 4);
  EXPECT_EQ(stored->Get(3, 3), 0.0);
  EXPECT_EQ(At(h, kResultSuperdelocalizability, 1), 0.0);
  EXPECT_EQ(At(h, kResultSuperdelocalizability, 4), 0.0);
  EXPECT_NEAR(At(h, kResultSuperdelocalizability, 0), 0.36 / -20, 1e-12);
  EXPECT_NEAR(At(h, kResultSuperdelocalizability, 3), 1.0 / 2, 1e-12);
  // Rows beyond the fourth (d orbitals) are dropped.
  std::vector<std::vector<double>> withD = kCarbon;
  withD.push_back({9, 9, 9, 9, 9});
  Ptr<IMolecule> d = FiveOrbitalAtom(withD);
  Describe(d);
  EXPECT_EQ(d->GetAtom(0)->GetMatrix(quantum::kEigenvectors)->GetRowCount(), 4);
  EXPECT_NEAR(At(*d->GetAtom(0), kResultSuperdelocalizability, 3), 1.0 / 2, 1e-12);
}

TEST(OrbitalPart, SumsStopAtTheOrbitalsBothMatricesHave) {
  // Seven coefficient columns against five energies: columns 6 and 7 are not summed.
  std::vector<std::vector<double>> wide = kCarbon;
  for (auto& row : wide) row.insert(row.end(), {1, 1});
  Ptr<IMolecule> m = FiveOrbitalAtom(wide);
  EXPECT_TRUE(Describe(m).empty());
  EXPECT_NEAR(At(*m->GetAtom(0), kResultSuperdelocalizability, 3), 1.0 / 2, 1e-12);
  // Two columns, fewer than the three filled levels: the occupied sums take both, no empty orbital is summed.
  Ptr<IMolecule> narrow = FiveOrbitalAtom({{0.6, 0}, {0, 0}, {0, 0}, {0, 0.8}});
  EXPECT_TRUE(Describe(narrow).empty());
  EXPECT_NEAR(At(*narrow->GetAtom(0), kResultSuperdelocalizability, 2), 0.36 / -20 + 0.64 / -8, 1e-12);
  EXPECT_EQ(At(*narrow->GetAtom(0), kResultSuperdelocalizability, 5), 0.0);
}

TEST(OrbitalPart, AtomsWithoutCoefficientsAreSkippedSilently) {
  Ptr<IMolecule> m = FiveOrbitalAtom(kCarbon);
  IAtom* other = m->AddAtom();
  other->SetSymbol("H");
  other->SetFloat(quantum::kNetAtomicCharge, 0.0);
  EXPECT_TRUE(Describe(m).empty());
  EXPECT_FALSE(other->HasParam(kResultSuperdelocalizability));
  EXPECT_TRUE(m->GetAtom(0)->HasParam(kResultSuperdelocalizability));
}

TEST(OrbitalPart, MissingOrInconsistentOrbitalDataIsOneWarning) {
  for (double filled : {0.0, 5.0, 6.0}) {
    Ptr<IMolecule> m = FiveOrbitalAtom(kCarbon);
    m->SetFloat(quantum::kFilledLevels, filled);
    EXPECT_EQ(Describe(m), std::vector<std::string>{kMsgOrbitalsMissing}) << filled;
    EXPECT_FALSE(m->HasParam(kResultHomoEnergy));
    EXPECT_FALSE(m->GetAtom(0)->HasParam(kResultDelocalizability));
  }
  Ptr<IMolecule> noEnergies = FiveOrbitalAtom(kCarbon);
  noEnergies->DeleteParam(quantum::kOrbitalEnergies);
  EXPECT_EQ(Describe(noEnergies), std::vector<std::string>{kMsgOrbitalsMissing});
  // 4.6 filled levels round to 5: no LUMO among five energies.
  Ptr<IMolecule> rounded = FiveOrbitalAtom(kCarbon);
  rounded->SetFloat(quantum::kFilledLevels, 4.6);
  EXPECT_EQ(Describe(rounded), std::vector<std::string>{kMsgOrbitalsMissing});
}

Ptr<IMolecule> ChargedWater() {
  Ptr<IMolecule> m = FromSmiles("O");
  for (int i = 0; i < m->VertexCount(); ++i)
    m->GetAtom(i)->SetFloat(quantum::kNetAtomicCharge, m->GetAtom(i)->GetSymbol() == "O" ? -0.6 : 0.3);
  return m;
}

TEST(DipolePart, WaterCharges) {
  Ptr<IMolecule> m = ChargedWater();
  ASSERT_EQ(m->VertexCount(), 3);
  // No filled levels: only the orbital warning; the dipole part runs all the same.
  EXPECT_EQ(Describe(m), std::vector<std::string>{kMsgOrbitalsMissing});
  for (int i = 0; i < m->EdgeCount(); ++i)
    EXPECT_NEAR(m->GetEdge(i)->GetFloat(kResultLocalDipoleCharacter), 0.9, 1e-15);
  EXPECT_NEAR(m->GetFloat(kResultLocalDipoleIndex), 0.9, 1e-15);
  EXPECT_NEAR(m->GetFloat(kResultPolarization), 0.4, 1e-15);
}

TEST(DipolePart, AMissingChargeCostsTheMeansButNotTheCompleteBonds) {
  Ptr<IMolecule> m = ChargedWater();
  IAtom* bare = m->GetAtom(2);
  bare->DeleteParam(quantum::kNetAtomicCharge);
  EXPECT_EQ(Describe(m), (std::vector<std::string>{kMsgOrbitalsMissing, kMsgBondChargesMissing,
                                                   kMsgAtomChargesMissing}));
  int withValue = 0;
  for (int i = 0; i < m->EdgeCount(); ++i)
    if (m->GetEdge(i)->HasParam(kResultLocalDipoleCharacter)) {
      ++withValue;
      EXPECT_NEAR(m->GetEdge(i)->GetFloat(kResultLocalDipoleCharacter), 0.9, 1e-15);
    }
  EXPECT_EQ(withValue, 1);
  EXPECT_FALSE(m->HasParam(kResultLocalDipoleIndex));
  EXPECT_FALSE(m->HasParam(kResultPolarization));
}

TEST(DipolePart, AStructureFromAFileWithoutChargesGetsThreeWarningsAndNoValues) {
  Ptr<IMolecule> m = FromSmiles("CCO");
  EXPECT_EQ(Describe(m), (std::vector<std::string>{kMsgOrbitalsMissing, kMsgBondChargesMissing,
                                                   kMsgAtomChargesMissing}));
  for (const char* name : {kResultHomoEnergy, kResultLumoEnergy, kResultLocalDipoleIndex, kResultPolarization})
    EXPECT_FALSE(m->HasParam(name)) << name;
}

TEST(DipolePart, AnAtomWithoutBondsHasOnlyPolarization) {
  Ptr<IMolecule> m = NewMolecule();
  IAtom* ion = m->AddAtom();
  ion->SetSymbol("Na");
  ion->SetFloat(quantum::kNetAtomicCharge, 1.0);
  EXPECT_EQ(Describe(m), std::vector<std::string>{kMsgOrbitalsMissing});
  EXPECT_FALSE(m->HasParam(kResultLocalDipoleIndex));
  EXPECT_EQ(m->GetFloat(kResultPolarization), 1.0);
}

TEST(QuantumChemicalBlock, ValuesOfAnEarlierRunDoNotSurviveLostInputs) {
  Ptr<IMolecule> m = FiveOrbitalAtom(kCarbon);
  Describe(m);
  ASSERT_TRUE(m->HasParam(kResultHomoEnergy));
  m->DeleteParam(quantum::kFilledLevels);
  m->GetAtom(0)->DeleteParam(quantum::kNetAtomicCharge);
  Describe(m);
  for (const char* name : {kResultHomoEnergy, kResultLumoEnergy, kResultPolarization})
    EXPECT_FALSE(m->HasParam(name)) << name;
  EXPECT_FALSE(m->GetAtom(0)->HasParam(kResultSuperdelocalizability));
}

} // namespace
} // namespace corvatin

// The topographic and quantum-chemical blocks on molecules read by the MOPAC output reader from real MOPAC 22
// output (PM7 ALLVEC BONDS, tests/data/quantum): the HOMO and LUMO energies must be the ones MOPAC prints on its
// "HOMO LUMO ENERGIES (EV)" line, the polarization and local dipole index follow from the printed charges, and the
// topographic indexes from the printed bond orders and electron counts.

#include "chem/molecule.h"
#include "core/parser.h"
#include "descriptors/molecular_descriptors.h"
#include "descriptors/quantum_names.h"
#include "descriptors/topographic_indexes.h"
#include "inputs/mol_reader.h"
#include "inputs/mopac_input.h"
#include "quantum_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

namespace corvatin {
namespace {

std::string DataFile(const std::string& name) { return std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/" + name; }

Ptr<IMolecule> Read(const std::string& name) {
  Ptr<IMolecule> m = NewMolecule();
  const std::string path = DataFile(name);
  ReadMopacOutput(*NewFileParser(path), *m, path);
  return m;
}

/// The two numbers of MOPAC's "HOMO LUMO ENERGIES (EV) =" line, read straight from the file.
std::pair<double, double> PrintedHomoLumo(const std::string& name) {
  std::ifstream in(DataFile(name));
  std::stringstream text;
  text << in.rdbuf();
  std::smatch match;
  const std::string s = text.str();
  if (!std::regex_search(s, match, std::regex(R"(HOMO LUMO ENERGIES \(EV\) =\s+(-?[0-9.]+)\s+(-?[0-9.]+))")))
    throw std::runtime_error("no HOMO LUMO line in " + name);
  return {std::stod(match[1]), std::stod(match[2])};
}

std::vector<std::string> Describe(const Ptr<IMolecule>& m, std::vector<std::string>* errors = nullptr) {
  auto log = std::make_shared<test::QuantumLog>();
  TMolecularDescriptors quantumBlock;
  quantumBlock.SetLog(log);
  quantumBlock.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  TTopographicIndexes topographic;
  topographic.SetLog(log);
  topographic.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  if (errors) *errors = log->Texts(lkError);
  return log->Texts(lkWarning);
}

// Acetone as printed: "NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS" (CHARGE, No. of ELECS.), atoms 1 to 10.
constexpr double kAcetoneCharges[] = {-0.551742, 0.521795, -0.552113, -0.469065, 0.162679,
                                      0.181457,  0.181391, 0.162690,  0.181483,  0.181426};
constexpr double kAcetoneElectrons[] = {4.5517, 3.4782, 4.5521, 6.4691, 0.8373, 0.8185, 0.8186, 0.8373, 0.8185, 0.8186};
// The bonds (atom numbers from 1) and their printed orders.
struct PrintedBond {
  int a, b;
  double order;
};
constexpr PrintedBond kAcetoneBonds[] = {{1, 2, 0.966}, {2, 3, 0.966}, {2, 4, 1.850}, {1, 5, 0.964}, {1, 6, 0.946},
                                         {1, 7, 0.946}, {3, 8, 0.964}, {3, 9, 0.946}, {3, 10, 0.946}};

TEST(MopacOutput, AcetoneReadsWithEveryInputTheBlocksNeed) {
  Ptr<IMolecule> m = Read("acetone.out");
  ASSERT_EQ(m->VertexCount(), 10);
  ASSERT_EQ(m->EdgeCount(), 9);
  for (const PrintedBond& bond : kAcetoneBonds) {
    IEdge* edge = m->GetEdgeBetween(bond.a - 1, bond.b - 1);
    ASSERT_TRUE(edge) << bond.a << "-" << bond.b;
    EXPECT_DOUBLE_EQ(edge->GetFloat(quantum::kBondOrder), bond.order);
  }
  std::vector<std::string> errors;
  EXPECT_TRUE(Describe(m, &errors).empty());
  EXPECT_TRUE(errors.empty());
}

TEST(MopacOutput, HomoAndLumoAreThePrintedOnes) {
  for (const char* name : {"acetone.out", "chloromethane.out"}) {
    Ptr<IMolecule> m = Read(name);
    Describe(m);
    const auto [homo, lumo] = PrintedHomoLumo(name);
    EXPECT_EQ(m->GetFloat(kResultHomoEnergy), homo) << name;
    EXPECT_EQ(m->GetFloat(kResultLumoEnergy), lumo) << name;
  }
}

TEST(MopacOutput, AcetonePolarizationAndLocalDipoleIndexFromThePrintedCharges) {
  Ptr<IMolecule> m = Read("acetone.out");
  Describe(m);
  double polarization = 0;
  for (double q : kAcetoneCharges) polarization += std::fabs(q);
  EXPECT_NEAR(m->GetFloat(kResultPolarization), polarization / 10, 1e-12);
  double dipole = 0;
  for (const PrintedBond& bond : kAcetoneBonds)
    dipole += std::fabs(kAcetoneCharges[bond.a - 1] - kAcetoneCharges[bond.b - 1]);
  EXPECT_NEAR(m->GetFloat(kResultLocalDipoleIndex), dipole / 9, 1e-12);
}

TEST(MopacOutput, AcetoneTopographicIndexesFromThePrintedOrdersAndElectronCounts) {
  Ptr<IMolecule> m = Read("acetone.out");
  Describe(m);
  // Heavy atoms: C1 (3 H), C2, C3 (3 H), O4; heavy bonds C1-C2 0.966, C2-C3 0.966, C2-O4 1.850.
  const double w1 = 0.966, w2 = 0.966 + 0.966 + 1.850, w3 = 0.966, w4 = 1.850;
  EXPECT_NEAR(m->GetMatrix(kResultOmega)->Get(0, 0),
              1 / std::sqrt(w1 * w2) + 1 / std::sqrt(w2 * w3) + 1 / std::sqrt(w2 * w4), 1e-12);
  EXPECT_NEAR(m->GetMatrix(kResultOmega)->Get(2, 1), 1 / std::sqrt(w1 * w2 * w3 * w4), 1e-12); // the cluster
  const double* e = kAcetoneElectrons;
  const double q1 = e[0] - 3, q2 = e[1], q3 = e[2] - 3, q4 = e[3];
  EXPECT_NEAR(m->GetMatrix(kResultOmegaQ)->Get(0, 0),
              1 / std::sqrt(q1 * q2) + 1 / std::sqrt(q2 * q3) + 1 / std::sqrt(q2 * q4), 1e-12);
  const double c1 = e[0] - (e[4] + e[5] + e[6]), c3 = e[2] - (e[7] + e[8] + e[9]);
  EXPECT_NEAR(m->GetMatrix(kResultOmegaQCorrected)->Get(0, 0),
              1 / std::sqrt(c1 * q2) + 1 / std::sqrt(q2 * c3) + 1 / std::sqrt(q2 * q4), 1e-12);
  // Bond weights: C-C bonds meet the other C-C and the C=O; C=O meets both C-C.
  const double bcc = 0.966 + 1.850, bco = 0.966 + 0.966;
  EXPECT_NEAR(m->GetMatrix(kResultEpsilonRo)->Get(0, 0), 2 / std::sqrt(bcc) + 1 / std::sqrt(bco), 1e-12);
}

// MOPAC's eigenvectors are orthonormal, so over all atoms the squared coefficients of one orbital add up to 1 and
// the atoms' superdelocalizabilities add up to the sum of 1/e over the orbitals (the printed four decimals allow
// about 1e-3). A wrong orbital row or an orbital taken from the wrong column breaks this.
TEST(MopacOutput, SuperdelocalizabilitiesAddUpOverTheAtoms) {
  Ptr<IMolecule> m = Read("acetone.out");
  Describe(m);
  const Ptr<IDoubleMatrix> energies = m->GetMatrix(quantum::kOrbitalEnergies);
  const int filled = static_cast<int>(m->GetInt(quantum::kFilledLevels));
  ASSERT_EQ(filled, 12);
  ASSERT_EQ(energies->GetColumnCount(), 22);
  double occupied = 0, empty = 0;
  for (int j = 0; j < energies->GetColumnCount(); ++j) (j < filled ? occupied : empty) += 1 / energies->Get(0, j);
  double es = 0, ns = 0, d3 = 0;
  for (int i = 0; i < m->VertexCount(); ++i) {
    const Ptr<IDoubleMatrix> s = m->GetVertex(i)->GetMatrix(kResultSuperdelocalizability);
    ASSERT_TRUE(s) << i;
    es += s->Get(0, 2);
    ns += s->Get(0, 5);
    d3 += m->GetVertex(i)->GetMatrix(kResultDelocalizability)->Get(0, 2);
  }
  EXPECT_NEAR(es, occupied, 2e-3 * std::fabs(occupied));
  EXPECT_NEAR(ns, empty, 2e-3 * std::fabs(empty));
  // At the reference 0 eV the delocalizability is sum |1/e| over all orbitals.
  EXPECT_NEAR(d3, empty - occupied, 2e-3 * (empty - occupied));
}

TEST(MopacOutput, ChlorineDOrbitalsAreCutToFourRows) {
  Ptr<IMolecule> m = Read("chloromethane.out");
  ASSERT_EQ(m->GetAtom(1)->GetSymbol(), "Cl");
  ASSERT_EQ(m->GetAtom(1)->GetMatrix(quantum::kEigenvectors)->GetRowCount(), 9);
  Describe(m);
  EXPECT_EQ(m->GetAtom(1)->GetMatrix(quantum::kEigenvectors)->GetRowCount(), 4);
  EXPECT_TRUE(m->GetAtom(1)->HasParam(kResultSuperdelocalizability));
  // Chlorine's density is referred to its core: 7.1373 / (17 - 7.1373); carbon 4.3400 - 3 hydrogens.
  EXPECT_NEAR(m->GetMatrix(kResultOmegaQ)->Get(0, 0), 1 / std::sqrt(1.34 * 7.1373 / (17 - 7.1373)), 1e-12);
}

TEST(MopacOutput, OnlyTheRootsAroundTheGapCostTheOrbitalPartAlone) {
  // MOPAC's VECTORS (without ALLVEC) prints roots 4 to 19 of 22: the reader does not keep them, so the orbital
  // part warns while the charges, bond orders and electron counts still give their descriptors.
  Ptr<IMolecule> m = Read("acetone_vectors.out");
  std::vector<std::string> errors;
  EXPECT_EQ(Describe(m, &errors), std::vector<std::string>{kMsgOrbitalsMissing});
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(m->HasParam(kResultHomoEnergy));
  EXPECT_TRUE(m->HasParam(kResultPolarization));
  EXPECT_TRUE(m->HasParam(kResultLocalDipoleIndex));
  EXPECT_TRUE(m->HasParam(kResultOmegaQCorrected));
}

TEST(MopacOutput, AStructureFromAMolFileGetsTheMessagesAndNoValues) {
  Ptr<IMolecule> m = NewMolecule();
  const std::string path = std::string(CORVATIN_TEST_DATA_DIR) + "/inputs/CS_ethanol.mol";
  Ptr<TParser> parser = NewFileParser(path);
  mol_detail::MolRecordReader(*parser, *m, path).Read();
  ASSERT_GT(m->EdgeCount(), 2);
  std::vector<std::string> errors;
  EXPECT_EQ(Describe(m, &errors),
            (std::vector<std::string>{kMsgOrbitalsMissing, kMsgBondChargesMissing, kMsgAtomChargesMissing}));
  EXPECT_EQ(errors, (std::vector<std::string>{kMsgOmegaMissing, kMsgOmegaQMissing, kMsgOmegaQCorrectedMissing,
                                              kMsgEpsilonRoMissing}));
  for (const char* name : {kResultHomoEnergy, kResultLumoEnergy, kResultLocalDipoleIndex, kResultPolarization,
                           kResultOmega, kResultOmegaQ, kResultOmegaQCorrected, kResultEpsilonRo})
    EXPECT_FALSE(m->HasParam(name)) << name;
}

} // namespace
} // namespace corvatin

// The descriptors of semi-empirical results: topographic indexes against the slow definition on random molecules
// and which index each missing input costs; quantum-chemical descriptors on made-up orbital sets and on real MOPAC 22
// output (PM7 ALLVEC BONDS, tests/data/quantum); sphere matrices of point sets.

#include "core/numtext.h"
#include "core/parser.h"
#include "core/progress.h"
#include "descriptor_test_util.h"
#include "descriptors/matrix_test.h"
#include "descriptors/molecular_descriptors.h"
#include "descriptors/quantum_names.h"
#include "descriptors/topographic_indexes.h"
#include "descriptors/topsmode.h"
#include "inputs/mopac_input.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

struct QuantumLog : IProgressLog {
  void Clear() override { lines.clear(); }
  void AddMessage(const std::string& text, int kind, bool transient) override {
    if (!transient) lines[kind].push_back(text);
  }
  std::map<int, std::vector<std::string>> lines;
};

/// A matrix parameter from rows of equal length (one row: as the MOPAC reader stores the orbital energies).
Ptr<TMatrixParameter> RowsMatrix(const std::vector<std::vector<double>>& rows, int columns = -1) {
  Ptr<IDoubleMatrix> m =
      NewMatrix(columns >= 0 ? columns : static_cast<int>(rows.at(0).size()), static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t j = 0; j < rows[i].size(); ++j)
      m->Set(static_cast<int>(i), static_cast<int>(j), rows[i][j]);
  return std::make_shared<TMatrixParameter>(m);
}

bool Heavy(const IVertex* v) { return AsAtom(v)->GetAtomicNumber() > 1; }

// Gives every bond its order and every atom its density: value(0) for a bond, value(1) for a heavy atom, value(2) for
// a hydrogen.
void SetQuantumData(IMolecule& m, const std::function<double(int)>& value) {
  for (int i = 0; i < m.EdgeCount(); ++i)
    m.GetEdge(i)->SetFloat(quantum::kBondOrder, value(0));
  for (int i = 0; i < m.VertexCount(); ++i)
    m.GetVertex(i)->SetFloat(quantum::kElectronDensity, value(Heavy(m.GetVertex(i)) ? 1 : 2));
}

// omega: the bond orders to heavy neighbours; omega(q): the density less one per hydrogen, omega(q)c less the
// hydrogens' densities, referred to the core (Z - q) for Si, S, Cl, Br and I only; epsilon(Ro): the orders of the
// other heavy bonds at both ends.
long double Omega(const IVertex* v) {
  long double sum = 0;
  for (int k = 0; k < v->NeighbourCount(); ++k)
    if (Heavy(v->GetNeighbour(k))) sum += v->GetEdge(k)->GetFloat(quantum::kBondOrder);
  return sum;
}

long double DensityDelta(const IVertex* v, bool corrected) {
  const int z = AsAtom(v)->GetAtomicNumber();
  long double q = v->GetFloat(quantum::kElectronDensity);
  const long double r = z == 14 || z == 16 || z == 17 || z == 35 || z == 53 ? z - q : 1;
  for (int k = 0; k < v->NeighbourCount(); ++k)
    if (!Heavy(v->GetNeighbour(k))) q -= corrected ? v->GetNeighbour(k)->GetFloat(quantum::kElectronDensity) : 1;
  return q / r;
}

long double Epsilon(const IEdge* e) {
  long double sum = 0;
  for (const IVertex* end : {e->GetVertex1(), e->GetVertex2()})
    for (int k = 0; k < end->NeighbourCount(); ++k)
      if (end->GetEdge(k) != e && Heavy(end->GetNeighbour(k))) sum += end->GetEdge(k)->GetFloat(quantum::kBondOrder);
  return sum;
}

TEST(TopographicReference, RandomMoleculesMatchTheTemplateSearch) {
  std::mt19937 rng(20261206);
  std::uniform_real_distribution<double> order(0.4, 2.2), density(0.6, 6.8), hydrogen(0.7, 1.1);
  for (int round = 0; round < 12; ++round) {
    Ptr<IMolecule> m = test::RandomMolecule(rng, 5 + round, round % 4, true);
    m->GetAtom(0)->SetSymbol(round % 3 == 0 ? "Cl" : "P"); // referred to its core or not
    SetQuantumData(*m, [&](int kind) { return kind == 0 ? order(rng) : kind == 1 ? density(rng) : hydrogen(rng); });
    const Ptr<ISubGraph> g = WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false);
    const TSubgraphSums ref = test::FinderSums(
        g, Omega, [](const IVertex* v) { return DensityDelta(v, true); }, Epsilon);
    const TSubgraphSums plain = test::FinderSums(
        g, Omega, [](const IVertex* v) { return DensityDelta(v, false); }, Epsilon);
    TTopographicIndexes block;
    block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
    ASSERT_TRUE(m->HasParam(kResultOmega)) << round;
    for (int r = 0; r < kSubgraphOrders; ++r)
      for (int c = 0; c < kSubgraphKinds; ++c) {
        SCOPED_TRACE("round " + std::to_string(round) + " cell " + std::to_string(r + 1) + "," + std::to_string(c));
        const auto expect = [&](const char* name, const TSubgraphSums::Cells<long double>& cells) {
          const double want = static_cast<double>(cells[static_cast<size_t>(r)][static_cast<size_t>(c)]);
          EXPECT_NEAR(m->GetMatrix(name)->Get(r, c), want, 1e-9 * (1 + std::fabs(want))) << name;
        };
        expect(kResultOmega, ref.vertex1);
        expect(kResultOmegaQ, plain.vertex2);
        expect(kResultOmegaQCorrected, ref.vertex2);
        expect(kResultEpsilonRo, ref.edge);
      }
  }
}

struct Logged {
  std::vector<std::string> warnings, errors;
};

// Runs the quantum-chemical and topographic blocks (the census limited when asked) and returns what they logged.
Logged Describe(const Ptr<IMolecule>& m, int limit = 0) {
  auto log = std::make_shared<QuantumLog>();
  TMolecularDescriptors quantumBlock;
  TTopographicIndexes topographic;
  quantumBlock.SetLog(log);
  topographic.SetLog(log);
  if (limit) topographic.SetSubgraphLimit(limit);
  quantumBlock.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  topographic.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  return {log->lines[lkWarning], log->lines[lkError]};
}

TEST(TopographicErrors, EachMissingInputCostsItsOwnIndexesAndNoEarlierValueNorTemporaryMarkSurvives) {
  struct Case {
    const char* smiles;
    std::function<void(IMolecule&)> drop; // after a first run with every input
    std::vector<std::string> errors;
  };
  const auto order = [](int a, int b) {
    return [a, b](IMolecule& m) { m.GetAtom(a)->GetBondTo(m.GetAtom(b))->DeleteParam(quantum::kBondOrder); };
  };
  const Case cases[] = {
      {"CCO",
       [](IMolecule& m) { m.RemoveVertexParam(quantum::kElectronDensity); },
       {kMsgOmegaQMissing, kMsgOmegaQCorrectedMissing}},
      {"CO",
       [](IMolecule& m) { m.GetAtom(5)->DeleteParam(quantum::kElectronDensity); },
       {kMsgOmegaQCorrectedMissing}}, // the hydroxyl hydrogen
      {"CCC", order(1, 2), {kMsgOmegaMissing, kMsgEpsilonRoMissing}},
      {"CC.CCC", order(0, 1), {kMsgOmegaMissing}}, // a bond that meets no other needs no order for epsilon(Ro)
  };
  const std::pair<const char*, const char*> costs[] = {{kMsgOmegaMissing, kResultOmega},
                                                       {kMsgOmegaQMissing, kResultOmegaQ},
                                                       {kMsgOmegaQCorrectedMissing, kResultOmegaQCorrected},
                                                       {kMsgEpsilonRoMissing, kResultEpsilonRo}};
  const auto anyMark = [](const IMolecule& m) {
    for (int i = 0; i < m.VertexCount(); ++i)
      for (const char* name : {kParamBondOrdersValue, kParamOmegaQValue, kParamOmegaCQValue})
        if (m.GetVertex(i)->HasParam(name) || (i < m.EdgeCount() && m.GetEdge(i)->HasParam(name))) return true;
    return false;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.smiles);
    Ptr<IMolecule> m = test::FromSmiles(c.smiles);
    SetQuantumData(*m, [](int kind) { return kind == 1 ? 4.0 : 1.0; });
    m->GetAtom(0)->SetFloat(kParamOmegaQValue, 7); // left by an interrupted run
    m->GetBond(0)->SetFloat(kParamOmegaCQValue, 7);
    ASSERT_TRUE(Describe(m).errors.empty());
    c.drop(*m);
    EXPECT_EQ(Describe(m).errors, c.errors);
    for (const auto& [message, result] : costs)
      EXPECT_EQ(m->HasParam(result), std::find(c.errors.begin(), c.errors.end(), message) == c.errors.end()) << result;
    EXPECT_FALSE(anyMark(*m));
  }
  Ptr<IMolecule> big = test::FromSmiles("CC(C)CO"); // too big: fails alone and leaves nothing
  SetQuantumData(*big, [](int kind) { return kind == 1 ? 4.0 : 1.0; });
  big->GetAtom(1)->SetFloat(kParamBondOrdersValue, 3);
  EXPECT_THROW(Describe(big, 3), EChemError);
  EXPECT_FALSE(anyMark(*big));
  EXPECT_FALSE(big->HasParam(kResultOmega));
  Ptr<IMolecule> methane = test::FromSmiles("C"); // no heavy bond: nothing stored, nothing logged
  EXPECT_TRUE(Describe(methane).errors.empty());
  EXPECT_FALSE(methane->HasParam(kResultOmega));
}

const std::string kData = std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/";
constexpr const char* kPort = "Molecule";

/// A lone carbon with five molecular orbitals, three of them filled: energies -20, -8, -6 | 2, 4 eV.
Ptr<IMolecule> FiveOrbitalAtom(const std::vector<std::vector<double>>& coefficients) {
  Ptr<IMolecule> m = NewMolecule();
  IAtom* c = m->AddAtom();
  c->SetSymbol("C");
  c->SetFloat(quantum::kNetAtomicCharge, 0.0);
  c->AddParam(quantum::kEigenvectors, RowsMatrix(coefficients), nullptr, true);
  m->SetFloat(quantum::kFilledLevels, 3);
  m->AddParam(quantum::kOrbitalEnergies, RowsMatrix({{-20, -8, -6, 2, 4}}), nullptr, true);
  return m;
}

TEST(OrbitalPart, SuperdelocalizabilitiesAndDelocalizabilitiesMatchTheHandValues) {
  const char* columns[] = {"ES(sigma)", "ES(pi)", "ES", "NS(sigma)", "NS(pi)", "NS", "D(-10)", "D(-5)", "D(0)"};
  const int rows = test::ForEachRow("quantum/orbitals_hand.tsv", [&](const test::Row& cell) {
    std::vector<std::vector<double>> coefficients(1); // rows end in ";"
    std::stringstream words(cell.at("coefficients"));
    for (std::string word; words >> word;) {
      coefficients.back().push_back(TextToFloat(word.substr(0, word.find(';'))));
      if (word.ends_with(";")) coefficients.emplace_back();
    }
    Ptr<IMolecule> m = FiveOrbitalAtom(coefficients);
    EXPECT_TRUE(Describe(m).warnings.empty()) << cell.at("case");
    EXPECT_EQ(m->GetFloat(kResultHomoEnergy), -6.0);
    EXPECT_EQ(m->GetFloat(kResultLumoEnergy), 2.0);
    EXPECT_EQ(m->GetAtom(0)->GetMatrix(quantum::kEigenvectors)->GetRowCount(), 4) << cell.at("case");
    for (int k = 0; k < 9; ++k)
      EXPECT_NEAR(
          m->GetAtom(0)->GetMatrix(k < 6 ? kResultSuperdelocalizability : kResultDelocalizability)->Get(0, k % 6),
          TextToFloat(cell.at(columns[k])), 1e-12)
          << cell.at("case") << ": " << columns[k];
  });
  EXPECT_EQ(rows, 4);
}

TEST(OrbitalPart, MissingOrInconsistentOrbitalDataIsOneWarningAndNoValueNorAnEarlierOne) {
  // 4.6 filled levels round to 5: no LUMO among five energies; 3 with no energies at all.
  for (double filled : {0.0, 5.0, 6.0, 4.6, 3.0}) {
    Ptr<IMolecule> m = FiveOrbitalAtom({{0.6, 0, 0, 1, 0}});
    Describe(m);
    m->SetFloat(quantum::kFilledLevels, filled);
    if (filled == 3.0) m->DeleteParam(quantum::kOrbitalEnergies);
    EXPECT_EQ(Describe(m).warnings[0], kMsgOrbitalsMissing) << filled;
    EXPECT_FALSE(m->HasParam(kResultHomoEnergy));
    EXPECT_FALSE(m->GetAtom(0)->HasParam(kResultDelocalizability));
  }
}

TEST(DipolePart, WaterChargesAndAMissingChargeCostingTheMeansButNotTheCompleteBonds) {
  for (bool complete : {true, false}) {
    Ptr<IMolecule> m = test::FromSmiles("O");
    for (int i = 0; i < m->VertexCount(); ++i)
      m->GetAtom(i)->SetFloat(quantum::kNetAtomicCharge, m->GetAtom(i)->GetSymbol() == "O" ? -0.6 : 0.3);
    Describe(m);
    if (!complete) m->GetAtom(2)->DeleteParam(quantum::kNetAtomicCharge);
    // No filled levels: the orbital warning; the dipole part runs all the same.
    const std::vector<std::string> warnings = Describe(m).warnings;
    EXPECT_EQ(warnings, (complete ? std::vector<std::string>{kMsgOrbitalsMissing}
                                  : std::vector<std::string>{kMsgOrbitalsMissing, kMsgBondChargesMissing,
                                                             kMsgAtomChargesMissing}));
    EXPECT_NEAR(m->GetEdge(0)->GetFloat(kResultLocalDipoleCharacter), 0.9, 1e-15);
    EXPECT_EQ(m->GetEdge(1)->HasParam(kResultLocalDipoleCharacter), complete);
    EXPECT_NEAR(m->GetFloat(kResultLocalDipoleIndex), complete ? 0.9 : 0.0, 1e-15);
    EXPECT_NEAR(m->GetFloat(kResultPolarization), complete ? 0.4 : 0.0, 1e-15);
  }
}

Ptr<IMolecule> ReadMopac(const std::string& name, const std::vector<std::string>& warnings) {
  Ptr<IMolecule> m = NewMolecule();
  ReadMopacOutput(*NewFileParser(kData + name), *m, name);
  const Logged logged = Describe(m);
  EXPECT_EQ(logged.warnings, warnings) << name;
  EXPECT_TRUE(logged.errors.empty()) << name;
  return m;
}

// MOPAC's eigenvectors are orthonormal: over all atoms the squared coefficients of one orbital add up to 1, so the
// atoms' superdelocalizabilities add up to the sum of 1/e over the orbitals (the printed four decimals allow about
// 1e-3). A wrong orbital row or an orbital taken from the wrong column breaks this.
TEST(MopacOutput, RealOutputGivesThePrintedValuesSuperdelocalizabilitiesAddUpAndPartialVectorsCostTheOrbitalPartAlone) {
  // Chlorine's d orbitals (nine coefficient rows as MOPAC prints them) are cut to s and p.
  EXPECT_EQ(ReadMopac("chloromethane.out", {})->GetAtom(1)->GetMatrix(quantum::kEigenvectors)->GetRowCount(), 4);
  Ptr<IMolecule> m = ReadMopac("acetone.out", {});
  // The mean |CHARGE| and the mean |q1 - q2| over the bonds of "NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS"; the
  // "No. of ELECS." of C2 and the C2=O4 bond order as printed.
  EXPECT_NEAR(m->GetFloat(kResultPolarization), 0.3145841, 1e-12);
  EXPECT_NEAR(m->GetFloat(kResultLocalDipoleIndex), 0.833444, 1e-12);
  EXPECT_EQ(m->GetAtom(1)->GetFloat(quantum::kElectronDensity), 3.4782);
  EXPECT_EQ(m->GetEdgeBetween(1, 3)->GetFloat(quantum::kBondOrder), 1.85);
  const Ptr<IDoubleMatrix> energies = m->GetMatrix(quantum::kOrbitalEnergies);
  ASSERT_EQ(m->GetInt(quantum::kFilledLevels), 12);
  ASSERT_EQ(energies->GetColumnCount(), 22);
  double occupied = 0, empty = 0, es = 0, ns = 0, d3 = 0;
  for (int j = 0; j < 22; ++j)
    (j < 12 ? occupied : empty) += 1 / energies->Get(0, j);
  for (int i = 0; i < m->VertexCount(); ++i) {
    es += m->GetVertex(i)->GetMatrix(kResultSuperdelocalizability)->Get(0, 2);
    ns += m->GetVertex(i)->GetMatrix(kResultSuperdelocalizability)->Get(0, 5);
    d3 += m->GetVertex(i)->GetMatrix(kResultDelocalizability)->Get(0, 2);
  }
  EXPECT_NEAR(es, occupied, 2e-3 * std::fabs(occupied));
  EXPECT_NEAR(ns, empty, 2e-3 * std::fabs(empty));
  EXPECT_NEAR(d3, empty - occupied, 2e-3 * (empty - occupied)); // at 0 eV: sum |1/e| over all orbitals
  // VECTORS without ALLVEC prints roots 4 to 19 of 22: the reader does not keep them, so the orbital part warns
  // while the charges, bond orders and electron counts still give their descriptors.
  m = ReadMopac("acetone_vectors.out", {kMsgOrbitalsMissing});
  EXPECT_FALSE(m->HasParam(kResultHomoEnergy));
  for (const char* name : {kResultPolarization, kResultLocalDipoleIndex, kResultOmegaQCorrected})
    EXPECT_TRUE(m->HasParam(name)) << name;
}

// Sphere matrices: the Gaussian similarity exp(-d^2 / (2 s^2)) of every pair of points, 0 on the diagonal, the
// width s rounded to an integer (halves to even); a structure from another reader gets none.
TEST(SphereMatrix, EveryPairOfPointsWithTheWidthRoundedAndNoneForAStructureFromAnotherReader) {
  const auto run = [](const Ptr<IMolecule>& structure, double width) {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(Ptr<IGraph>(structure)), nullptr, true);
    TMatrixTest block;
    block.SetPortName(0, kPort);
    block.SetFloat(kParamSphereWidth, width);
    bool more = false;
    block.Execute(more);
    const Ptr<IDoubleMatrix> shared = SharedDataSpace()->GetMatrix(kResultExpMatrix);
    EXPECT_EQ(structure->GetMatrix(kResultExpMatrix), shared);
    return shared;
  };
  const auto points = [](const std::vector<std::vector<double>>& xyz) { // as the reader of point sets leaves them
    Ptr<IMolecule> structure = NewMolecule();
    Ptr<TMatrixParameter> coordinates = RowsMatrix(xyz, 3);
    SharedDataSpace()->AddParam(kSphereCoordinates, coordinates, nullptr, true);
    structure->AddParam(kSphereCoordinates, std::make_shared<TMatrixParameter>(coordinates->GetMatrix()), nullptr,
                        true);
    return structure;
  };
  const Ptr<IMolecule> three = points({{0, 0, 0}, {0, 2, 0}, {3, 4, 0}});
  const Ptr<IDoubleMatrix> g = run(three, 1);
  ASSERT_EQ(g->GetRowCount(), 3);
  EXPECT_NEAR(g->Get(0, 2), std::exp(-12.5), 1e-18); // (0, 0, 0) and (3, 4, 0) are 5 apart
  EXPECT_NEAR(g->Get(1, 0), std::exp(-2.0), 1e-15);
  EXPECT_EQ(g->Get(2, 2), 0.0);
  EXPECT_EQ(run(three, 0.4)->Get(0, 1), 0.0);                           // rounds to 0: everything 0
  EXPECT_NEAR(run(three, 2.5)->Get(0, 2), std::exp(-25.0 / 8), 1e-15);  // rounds to 2
  EXPECT_NEAR(run(three, 3.5)->Get(2, 1), std::exp(-13.0 / 32), 1e-15); // rounds to 4
  // The shared points are still those of the last set: a structure from a MOL file must not take them.
  Ptr<IMolecule> fromMolFile = NewMolecule();
  fromMolFile->AddAtom()->SetSymbol("C");
  EXPECT_FALSE(run(fromMolFile, 1));
  EXPECT_EQ(run(points({}), 1)->GetRowCount(), 0);
  std::vector<std::vector<double>> many(static_cast<size_t>(kMaxExpMatrixPoints) + 1, {0, 0, 0});
  for (size_t i = 0; i < many.size(); ++i)
    many[i][0] = static_cast<double>(i);
  EXPECT_THROW(run(points(many), 1), EChemError);
  EXPECT_FALSE(SharedDataSpace()->HasParam(kResultExpMatrix)); // the earlier set's matrix is not left behind
  for (const char* name : {kSphereCoordinates, kPort})
    SharedDataSpace()->DeleteParam(name);
}

} // namespace
} // namespace corvatin

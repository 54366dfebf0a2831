// Gasteiger-Marsili charges (J. Gasteiger, M. Marsili, Tetrahedron 36 (1980) 3219-3228): atom types, initial
// charges, the first sweeps worked by hand from the paper's formula, conservation of the total charge and the
// six-sweep limit.
#include "classify_test_util.h"

#include "classify/gasteiger.h"
#include "classify/gasteiger_params.h"

#include "core/numtext.h"

#include <gtest/gtest.h>

#include <fstream>

#include <cmath>
#include <numeric>

namespace corvatin {
namespace {

using test::AsStructure;
using test::Mol;

/// A two-atom input: types t0 and t1 bonded.
TGasteigerInput Pair(std::uint8_t t0, std::uint8_t t1) {
  TGasteigerInput in;
  in.types = {t0, t1};
  in.initialCharges = {0, 0};
  in.firstNeighbour = {0, 1, 2};
  in.neighbours = {1, 0};
  return in;
}

double Sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

TEST(GasteigerSweeps, FirstSweepOfAHeavyPairUsesTheLessElectronegativeCation) {
  // C sp3 (chi 7.98, chi+ 7.98 + 9.18 + 1.88 = 19.04) against O sp3 (chi 14.18): the carbon is the less
  // electronegative, so dq = (14.18 - 7.98) / 19.04 * 0.5.
  const TGasteigerResult r = EqualiseGasteigerCharges(Pair(1, 7), 1);
  const double dq = (14.18 - 7.98) / 19.04 * 0.5;
  EXPECT_NEAR(r.charges[0], dq, 1e-15);
  EXPECT_NEAR(r.charges[1], -dq, 1e-15);
  EXPECT_EQ(r.sweeps, 1);
}

TEST(GasteigerSweeps, HydrogenPairsUseTwentyPointZeroTwo) {
  // Li (chi 3.11, chi+ 8.11) against H (chi 7.17): 20.02 is used, never lithium's cation value.
  const TGasteigerResult one = EqualiseGasteigerCharges(Pair(17, 0), 1);
  const double dq1 = (7.17 - 3.11) / 20.02 * 0.5;
  EXPECT_NEAR(one.charges[0], dq1, 1e-15);
  EXPECT_NEAR(one.charges[1], -dq1, 1e-15);
  // The second sweep starts from chi(q) = a + b q + c q^2 and halves the damping again.
  const double chiLi = 3.11 + 5.0 * dq1;
  const double chiH = 7.17 + 6.24 * -dq1 - 0.56 * dq1 * dq1;
  const double dq2 = (chiH - chiLi) / 20.02 * 0.25;
  const TGasteigerResult two = EqualiseGasteigerCharges(Pair(17, 0), 2);
  EXPECT_NEAR(two.charges[0], dq1 + dq2, 1e-15);
  EXPECT_NEAR(two.charges[1], -(dq1 + dq2), 1e-15);
}

TEST(GasteigerSweeps, NeverMoreThanSixSweeps) {
  // Tetrafluoromethane needs a seventh sweep to get below 0.001 (its fluorines pull hard and the damping is only
  // 1/64 in the sixth sweep), yet the sixth sweep is the last.
  auto cf4 = Mol("FC(F)(F)F");
  const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*cf4));
  const TGasteigerResult six = EqualiseGasteigerCharges(in);
  EXPECT_EQ(six.sweeps, 6);
  // Left alone, the equalisation stops only after the seventh: the sixth still moved a charge by 0.001 or more.
  const TGasteigerResult unlimited = EqualiseGasteigerCharges(in, 100);
  EXPECT_EQ(unlimited.sweeps, 7);
  EXPECT_NE(unlimited.charges, six.charges);
  // The block stops there too.
  int sweeps = 0;
  const std::vector<double> q = GasteigerMarsiliCharges(AsSubGraph(*cf4), &sweeps);
  EXPECT_EQ(sweeps, 6);
  EXPECT_EQ(q, six.charges);
}

TEST(GasteigerSweeps, ConvergedSweepEndsTheIteration) {
  // H2: both ends alike, nothing moves, one sweep.
  const TGasteigerResult r = EqualiseGasteigerCharges(Pair(0, 0));
  EXPECT_EQ(r.sweeps, 1);
  EXPECT_EQ(r.charges, (std::vector<double>{0, 0}));
}

TEST(GasteigerSweeps, BadInputIsRefused) {
  TGasteigerInput in = Pair(1, 1);
  in.neighbours[0] = 5;
  EXPECT_THROW(EqualiseGasteigerCharges(in), std::invalid_argument);
  in = Pair(1, 1);
  in.initialCharges.pop_back();
  EXPECT_THROW(EqualiseGasteigerCharges(in), std::invalid_argument);
}

TEST(GasteigerInitialCharges, Ions) {
  auto m = Mol("C[N+](C)(C)C.C[NH+](C)C.CC(=O)[O-].C[CH2+].[N](C)(C)(C)C.C=[N+]=[N-]");
  const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*m));
  auto initial = [&](int i) { return in.initialCharges[static_cast<size_t>(i)]; };
  for (int i = 0; i < m->VertexCount(); ++i) {
    const IAtom* a = m->GetAtom(i);
    double expected = 0;
    if (a->GetSymbol() == "N" && a->NeighbourCount() == 4) expected = 1;          // ammonium, any charge
    if (a->GetSymbol() == "N" && a->NeighbourCount() == 3 && a->GetCharge() == 1) expected = 1;
    if (a->GetSymbol() == "O" && a->GetCharge() == -1) expected = -0.5;           // carboxylate
    if (a->GetSymbol() == "C" && a->GetCharge() == 1) expected = 1;               // carbocation
    EXPECT_EQ(initial(i), expected) << i << " " << a->GetSymbol();
  }
  // Spot checks so the loop above cannot pass vacuously: the first nitrogen, the neutral four-neighbour one and
  // the two-neighbour cation of the azide-like group.
  EXPECT_EQ(initial(1), 1);
  EXPECT_EQ(m->GetAtom(1)->GetSymbol(), "N");
}

TEST(GasteigerCharges, MethaneIsSymmetric) {
  auto m = Mol("C");
  TGasteigerChargesClassification block;
  block.Classify(AsStructure(m));
  const double h = m->GetAtom(1)->GetFloat(kGasteigerChargeName);
  EXPECT_GT(h, 0);
  for (int i = 1; i <= 4; ++i) EXPECT_DOUBLE_EQ(m->GetAtom(i)->GetFloat(kGasteigerChargeName), h);
  EXPECT_NEAR(m->GetAtom(0)->GetFloat(kGasteigerChargeName), -4 * h, 1e-15);
}

TEST(GasteigerCharges, TotalChargeIsConservedWhenEveryAtomIsTyped) {
  for (const char* smiles : {"CCO", "c1ccncc1", "CC(=O)[O-]", "C[N+](C)(C)C", "FC(Cl)(Br)I", "OC(=O)c1ccccc1O",
                             "CSC", "CC#N", "C=CC=O", "COP(O)(O)=O"}) {
    auto m = Mol(smiles);
    const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*m));
    bool typed = true;
    for (auto t : in.types) typed = typed && t != kGasteigerUntyped;
    const std::vector<double> q = GasteigerMarsiliCharges(AsSubGraph(*m));
    if (typed)
      EXPECT_NEAR(Sum(q), Sum(in.initialCharges), 1e-12) << smiles;
    else
      ADD_FAILURE() << smiles << " has an untyped atom";
  }
}

TEST(GasteigerCharges, UnparameterisedAtomKeepsItsChargeAndIsIgnored) {
  // Silane: silicon has no parameters, so neither it nor its hydrogens (whose only neighbour it is) move.
  auto silane = Mol("[SiH4]");
  for (double q : GasteigerMarsiliCharges(AsSubGraph(*silane))) EXPECT_EQ(q, 0.0);
  // Tetramethylsilane: each methyl equalises as if the silicon were not there.
  auto tms = Mol("C[Si](C)(C)C");
  const std::vector<double> q = GasteigerMarsiliCharges(AsSubGraph(*tms));
  EXPECT_EQ(q[1], 0.0);
  // Each methyl shares charge with its own hydrogens only, so a methyl with its hydrogens stays neutral.
  double methyl = q[0];
  for (int i = 0; i < tms->VertexCount(); ++i)
    if (tms->GetAtom(i)->GetSymbol() == "H" && tms->GetAtom(i)->GetNeighbour(0)->GetIndex() == 0)
      methyl += q[static_cast<size_t>(i)];
  EXPECT_NEAR(methyl, 0.0, 1e-15);
}

TEST(GasteigerCharges, SpOxygenAnionKeepsItsStartingCharge) {
  auto m = Mol("CC#[O-]");
  ASSERT_EQ(m->GetAtom(2)->GetHybridisation(), hySp);
  const std::vector<double> q = GasteigerMarsiliCharges(AsSubGraph(*m));
  EXPECT_EQ(q[2], -0.5);
}

TEST(GasteigerCharges, HeavyAtomsOnlyWhenHydrogensAreImplicit) {
  auto m = NewMolecule();
  for (const char* s : {"C", "C", "O"}) m->AddAtom()->SetSymbol(s);
  m->ConnectIndices(0, 1);
  m->ConnectIndices(1, 2);
  TGasteigerChargesClassification block;
  block.Classify(AsStructure(m));
  EXPECT_EQ(m->VertexCount(), 3);
  double sum = 0;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(m->GetAtom(i)->HasParam(kGasteigerChargeName));
    sum += m->GetAtom(i)->GetFloat(kGasteigerChargeName);
  }
  EXPECT_NEAR(sum, 0.0, 1e-15);
  EXPECT_LT(m->GetAtom(2)->GetFloat(kGasteigerChargeName), 0);
}

TEST(GasteigerCharges, EmptyStructureGetsNothing) {
  auto m = NewMolecule();
  TGasteigerChargesClassification block;
  block.Classify(AsStructure(m));
  block.Classify(nullptr);
  EXPECT_FALSE(m->HasParam(kGasteigerChargeName));
}

} // namespace
} // namespace corvatin

namespace corvatin {
namespace {

TEST(GasteigerReference, MatchesAnIndependentImplementation) {
  // RDKit's Gasteiger-Marsili charges, six iterations, for neutral molecules in which RDKit types every atom as
  // this program does (tests/data/classify/gasteiger_rdkit.tsv, written by scripts/validate_gasteiger.py).
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/classify/gasteiger_rdkit.tsv");
  ASSERT_TRUE(in) << "missing reference file";
  std::string line;
  std::string current;
  Ptr<IMolecule> m;
  std::vector<double> q;
  int atoms = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("smiles\t", 0) == 0) continue;
    std::vector<std::string> f;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      f.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    ASSERT_EQ(f.size(), 5u) << line;
    if (f[0] != current) {
      current = f[0];
      m = Mol(current);
      q = GasteigerMarsiliCharges(AsSubGraph(*m));
    }
    const int i = std::stoi(f[2]);
    ASSERT_LT(i, m->VertexCount()) << current;
    EXPECT_EQ(m->GetAtom(i)->GetSymbol(), f[3]) << current << " atom " << i;
    EXPECT_NEAR(q[static_cast<size_t>(i)], TextToFloat(f[4]), 1e-9) << current << " atom " << i;
    ++atoms;
  }
  EXPECT_GT(atoms, 100);
}

} // namespace
} // namespace corvatin

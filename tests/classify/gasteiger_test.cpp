// Gasteiger-Marsili charges (J. Gasteiger, M. Marsili, Tetrahedron 36 (1980) 3219-3228): the six-sweep limit, initial
// charges of ions, conservation of the total charge, and RDKit's charges for drug molecules.
#include "classify_test_util.h"

#include "classify/gasteiger.h"
#include "classify/gasteiger_params.h"

#include "core/numtext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <sstream>

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

TEST(GasteigerSweeps, NeverMoreThanSixSweeps) {
  // Tetrafluoromethane needs a seventh sweep to get below 0.001 (its fluorines pull hard and the damping is only
  // 1/64 in the sixth sweep), yet the sixth sweep is the last.
  auto cf4 = Mol("FC(F)(F)F");
  const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*cf4));
  const TGasteigerResult six = EqualiseGasteigerCharges(in);
  EXPECT_EQ(six.sweeps, 6);
  const TGasteigerResult unlimited = EqualiseGasteigerCharges(in, 100);
  EXPECT_EQ(unlimited.sweeps, 7);
  EXPECT_NE(unlimited.charges, six.charges);
  int sweeps = 0;
  EXPECT_EQ(GasteigerMarsiliCharges(AsSubGraph(*cf4), &sweeps), six.charges); // the block stops there too
  EXPECT_EQ(sweeps, 6);
}

TEST(GasteigerSweeps, BadInputIsRefusedAndASymmetricPairConvergesAtOnce) {
  // H2: both ends alike, nothing moves, one sweep.
  const TGasteigerResult h2 = EqualiseGasteigerCharges(Pair(0, 0));
  EXPECT_EQ(h2.sweeps, 1);
  EXPECT_EQ(h2.charges, (std::vector<double>{0, 0}));
  TGasteigerInput in = Pair(1, 1);
  in.neighbours[0] = 5;
  EXPECT_THROW(EqualiseGasteigerCharges(in), std::invalid_argument);
  in = Pair(1, 1);
  in.initialCharges.pop_back();
  EXPECT_THROW(EqualiseGasteigerCharges(in), std::invalid_argument);
}

TEST(GasteigerInitialCharges, AmmoniumCarbocationAndCarboxylate) {
  // A four-connected nitrogen starts at +1 whatever its written charge, a three-connected N+ and a carbocation at
  // +1, a carboxylate oxygen at -1/2; a two-connected N+ and other anions at 0.
  auto m = Mol("C[N+](C)(C)C.C[NH+](C)C.CC(=O)[O-].C[CH2+].[N](C)(C)(C)C.C=[N+]=[N-]");
  const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*m));
  std::string heavy;
  for (int i = 0; i < m->VertexCount(); ++i)
    if (m->GetAtom(i)->GetSymbol() != "H") heavy += FloatToText(in.initialCharges[static_cast<size_t>(i)]) + " ";
  EXPECT_EQ(heavy, "0 1 0 0 0 0 1 0 0 0 0 0 -0.5 0 1 1 0 0 0 0 0 0 0 ");
}

TEST(GasteigerCharges, TotalChargeIsConservedWhenEveryAtomIsTypedAndUnparameterisedAtomsKeepTheirs) {
  for (const char* smiles : {"CCO", "c1ccncc1", "CC(=O)[O-]", "C[N+](C)(C)C", "FC(Cl)(Br)I", "OC(=O)c1ccccc1O",
                             "CSC", "CC#N", "C=CC=O", "COP(O)(O)=O"}) {
    auto m = Mol(smiles);
    const TGasteigerInput in = GasteigerInputOf(AsSubGraph(*m));
    for (auto t : in.types) ASSERT_NE(t, kGasteigerUntyped) << smiles;
    EXPECT_NEAR(Sum(GasteigerMarsiliCharges(AsSubGraph(*m))), Sum(in.initialCharges), 1e-12) << smiles;
  }
  // Silane: silicon has no parameters, so neither it nor its hydrogens (whose only neighbour it is) move.
  for (double q : GasteigerMarsiliCharges(AsSubGraph(*Mol("[SiH4]")))) EXPECT_EQ(q, 0.0);
  // An sp oxygen anion has no parameters either and keeps its starting -1/2.
  EXPECT_EQ(GasteigerMarsiliCharges(AsSubGraph(*Mol("CC#[O-]")))[2], -0.5);
}

TEST(GasteigerCharges, HeavyAtomsOnlyWhenHydrogensAreImplicitAndAnEmptyStructureGetsNothing) {
  auto m = NewMolecule();
  for (const char* s : {"C", "C", "O"}) m->AddAtom()->SetSymbol(s);
  m->ConnectIndices(0, 1);
  m->ConnectIndices(1, 2);
  TGasteigerChargesClassification block;
  block.Classify(AsStructure(m));
  ASSERT_EQ(m->VertexCount(), 3);
  EXPECT_NEAR(Sum({m->GetAtom(0)->GetFloat(kGasteigerChargeName), m->GetAtom(1)->GetFloat(kGasteigerChargeName),
                   m->GetAtom(2)->GetFloat(kGasteigerChargeName)}), 0.0, 1e-15);
  EXPECT_LT(m->GetAtom(2)->GetFloat(kGasteigerChargeName), 0);
  auto empty = NewMolecule();
  block.Classify(AsStructure(empty));
  block.Classify(nullptr);
  EXPECT_FALSE(empty->HasParam(kGasteigerChargeName));
}

TEST(GasteigerReference, MatchesAnIndependentImplementation) {
  // RDKit's Gasteiger-Marsili charges, six iterations, for neutral molecules in which RDKit types every atom as
  // this program does (tests/data/classify/gasteiger_rdkit.tsv, written by scripts/validate_gasteiger.py).
  std::ifstream in(std::string(CORVATIN_TEST_DATA_DIR) + "/classify/gasteiger_rdkit.tsv");
  ASSERT_TRUE(in) << "missing reference file";
  std::string line, current, name, symbol, charge;
  Ptr<IMolecule> m;
  std::vector<double> q;
  int atoms = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("smiles\t", 0) == 0) continue;
    std::istringstream fields(line);
    std::string smiles;
    int i = -1;
    ASSERT_TRUE(std::getline(fields, smiles, '\t') && std::getline(fields, name, '\t') &&
                fields >> i >> symbol >> charge)
        << line;
    if (smiles != current) {
      current = smiles;
      m = Mol(current);
      q = GasteigerMarsiliCharges(AsSubGraph(*m));
    }
    ASSERT_LT(i, m->VertexCount()) << current;
    EXPECT_EQ(m->GetAtom(i)->GetSymbol(), symbol) << current << " atom " << i;
    EXPECT_NEAR(q[static_cast<size_t>(i)], TextToFloat(charge), 1e-9) << current << " atom " << i;
    ++atoms;
  }
  EXPECT_GT(atoms, 100);
}

} // namespace
} // namespace corvatin

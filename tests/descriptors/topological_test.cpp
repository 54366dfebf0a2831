// The topological and physicochemical blocks. Frozen references of tests/data replayed through the preparation of
// the topological procedure (completion, standard classification) and the blocks: RDKit's values for every second
// drug-like molecule of the shared fixture set (topological_reference.tsv by scripts/validate_topological.py; "-"
// where definitions differ), kappa(alpha) for S, P, halogens and aromatic atoms (kappa_alpha_hand.tsv) and small
// molecules worked out by hand, among them the cells RDKit does not give (topological_hand.tsv); each file names its
// sources. Then the subgraph census against the substructure finder's occurrences of every path, cluster,
// path-cluster and chain template (Kier and Hall's kinds) on awkward ring systems and random molecules, and its
// limit; structures without heavy bonds, failures that must leave nothing behind, plain graphs, sums that leave
// hydrogens out.

#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "descriptor_test_util.h"
#include "descriptors/connectivity_matrices.h"
#include "descriptors/graph_indexes.h"
#include "descriptors/kappa.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"
#include "descriptors/topsmode.h"
#include "graph/model.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::ForEachRow;
using test::Row;

bool Near(double ours, double reference, double relative) {
  return std::fabs(ours - reference) <= relative * std::max(1.0, std::fabs(reference));
}

// The molecule and block chain of the "Topological Indices" procedure.
class TopologicalChain {
public:
  TopologicalChain() {
    SharedDataSpace()->AddParam(port_, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule_)), nullptr, true);
    for (auto& block : chain_)
      block->SetPortName(0, port_);
  }
  ~TopologicalChain() { SharedDataSpace()->DeleteParam(port_); }
  IMolecule& Run(const std::string& smiles) {
    ParseSMILES(smiles, *molecule_);
    bool more = true;
    for (auto& block : chain_)
      block->Execute(more);
    return *molecule_;
  }

private:
  const std::string port_ = "TopologicalReference";
  const Ptr<IMolecule> molecule_ = NewMolecule();
  std::vector<Ptr<TBlock>> chain_{std::make_shared<TMoleculeCompletion>(), std::make_shared<TStdClassification>(),
                                  std::make_shared<TTopologicalIndexes>(), std::make_shared<TPhysicoChemProperties>()};
};

double KappaCell(const IMolecule& m, const char* name, int k) {
  Ptr<IDoubleMatrix> matrix = m.GetMatrix(name);
  return matrix ? matrix->Get(0, k) : std::nan("");
}

TEST(TopologicalReference, AgreesWithRDKitOnTheFixtureSet) {
  TopologicalChain chain;
  int compared = 0;
  const int rows = ForEachRow("topological_reference.tsv", [&](const Row& cell) {
    IMolecule& molecule = chain.Run(cell.at("smiles"));
    auto check = [&](const std::string& column, double ours, double relative = 1e-10, const char* less = nullptr) {
      if (cell.at(column) == "-") return;
      ++compared;
      const double reference =
          TextToFloat(cell.at(column)) - (less && cell.at(less) != "-" ? TextToFloat(cell.at(less)) : 0);
      EXPECT_TRUE(Near(ours, reference, relative))
          << cell.at("name") << " " << column << ": ours " << FormatGeneral(ours, 17) << ", reference " << reference;
    };
    check("W", molecule.GetFloat("Wiener index"));
    check("H", molecule.GetFloat("Harary number"));
    check("M1", molecule.GetFloat("Zagreb M1 index"));
    check("M2", molecule.GetFloat("Zagreb M2 index"));
    check("J", molecule.GetFloat("Balaban index"));
    Ptr<IDoubleMatrix> chi = molecule.GetMatrix("Randic branching index");
    Ptr<IDoubleMatrix> chiV = molecule.GetMatrix("Valence connectivity index");
    ASSERT_TRUE(chi && chiV) << cell.at("name");
    check("Chi1", chi->Get(0, 0));
    check("Chi1n", chiV->Get(0, 0));
    check("Chi2n", chiV->Get(1, 0));
    check("Chi3n", chiV->Get(2, 0), 1e-10, "closed3"); // less RDKit's paths that close on themselves
    check("Chi4n", chiV->Get(3, 0), 1e-10, "closed4");
    for (int k = 0; k < 3; ++k) {
      check("k" + std::to_string(k + 1), KappaCell(molecule, "kappa index", k));
      if (cell.count("k1a")) check("k" + std::to_string(k + 1) + "a", KappaCell(molecule, "kappa(alpha) index", k));
    }
    if (cell.count("phi")) check("phi", molecule.GetFloat("Flexibility index"));
    // Single-precision atomic weights: a few 1e-6 g/mol per atom.
    check("weight", molecule.GetFloat("Molecular weight"), 1e-5);
  });
  EXPECT_GT(rows, 900);
  EXPECT_GT(compared, 10000);
}

TEST(TopologicalReference, SmallMoleculesMatchTheirHandValuesAmongThemKappaAlphaForSPHalogensAndAromaticAtoms) {
  TopologicalChain chain;
  const std::string kinds[] = {"P", "C", "PC", "Ch"};
  // result, cell ("-" a number, kN the N-th kappa, order and kind of a connectivity matrix), expected value
  const auto expect = [&](const Row& row, const std::string& result, const std::string& at, const std::string& value) {
    IMolecule& molecule = chain.Run(row.at("smiles"));
    double ours = at[0] == 'k' ? KappaCell(molecule, result.c_str(), at[1] - '1') : molecule.GetFloat(result);
    for (int kind = 0; kind < 4 && at != "-" && at[0] != 'k'; ++kind)
      if (at.substr(1) == kinds[kind]) ours = molecule.GetMatrix(result)->Get(at[0] - '1', kind);
    EXPECT_TRUE(Near(ours, TextToFloat(value), 1e-10))
        << row.at("smiles") << " " << result << " " << at << ": " << FormatGeneral(ours, 17);
  };
  EXPECT_GE(ForEachRow("topological_hand.tsv",
                       [&](const Row& row) { expect(row, row.at("result"), row.at("cell"), row.at("value")); }),
            40);
  EXPECT_GE(ForEachRow("kappa_alpha_hand.tsv",
                       [&](const Row& row) {
                         for (const char* k : {"1", "2", "3"})
                           expect(row, "kappa(alpha) index", std::string("k") + k, row.at(std::string(k) + "ka"));
                         expect(row, "Flexibility index", "-", row.at("phi"));
                       }),
            9);
}

/// A plain graph of n + 1 vertices: a path, or a star around vertex 0.
Ptr<TGraph> Graph(int n, bool star) {
  auto g = std::make_shared<TGraph>();
  g->AddVertices(n + 1);
  for (int i = 1; i <= n; ++i)
    g->ConnectIndices(star ? 0 : i - 1, i);
  return g;
}

void ExpectSameAsFinder(const Ptr<IMolecule>& m, const std::string& what) {
  const TCompactGraph graph = TCompactGraph::HeavyAtomGraph(AsSubGraph(*m));
  const TAtomDeltas d = AtomDeltas(graph);
  const TSubgraphSums fast = SubgraphCensus(graph, d.delta, d.valence, d.edgeDegree);
  const TSubgraphSums slow = test::FinderCensus(WorkingGraph(std::dynamic_pointer_cast<ISubGraph>(m), false));
  for (size_t r = 0; r < kSubgraphOrders; ++r)
    for (size_t c = 0; c < kSubgraphKinds; ++c) {
      SCOPED_TRACE(what + " order " + std::to_string(r + 1) + " kind " + std::to_string(c));
      EXPECT_EQ(fast.count[r][c], slow.count[r][c]);
      for (auto sums : {&TSubgraphSums::vertex1, &TSubgraphSums::vertex2, &TSubgraphSums::edge}) {
        const double want = static_cast<double>((slow.*sums)[r][c]);
        EXPECT_NEAR(static_cast<double>((fast.*sums)[r][c]), want, 1e-12 * std::max(1.0, std::fabs(want)));
      }
    }
}

TEST(SubgraphCensus, MatchesTheTemplateOccurrencesOnRingSystemsAndRandomMolecules) {
  for (const char* smiles : {
           "C1CC1CC",                 // three-ring: closes on itself, never a path
           "C12CC1C2",                // bicyclo[1.1.0]butane: fused three-rings
           "C12C3C1C23",              // tetrahedrane: every pair bonded
           "C12C3C4C1C5C2C3C45",      // cubane
           "C1C2CC3CC1CC(C2)C3",      // adamantane
           "C1CCC2(CC1)CCCC2",        // spiro centre
           "CC(C)(C)C(C)(C)C(C)(C)C", // crowded quaternary carbons
           "FS(F)(F)(F)(F)F",         // six bonds at one atom: the six-star
           "O=C(O)c1ccccc1OC(C)=O",   // aspirin
       })
    ExpectSameAsFinder(test::FromSmiles(smiles), smiles);
  std::mt19937 rng(20240612);
  for (int trial = 0; trial < 40; ++trial) {
    const int atoms = std::uniform_int_distribution<int>(2, 18)(rng);
    const int rings = std::uniform_int_distribution<int>(0, 4)(rng);
    ExpectSameAsFinder(test::RandomMolecule(rng, atoms, rings, trial % 2 == 0), "trial " + std::to_string(trial));
  }
}

TEST(SubgraphCensus, RefusesMoreSetsThanItsLimitAndAHugeStarBeforeCounting) {
  // A star of eight bonds has exactly sum C(8, k), k = 1..6, = 246 sets.
  const TCompactGraph small(*Graph(8, true));
  const std::vector<long double> w(9, 1), we(8, 1);
  EXPECT_NO_THROW(SubgraphCensus(small, w, w, we, 246));
  EXPECT_THROW(SubgraphCensus(small, w, w, we, 245), EChemError);
  // Two hundred bonds at one vertex: C(200, 6) = 8.2e10 six-bond stars alone. Fails at once, not in minutes.
  const std::vector<long double> ones(201, 1), edges(200, 1);
  EXPECT_THROW(SubgraphCensus(TCompactGraph(*Graph(200, true)), ones, ones, edges), EChemError);
}

TEST(TopologicalIndexes, ARunWithoutHeavyBondsOrAFailedOneLeavesNoValueOfAnEarlierRun) {
  // The editor's molecule is reused: ethane's values must not be written again for methane.
  Ptr<IMolecule> m = test::FromSmiles("CC");
  TTopologicalIndexes block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  m->DeleteVertex(m->GetAtom(1));
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  for (const char* name : {"kappa index", "kappa(alpha) index", "Flexibility index", "Randic branching index"})
    EXPECT_FALSE(m->HasParam(name)) << name;
  EXPECT_EQ(m->GetFloat("Wiener index"), 0.0);
  // A census over its limit removes its temporary mark and every result.
  Ptr<IMolecule> hexane = test::FromSmiles("CCCCCC");
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(hexane));
  block.SetSubgraphLimit(3);
  EXPECT_THROW(block.Classify(std::dynamic_pointer_cast<ISubGraph>(hexane)), EChemError);
  EXPECT_FALSE(hexane->AnyVertexHasParam(kParamValenceConnectivity));
  for (int i = 0; i < block.GetValueCount(ekMolecule); ++i)
    EXPECT_FALSE(hexane->HasParam(block.GetValueName(ekMolecule, i))) << block.GetValueName(ekMolecule, i);
}

TEST(TopologicalIndexes, PlainGraphsAreMeasuredAsTheirSkeletonOrFailAloneWhenTooBigOrUnableToCarryResults) {
  TTopologicalIndexes block;
  Ptr<TGraph> g = Graph(3, false);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(g));
  EXPECT_DOUBLE_EQ(g->GetFloat("Wiener index"), 10.0);
  EXPECT_EQ(g->GetMatrix("Valence connectivity index")->Get(0, 0), 0.0); // no element, no valence electrons
  Ptr<TGraph> big = Graph(kMaxTopologicalAtoms, false);
  EXPECT_THROW(block.Classify(std::dynamic_pointer_cast<ISubGraph>(big)), EChemError);
  EXPECT_FALSE(big->HasParam("Wiener index"));
  Ptr<ISubGraph> part = g->CreateSubGraph(); // a plain sub-graph has no parameters
  part->AddEdge(g->GetEdge(0));
  EXPECT_THROW(block.Classify(part), EChemError);
  EXPECT_EQ(KappaIndexes(TKappaCounts{4, 3, 2, 1}, -1)[2], 0.0L); // P3 + alpha = 0 leaves kappa 3 at 0
}

TEST(PhysicoChemProperties, SumsAtomValuesOverBondedHeavyAtomsAndWeighsEveryAtom) {
  Ptr<IMolecule> m = test::FromSmiles("CCO");
  for (int i = 0; i < m->VertexCount(); ++i) {
    IAtom* a = m->GetAtom(i);
    const double value = a->GetSymbol() == "C" ? 0.5 : a->GetSymbol() == "O" ? -1.25 : 100.0; // H: never summed
    for (const char* name : {"Hydrophobicity", "Polar surface", "Polarizability", "Van der Waals radius"})
      a->SetFloat(name, value);
  }
  TPhysicoChemProperties block;
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  for (const char* name :
       {"Hydrophobicity", "Polar surface area", "Molecular polarizability", "Van der Waals radius summatory"})
    EXPECT_DOUBLE_EQ(m->GetFloat(name), 0.5 + 0.5 - 1.25) << name;
  EXPECT_NEAR(m->GetFloat("Molecular weight"), 46.07, 0.01); // C2H6O
  // Methane's carbon is bonded to no heavy atom: outside the graph, but it weighs.
  Ptr<IMolecule> methane = test::FromSmiles("C");
  methane->GetAtom(0)->SetFloat("Hydrophobicity", 0.3);
  block.Classify(std::dynamic_pointer_cast<ISubGraph>(methane));
  EXPECT_EQ(methane->GetFloat("Hydrophobicity"), 0.0);
  EXPECT_NEAR(methane->GetFloat("Molecular weight"), 16.04, 0.01);
}

} // namespace
} // namespace corvatin

// Replays frozen references through the preparation of the topological procedure (completion, standard
// classification) and the blocks:
// - tests/data/topological_reference.tsv, written by scripts/validate_topological.py from every second molecule of
//   the 2,000 drug-like SMILES of the shared fixture set: Wiener, Harary, Zagreb and Balaban values, chi of order 1,
//   chi-v of paths of orders 1 to 4 (RDKit's Chi1n..Chi4n less its paths that close on themselves), kappa with and
//   without alpha, the flexibility index and the molecular weight. Cells marked "-" differ for a documented reason.
// - tests/data/kappa_alpha_hand.tsv: kappa(alpha) and flexibility worked out by hand for S, P, halogens and
//   aromatic atoms;
// - tests/data/topological_hand.tsv: small molecules worked out by hand, among them the cells RDKit does not give
//   (clusters, chains, epsilon) and Balaban's J of structures in several pieces.

#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "core/numtext.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"
#include "topsmode_test_util.h"

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
    auto check = [&](const std::string& column, double ours, double relative = 1e-10, double offset = 0) {
      if (cell.at(column) == "-") return;
      ++compared;
      const double reference = TextToFloat(cell.at(column)) - offset;
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
    const double closed3 = cell.at("closed3") == "-" ? 0 : TextToFloat(cell.at("closed3"));
    const double closed4 = cell.at("closed4") == "-" ? 0 : TextToFloat(cell.at("closed4"));
    check("Chi3n", chiV->Get(2, 0), 1e-10, closed3);
    check("Chi4n", chiV->Get(3, 0), 1e-10, closed4);
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

TEST(TopologicalReference, KappaAlphaAndFlexibilityMatchHandValuesForSPHalogensAndAromaticAtoms) {
  TopologicalChain chain;
  const int rows = ForEachRow("kappa_alpha_hand.tsv", [&](const Row& cell) {
    IMolecule& molecule = chain.Run(cell.at("smiles"));
    for (int k = 0; k < 3; ++k) {
      const std::string column = std::to_string(k + 1) + "ka";
      EXPECT_NEAR(KappaCell(molecule, "kappa(alpha) index", k), TextToFloat(cell.at(column)), 1e-9)
          << cell.at("name") << " " << column;
    }
    EXPECT_NEAR(molecule.GetFloat("Flexibility index"), TextToFloat(cell.at("phi")), 1e-9) << cell.at("name");
  });
  EXPECT_GE(rows, 9);
}

TEST(TopologicalReference, SmallMoleculesMatchTheirHandValues) {
  TopologicalChain chain;
  const std::string kinds[] = {"P", "C", "PC", "Ch"};
  const int rows = ForEachRow("topological_hand.tsv", [&](const Row& cell) {
    IMolecule& molecule = chain.Run(cell.at("smiles"));
    const std::string& at = cell.at("cell");
    double ours = molecule.GetFloat(cell.at("result"));
    if (at[0] == 'k') ours = KappaCell(molecule, cell.at("result").c_str(), at[1] - '1');
    for (int kind = 0; kind < 4 && at != "-" && at[0] != 'k'; ++kind)
      if (at.substr(1) == kinds[kind]) ours = molecule.GetMatrix(cell.at("result"))->Get(at[0] - '1', kind);
    EXPECT_TRUE(Near(ours, TextToFloat(cell.at("value")), 1e-14))
        << cell.at("smiles") << " " << cell.at("result") << " " << at << ": " << FormatGeneral(ours, 17);
  });
  EXPECT_GE(rows, 40);
}

} // namespace
} // namespace corvatin

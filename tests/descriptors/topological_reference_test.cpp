// Replays the frozen references of tests/data through the preparation of the topological procedure (completion,
// standard classification) and the blocks: RDKit's values for every second drug-like molecule of the shared fixture
// set (topological_reference.tsv by scripts/validate_topological.py; "-" where definitions differ), kappa(alpha) for
// S, P, halogens and aromatic atoms (kappa_alpha_hand.tsv) and small molecules worked out by hand, among them the
// cells RDKit does not give (topological_hand.tsv). Each file names its sources.

#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "core/numtext.h"
#include "descriptor_test_util.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"

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

} // namespace
} // namespace corvatin

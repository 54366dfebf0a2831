// Replays the frozen RDKit reference (tests/data/topological_reference.tsv, written by
// scripts/validate_topological.py from every second molecule of the 2,000 drug-like SMILES of the shared fixture
// set): each SMILES goes through the preparation of the topological procedure (completion, standard
// classification) and the blocks, and the Wiener, Harary, Zagreb and Balaban values, chi of order 1, chi-v of
// paths of orders 1 to 4 (RDKit's Chi1n..Chi4n less its paths that close on themselves), kappa without alpha and
// the molecular weight must match. Cells the reference marks "-" differ for a documented reason.

#include "chem/completion_block.h"
#include "chem/smiles.h"
#include "classify/std_classification.h"
#include "core/numtext.h"
#include "descriptors/physchem.h"
#include "descriptors/topological_indexes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corvatin {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

bool Near(double ours, double reference, double relative) {
  return std::fabs(ours - reference) <= relative * std::max(1.0, std::fabs(reference));
}

TEST(TopologicalReference, AgreesWithRDKitOnTheFixtureSet) {
  std::ifstream file(std::string(CORVATIN_TEST_DATA_DIR) + "/topological_reference.tsv");
  ASSERT_TRUE(file) << "tests/data/topological_reference.tsv missing";
  const std::string port = "TopologicalReference";
  const Ptr<IMolecule> molecule = NewMolecule();
  SharedDataSpace()->AddParam(port, MakeInterfaceParam<IGraph>(Ptr<IGraph>(molecule)), nullptr, true);
  std::vector<Ptr<TBlock>> chain{std::make_shared<TMoleculeCompletion>(), std::make_shared<TStdClassification>(),
                                 std::make_shared<TTopologicalIndexes>(), std::make_shared<TPhysicoChemProperties>()};
  for (auto& block : chain) block->SetPortName(0, port);

  std::string line;
  std::vector<std::string> columns;
  int rows = 0, compared = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = SplitTabs(line);
    if (columns.empty()) {
      columns = f;
      continue;
    }
    ASSERT_EQ(f.size(), columns.size()) << line;
    std::map<std::string, std::string> cell;
    for (size_t i = 0; i < f.size(); ++i) cell[columns[i]] = f[i];
    ++rows;
    ParseSMILES(cell["smiles"], *molecule);
    bool more = true;
    for (auto& block : chain) block->Execute(more);

    auto check = [&](const std::string& column, double ours, double relative = 1e-10, double offset = 0) {
      if (cell[column] == "-") return;
      ++compared;
      const double reference = TextToFloat(cell[column]) - offset;
      EXPECT_TRUE(Near(ours, reference, relative))
          << cell["name"] << " " << column << ": ours " << FormatGeneral(ours, 17) << ", reference " << reference;
    };
    check("W", molecule->GetFloat("Wiener index"));
    check("H", molecule->GetFloat("Harary number"));
    check("M1", molecule->GetFloat("Zagreb M1 index"));
    check("M2", molecule->GetFloat("Zagreb M2 index"));
    check("J", molecule->GetFloat("Balaban index"));
    Ptr<IDoubleMatrix> chi = molecule->GetMatrix("Randic branching index");
    Ptr<IDoubleMatrix> chiV = molecule->GetMatrix("Valence connectivity index");
    Ptr<IDoubleMatrix> kappa = molecule->GetMatrix("kappa index");
    ASSERT_TRUE(chi && chiV && kappa) << cell["name"];
    check("Chi1", chi->Get(0, 0));
    check("Chi1n", chiV->Get(0, 0));
    check("Chi2n", chiV->Get(1, 0));
    const double closed3 = cell["closed3"] == "-" ? 0 : TextToFloat(cell["closed3"]);
    const double closed4 = cell["closed4"] == "-" ? 0 : TextToFloat(cell["closed4"]);
    check("Chi3n", chiV->Get(2, 0), 1e-10, closed3);
    check("Chi4n", chiV->Get(3, 0), 1e-10, closed4);
    for (int k = 0; k < 3; ++k) check("k" + std::to_string(k + 1), kappa->Get(0, k));
    // Single-precision atomic weights: a few 1e-6 g/mol per atom.
    check("weight", molecule->GetFloat("Molecular weight"), 1e-5);
  }
  SharedDataSpace()->DeleteParam(port);
  EXPECT_GT(rows, 900);
  EXPECT_GT(compared, 10000);
}

} // namespace
} // namespace corvatin

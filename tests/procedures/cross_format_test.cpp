// The same molecules read from every input format give the same descriptor values: hydrogens and aromatic rings
// are completed alike whatever the file states (tests/data/completion/SOURCES.md for the files).

#include "batch_fixture.h"

#include <algorithm>
#include <cmath>
#include <map>

using namespace corvatin;
using namespace corvatin::testing;

namespace {

const std::string kData = std::string(CORVATIN_TEST_DATA_DIR) + "/completion/";

// The columns of two data lines that differ by more than rounding: atoms come in another order from each format,
// so sums of a dozen digits may differ in their last printed one.
std::vector<std::string> Differences(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                     const std::vector<std::string>& header) {
  std::vector<std::string> columns;
  for (std::size_t k = 1; k < std::max(a.size(), b.size()); ++k) {
    const std::string x = k < a.size() ? a[k] : "", y = k < b.size() ? b[k] : "";
    if (x == y) continue;
    double u = 0.0, v = 0.0;
    try {
      u = std::stod(x);
      v = std::stod(y);
    } catch (const std::exception&) {
      columns.push_back(header[k]);
      continue;
    }
    if (std::fabs(u - v) > 1e-9 * std::max(1.0, std::fabs(u))) columns.push_back(header[k] + " " + x + " " + y);
  }
  return columns;
}

} // namespace

TEST_F(BatchRun, FixtureDrugsGiveTheSameValuesAsSmilesAsSdWithAndWithoutHydrogensAndAsMol2) {
  // scripts/validate_hydrogens.py finds 7 differences over all 2,000 fixture molecules, the same for every file
  // form (aromatic rings; see its output): none falls in this sample of 50.
  const std::vector<std::string> files = {"cross.sml2", "cross-h.sdf", "cross-noh.sdf", "cross.mol2"};
  const std::vector<std::pair<std::string, std::string>> runs = {{"TOPS-MODE", "TOPS-MODE.txt"},
                                                                 {"Physicochemical descriptors", "PhysChem.txt"},
                                                                 {"Topological Indices", "TopolInd.txt"}};
  for (const auto& [procedure, result] : runs) {
    for (const auto& file : files)
      ASSERT_EQ(Run(procedure, {kData + file}, procedure == "TOPS-MODE" ? "all" : ""), beSuccess) << log_.str();
    const auto lines = DataLines(result);
    ASSERT_EQ(lines.size(), 1 + 4 * 50u) << procedure;
    for (std::size_t i = 1; i <= 50; ++i) {
      const auto smiles = Cells(lines[i]);
      for (std::size_t f = 1; f < files.size(); ++f) {
        const auto other = Cells(lines[i + 50 * f]);
        EXPECT_EQ(other[0], smiles[0]) << files[f];
        EXPECT_EQ(Differences(smiles, other, Cells(lines[0])), std::vector<std::string>{})
            << procedure << ": " << smiles[0] << " from " << files[f];
      }
    }
  }
}

TEST_F(BatchRun, TheBundledSamplesGiveTheSameMomentsFromSdAndFromSmiles) {
  const std::string samples = std::string(CORVATIN_DATA_DIR) + "/samples/";
  ASSERT_EQ(Run("TOPS-MODE", {samples + "drugs.sml2"}, "all"), beSuccess) << log_.str();
  ASSERT_EQ(Run("TOPS-MODE", {samples + "drugs.sdf"}, "all"), beSuccess) << log_.str();
  const auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 1 + 2 * 36u);
  std::map<std::string, std::vector<std::string>> fromSmiles;
  for (std::size_t i = 1; i <= 36; ++i) {
    auto cells = Cells(lines[i]);
    fromSmiles[cells[0]] = std::vector<std::string>(cells.begin() + 1, cells.end());
  }
  for (std::size_t i = 37; i < lines.size(); ++i) {
    auto cells = Cells(lines[i]);
    ASSERT_TRUE(fromSmiles.count(cells[0])) << cells[0];
    auto smiles = fromSmiles[cells[0]];
    smiles.insert(smiles.begin(), cells[0]);
    EXPECT_EQ(Differences(smiles, cells, Cells(lines[0])), std::vector<std::string>{}) << cells[0];
  }
}

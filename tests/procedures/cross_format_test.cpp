// The same molecules read from every input format give the same descriptor values: hydrogens and aromatic rings
// are completed alike whatever the file states (tests/data/completion/SOURCES.md for the files).

#include "batch_fixture.h"

#include <algorithm>
#include <cmath>

using namespace corvatin;
using namespace corvatin::testing;

namespace {

// The columns of two data lines that differ by more than rounding: atoms come in another order from each format,
// so sums of a dozen digits may differ in their last printed one.
std::vector<std::string> Differences(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                     const std::vector<std::string>& header) {
  std::vector<std::string> columns;
  for (std::size_t k = 1; k < std::max(a.size(), b.size()); ++k) {
    const std::string x = k < a.size() ? a[k] : "", y = k < b.size() ? b[k] : "";
    if (x == y) continue;
    try {
      const double u = std::stod(x), v = std::stod(y);
      if (std::fabs(u - v) <= 1e-9 * std::max(1.0, std::fabs(u))) continue;
    } catch (const std::exception&) {
    }
    columns.push_back((k < header.size() ? header[k] : "?") + " " + x + " " + y);
  }
  return columns;
}

} // namespace

// scripts/validate_hydrogens.py finds 7 differences over all 2,000 fixture molecules, the same for every file form
// (aromatic rings; see its output): none falls in the sample of 50. The bundled samples come as SMILES and SD.
TEST_F(BatchRun, TheSameMoleculesGiveTheSameValuesFromEveryFileForm) {
  const std::string fixture = std::string(CORVATIN_TEST_DATA_DIR) + "/completion/";
  const std::string samples = std::string(CORVATIN_DATA_DIR) + "/samples/";
  const std::vector<std::string> forms = {fixture + "cross.sml2", fixture + "cross-h.sdf", fixture + "cross-noh.sdf",
                                          fixture + "cross.mol2"};
  struct Case {
    std::string procedure, weights, dataFile;
    std::vector<std::string> files;
    std::size_t molecules;
  };
  const Case cases[] = {
      {"TOPS-MODE", "all", "TOPS-MODE.txt", forms, 50},
      {"Physicochemical descriptors", "", "PhysChem.txt", forms, 50},
      {"Topological Indices", "", "TopolInd.txt", forms, 50},
      {"TOPS-MODE", "all", "TOPS-MODE.txt", {samples + "drugs.sml2", samples + "drugs.sdf"}, 36},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_ / "results");
    for (const auto& file : c.files)
      ASSERT_EQ(Run(c.procedure, {file}, c.weights), beSuccess) << log_.str();
    const auto lines = DataLines(c.dataFile);
    ASSERT_EQ(lines.size(), 1 + c.files.size() * c.molecules) << c.procedure;
    for (std::size_t i = 1; i <= c.molecules; ++i) {
      const auto first = Cells(lines[i]);
      for (std::size_t f = 1; f < c.files.size(); ++f) {
        const auto other = Cells(lines[i + c.molecules * f]);
        EXPECT_EQ(other[0], first[0]) << c.files[f];
        EXPECT_EQ(Differences(first, other, Cells(lines[0])), std::vector<std::string>{})
            << c.procedure << ": " << first[0] << " from " << c.files[f];
      }
    }
  }
}

// The column reference against the files themselves: every procedure run on a small fixture writes exactly the
// header cells, in the order, that --columns lists for its settings, and no data file --columns does not list;
// every column listed is defined.

#include "batch_fixture.h"

#include "outputs/codepage.h"
#include "procedures/columns.h"

#include <map>
#include <set>

namespace corvatin::testing {
namespace {

namespace fs = std::filesystem;

struct ColumnCase {
  const char* procedure;
  const char* fixture; // under tests/data
  const char* weights;
  std::vector<std::string> assignments;
};

TEST_F(BatchRun, EveryDataFileHeaderIsWhatTheColumnReferenceLists) {
  const ColumnCase cases[] = {
      {"TOPS-MODE", "formats/CS_ethanol.mol", "all", {}},
      {"TOPS-MODE Fragment Contributions", "formats/CS_ethanol.mol", "Hydrophobicity,Abraham - log L16",
       {"Max Order=4", "Include Hydrogen atoms=yes"}},
      {"TOPS-MODE Local Contributions", "formats/CS_ethanol.mol", "all", {}},
      {"Physicochemical descriptors", "formats/CS_ethanol.mol", "", {}},
      {"Topological Indices", "formats/CS_ethanol.mol", "", {}},
      {"Topographic Indices", "mopac/methanol_allvec_1scf.out", "", {}},
      {"Quantum-Chemical descriptors", "mopac/methanol_allvec_1scf.out", "", {}},
      {"Sphere TEST", "formats/CS_ethanol.xyz", "", {}},
  };
  for (const ColumnCase& c : cases) {
    SCOPED_TRACE(c.procedure);
    fs::remove_all(dir_ / "results");
    ASSERT_EQ(Run(c.procedure, {std::string(CORVATIN_TEST_DATA_DIR) + "/" + c.fixture}, c.weights, c.assignments), 0)
        << log_.str();
    std::map<std::string, std::vector<std::string>> listed; // file -> labels, in order
    for (const TColumnInfo& column : DescribeColumns(*ChooseProcedure(*catalogue_, c.procedure))) {
      listed[column.file].push_back(column.label);
      EXPECT_FALSE(column.definition.empty()) << column.file << ": " << column.label;
    }

    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(dir_ / "results"))
      if (entry.path().filename() != "Results.txt") written.insert(entry.path().filename().string());
    std::set<std::string> files;
    for (const auto& [file, labels] : listed) files.insert(file);
    EXPECT_EQ(written, files);

    for (const auto& [file, labels] : listed) {
      const auto lines = DataLines(file);
      ASSERT_FALSE(lines.empty()) << file;
      std::vector<std::string> header = Cells(FromWindows1252(lines[0]));
      ASSERT_EQ(header.back(), "") << file; // every cell is followed by a tab
      header.pop_back();
      // One column per point stands for the run of numbers 0, 1, ... that fills the rest of the header.
      std::vector<std::string> expected;
      for (const auto& label : labels)
        if (label == kPointColumnsLabel)
          for (size_t n = 0; expected.size() < header.size(); ++n) expected.push_back(std::to_string(n));
        else
          expected.push_back(label);
      EXPECT_EQ(header, expected) << file;
    }
  }
}

} // namespace
} // namespace corvatin::testing

// The end of a result file as the lock leaves it: an unfinished last line (a writer killed in mid-write) is cut off
// before anything reads the header or appends, whole lines are never touched.

#include "output_test_util.h"
#include "outputs/result_files.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

TEST(ResultFileLock, CutsAnUnfinishedLastLineAndCompletesOnlyLinesThatAreWhole) {
  const std::string header = "Name\tA\tB\t\r\n", row = "x\t1\t2\t\r\n";
  // Longer than any one read on the way back to the last line end.
  const std::string longTail = "y\t" + std::string(100000, '7');
  struct Case {
    const char* what;
    bool rows; // a data file: every line has the header's cells
    std::string before, after;
    size_t cut, added;
  };
  const Case cases[] = {
      {"whole lines", true, header + row, header + row, 0, 0},
      {"a row cut in its last cell", true, header + row + "y\t3\t4", header + row, 5, 0},
      {"a row cut after many pages", true, header + row + longTail, header + row, longTail.size(), 0},
      {"a header cut before its line end", true, "Name\tA\tB", "", 8, 0},
      {"a header cut between CR and LF", true, "Name\tA\tB\t\r", "Name\tA\tB\t\r\n", 0, 1},
      {"a row cut between CR and LF", true, header + row + "y\t3\t4\t\r", header + row + "y\t3\t4\t\r\n", 0, 1},
      {"a whole row, its line end dropped", true, header + row + "y\t3\t4\t", header + row + "y\t3\t4\t\r\n", 0, 2},
      {"a results file's name line cut short", false, "Molecule name: x\r\n\r\nMolecule name: y",
       "Molecule name: x\r\n\r\n", 16, 0},
      {"LF line ends", true, "Name\tA\t\nx\t1\t\ny\t", "Name\tA\t\nx\t1\t\n", 2, 0},
      {"CR line ends", true, "Name\tA\t\rx\t1\t\r", "Name\tA\t\rx\t1\t\r", 0, 0},
      {"nothing", true, "", "", 0, 0},
  };
  const std::string folder = test::MakeTempFolder("lock");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = folder + "/file.txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.before;
    TResultFile file(path, c.rows);
    const TTailRepair repair = file.Lock();
    EXPECT_EQ(repair.cut, c.cut);
    EXPECT_EQ(repair.added, c.added);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.after);
    // Appends follow the mended end, and a second lock finds nothing to mend.
    file.Append("z\t5\t6\t\r\n");
    EXPECT_EQ(file.Lock().cut + file.Lock().added, 0u);
  }
  std::filesystem::remove_all(folder);
}

} // namespace
} // namespace corvatin

// Whole procedures over files: the values a chemist reads in the result files, and what bad input does to a run.

#include "batch_fixture.h"

#include "core/numtext.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>

namespace corvatin::testing {
namespace {

// The TOPS-MODE moments are the traces of the powers of the bond adjacency matrix (J. Chem. Inf. Comput. Sci. 36
// (1996) 844), ones for bonds sharing an atom and the bond weight on the diagonal: the sums of the powers of its
// eigenvalues. Three bonds at one atom make J - I (eigenvalues 2, -1, -1), the six bonds of a ring the cycle
// (2 cos(2 pi j / 6)), propane's two bonds weighted w make [[w, 1], [1, w]] (w + 1, w - 1), with w the
// "Std distance" of a C(sp3)-C(sp3) bond, 1.526 Å (CRC Handbook of Chemistry and Physics, ethane;
// data/Distances.txt).
TEST_F(BatchRun, TopsModeMomentsAreThePowerSumsOfTheBondMatrixEigenvalues) {
  ASSERT_TRUE(loadErrors_.empty()) << loadErrors_.front();
  const std::tuple<std::string, std::string, std::vector<double>> cases[] = {
      {"CC(C)C", "", {2, -1, -1}},
      {"c1ccccc1", "", {2, 1, -1, -2, -1, 1}},
      {"CCC", "Std distance", {2.526, 0.526}},
  };
  for (const auto& [smiles, weights, eigenvalues] : cases) {
    SCOPED_TRACE(smiles);
    std::filesystem::remove_all(dir_ / "results");
    ASSERT_EQ(Run("TOPS-MODE", {Write("one.sml", smiles + "\n")}, weights), beSuccess) << log_.str();
    const auto lines = DataLines("TOPS-MODE.txt");
    ASSERT_EQ(lines.size(), 2u);
    const auto row = Cells(lines[1]);
    ASSERT_GE(row.size(), 17u);
    EXPECT_EQ(row[0], smiles);
    EXPECT_EQ(row[1], std::to_string(eigenvalues.size()) + ".000000"); // µ0: the number of bonds
    for (int k = 1; k <= 15; ++k) {
      double expected = 0;
      for (const double e : eigenvalues)
        expected += std::pow(e, k);
      EXPECT_NEAR(TextToFloat(row[k + 1]), expected, 1e-6 * std::max(1.0, std::fabs(expected))) << "moment " << k;
    }
  }
}

// With every weight on, each of the fifteen puts its own bond values on the diagonal: µ1, the sum of the bond
// weights, is non-zero for 2-chlorobenzyl alcohol and differs from weight to weight. A weight whose atom values no
// block of the chain wrote would read as 0 on every bond.
TEST_F(BatchRun, EveryWeightPutsItsOwnNonZeroBondValuesOnTheDiagonal) {
  ASSERT_EQ(Run("TOPS-MODE", {Write("one.sml", "OCc1ccccc1Cl\n")}, "all"), beSuccess) << log_.str();
  const auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 2u);
  const auto row = Cells(lines[1]);
  ASSERT_GE(row.size(), 2 + 15 * 15u);
  std::set<std::string> sums;
  for (size_t w = 0; w < 15; ++w)
    sums.insert(row[2 + 15 * w]);
  EXPECT_EQ(sums.size(), 15u);
  EXPECT_EQ(sums.count("0.000000"), 0u);
}

TEST_F(BatchRun, EveryOtherProcedureWritesItsValuesWhereTheHeaderSays) {
  struct Case {
    std::string procedure, input, dataFile;
    size_t row;
    std::string column; // a header cell, or "#n" for the n-th cell
    double expected, tolerance;
  };
  const std::string acetone = std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/acetone.out";
  const std::string points = std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/points.xyz";
  const Case cases[] = {
      // Wildman-Crippen logP (J. Chem. Inf. Comput. Sci. 39 (1999) 868) of isobutane, 1.6623 (RDKit MolLogP gives
      // the same); polar surface (J. Med. Chem. 43 (2000) 3714) of acetic acid, 37.30 Å²; IUPAC atomic weights.
      {"Physicochemical descriptors", "CC(C)C CC(=O)O", "PhysChem.txt", 1, "logP", 1.6623, 1e-4},
      {"Physicochemical descriptors", "CC(C)C CC(=O)O", "PhysChem.txt", 1, "Molecular weight", 58.122, 1e-3},
      {"Physicochemical descriptors", "CC(C)C CC(=O)O", "PhysChem.txt", 2, "Polar surface area", 37.30, 1e-2},
      {"Physicochemical descriptors", "CC(C)C CC(=O)O", "PhysChem.txt", 2, "Molecular weight", 60.052, 1e-3},
      // Randic connectivity of isobutane: three bonds (1·3)^-1/2 (J. Am. Chem. Soc. 97 (1975) 6609).
      {"Topological Indices", "CC(C)C", "TopolInd.txt", 1, "X(P)(1)", std::sqrt(3.0), 1e-6},
      // acetone, MOPAC 22 PM7 ALLVEC BONDS: "HOMO LUMO ENERGIES (EV) = -10.235  0.921".
      {"Quantum-Chemical descriptors", acetone, "Quan-Chem.txt", 1, "Homo Energy", -10.235, 1e-9},
      {"Quantum-Chemical descriptors", acetone, "Quan-Chem.txt", 1, "Lumo Energy", 0.921, 1e-9},
      // Two points 5 Å apart ((0,0,0) and (3,4,0)): the vertex sphere matrix holds their distance.
      {"Sphere TEST", points, "Sphere (vertex) matrix.txt", 1, "#3", 5.0, 1e-9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.procedure + " " + c.column);
    std::filesystem::remove_all(dir_ / "results");
    const std::string file = c.input.find('/') == std::string::npos ? Write("in.sml", c.input + "\n") : c.input;
    ASSERT_EQ(Run(c.procedure, {file}), beSuccess) << log_.str();
    const auto lines = DataLines(c.dataFile);
    ASSERT_GT(lines.size(), c.row);
    const auto header = Cells(lines[0]), row = Cells(lines[c.row]);
    size_t at = 0;
    if (c.column[0] == '#')
      at = std::stoul(c.column.substr(1));
    else
      at = static_cast<size_t>(std::find(header.begin(), header.end(), c.column) - header.begin());
    ASSERT_LT(at, row.size());
    EXPECT_NEAR(TextToFloat(row[at]), c.expected, c.tolerance) << lines[c.row];
    if (c.input == acetone) {
      EXPECT_EQ(row[0], "     "); // a MOPAC structure has no name: five blanks keep the column
    }
  }
}

TEST_F(BatchRun, ContributionProceduresWriteTheirFilesAndLocalContributionsNeedAWeight) {
  const std::string file = Write("three.sml", "CC(C)C CC(=O)O OC1CCCC1\n");
  EXPECT_EQ(Run("TOPS-MODE Fragment Contributions", {file}), beSuccess) << log_.str();
  EXPECT_EQ(Run("TOPS-MODE Local Contributions", {file}), beRunFailed);
  EXPECT_NE(log_.str().find("Error: You did not select any weight for local contributions."), std::string::npos);
  EXPECT_EQ(Run("TOPS-MODE Local Contributions", {file}, "Std distance"), beSuccess) << log_.str();
  EXPECT_NE(Result("Results.txt").find("Molecule name: OC1CCCC1"), std::string::npos);
  for (const char* f : {"TOPS-MContr.txt", "TOPS-MBContr.txt", "Results.txt"}) {
    const std::string bytes = Result(f);
    ASSERT_GT(bytes.size(), 2u) << f;
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << f;
  }
}

/// An SD record of name with heavy atoms only (V2000, coordinates 0) and bonds "a b order".
std::string SdRecord(const std::string& name, const std::vector<std::string>& atoms,
                     const std::vector<std::array<int, 3>>& bonds) {
  char line[80];
  std::snprintf(line, sizeof line, "%3zu%3zu  0  0  0  0  0  0  0  0999 V2000\n", atoms.size(), bonds.size());
  std::string s = name + "\n  test\n\n" + line;
  for (const auto& a : atoms) {
    std::snprintf(line, sizeof line, "    0.0000    0.0000    0.0000 %-3s 0  0  0  0  0  0  0  0  0  0  0  0\n",
                  a.c_str());
    s += line;
  }
  for (const auto& b : bonds) {
    std::snprintf(line, sizeof line, "%3d%3d%3d  0\n", b[0], b[1], b[2]);
    s += line;
  }
  return s + "M  END\n$$$$\n";
}

// What a careless or hostile file does to a run: each case is a file, the exit status, the names of the rows
// written, and a text the log must hold. Skipped structures never leave a row, and never stop the run.
TEST_F(BatchRun, BadInputIsSkippedOrRefusedAndNamedNeverWrittenAsARow) {
  struct Case {
    std::string file, content;
    int exit;
    std::vector<std::string> names;
    std::string log;
  };
  const std::string isobutane = SdRecord("isobutane", {"C", "C", "C", "C"}, {{1, 2, 1}, {2, 3, 1}, {2, 4, 1}});
  const std::string broken = SdRecord("acetic acid", {"C", "C", "O", "O"}, {{1, 2, 1}, {2, 3, 2}, {2, 9, 1}});
  std::vector<Case> cases = {
      {"broken.sdf",
       isobutane + broken + isobutane,
       beSkipped,
       {"isobutane", "isobutane"},
       "at line 24 (Atom number out of range), record 2"},
      {"atomless.sdf",
       SdRecord("none", {}, {}) + isobutane,
       beSkipped,
       {"isobutane"},
       "at line 4 (Record without atoms), record 1"},
      {"points.xyz", "2\n0 0 0\n3 4 0\n", beSkipped, {}, "The structure has no atoms (record 1 of"},
      {"bad.sml", "CCC CC(C CCO\n", beSkipped, {"CCC", "CCO"}, "at line 1 (Branch closure expected"},
      {"orphan.sml2", "1;ethanol\nCCO\n2;orphan\n", beSkipped, {"ethanol"}, "(Name without SMILES), record 2"},
      {"gap.sml2", "1;ethanol\n\nCCO\n\n2;propane\nCCC\n", beSuccess, {"ethanol", "propane"}, "2 structures written"},
      {"upper.SML2", "1;ethanol\nCCO\n", beSuccess, {"ethanol"}, "1 structures written"},
      {"names.smi",
       "# comment\nCCO ethanol\n\nCCC\n  # indented comment\nC1CC( broken\nCCCC\tn-butane \n",
       beSkipped,
       {"ethanol", "CCC", "n-butane"},
       "names.smi\" at line 6 (Branch closure expected"},
      {"binary.sml",
       std::string("CC\0\x01\xff", 5),
       beRunFailed,
       {},
       "does not fit its extension \".sml\" (SMILES file)"},
  };
  for (const char* ext : {".sml", ".sml2", ".smi", ".sdf", ".mol2", ".out", ".xyz", ".zmt"}) {
    cases.push_back({std::string("empty") + ext, "", beSuccess, {}, "holds no structure"});
    cases.push_back({std::string("blank") + ext, " \r\n\t\n\n", beSuccess, {}, "holds no structure"});
  }
  for (const char* ext : {".sdf", ".mol", ".mol2", ".ml2", ".out", ".oam", ".xyz", ".zmt"})
    cases.push_back({std::string("garbage") + ext,
                     "this is no structure file\nat all\n",
                     beRunFailed,
                     {},
                     std::string("does not fit its extension \"") + ext + "\""});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::filesystem::remove_all(dir_ / "results");
    log_.str("");
    EXPECT_EQ(Run("TOPS-MODE", {Write(c.file, c.content)}), c.exit) << log_.str();
    EXPECT_NE(log_.str().find(c.log), std::string::npos) << log_.str();
    const auto lines = DataLines("TOPS-MODE.txt");
    std::vector<std::string> names;
    for (size_t i = 1; i < lines.size(); ++i)
      names.push_back(Cells(lines[i])[0]);
    EXPECT_EQ(names, c.names);
    const std::string summary = std::to_string(c.names.size()) + " structures written, " +
                                std::to_string(c.exit == beSkipped ? 1 : 0) + " skipped";
    EXPECT_TRUE(c.exit == beRunFailed || log_.str().find(summary) != std::string::npos) << log_.str();
  }
}

TEST_F(BatchRun, EveryFileIsCheckedBeforeTheFirstStructureIsRead) {
  const std::string good = Write("good.sml", "CCC\n");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {(dir_ / "absent.sdf").string(), "absent.sdf\" (No such file or directory)"},
      {dir_.string() + "/folder.sdf", "folder.sdf\" (not a regular file)"},
      {dir_.string() + "/pipe.sml", "pipe.sml\" (not a regular file)"}, // a FIFO without writer never blocks
      {Write("three.abc", "CCC\n"), "Unknown file extension \".abc\". (file \""},
  };
  std::filesystem::create_directories(dir_ / "folder.sdf");
  ASSERT_EQ(::mkfifo((dir_ / "pipe.sml").c_str(), 0600), 0);
  for (const auto& [bad, message] : cases) {
    log_.str("");
    EXPECT_EQ(Run("TOPS-MODE", {good, bad}), beRunFailed) << bad;
    EXPECT_NE(log_.str().find(message), std::string::npos) << log_.str();
    EXPECT_TRUE(Result("TOPS-MODE.txt").empty()) << bad; // the good file before it was not read either
  }
  log_.str("");
  EXPECT_EQ(Run("TOPS-MODE", {good, good}), beSuccess);
  EXPECT_NE(log_.str().find("is given twice"), std::string::npos) << log_.str();
  EXPECT_EQ(DataLines("TOPS-MODE.txt").size(), 3u);
}

TEST_F(BatchRun, UsageErrorsNameWhatIsWrong) {
  EXPECT_THROW(ChooseProcedure(*catalogue_, "No such procedure"), EUsageError);
  EXPECT_THROW(ChooseProcedure(*catalogue_, "TOPS"), EUsageError); // a prefix names no procedure
  auto package = ChooseProcedure(*catalogue_, "TOPS-MODE");
  EXPECT_THROW(SelectWeights(*package, "Std distance,Colour"), EUsageError);
  EXPECT_THROW(ApplyAssignment(*package, "Precision"), EUsageError);
  EXPECT_THROW(ApplyAssignment(*package, "Nothing=1"), EUsageError);
  EXPECT_THROW(ApplyAssignment(*package, "Output:Precision=many"), EUsageError);
  ApplyAssignment(*package, "Output:Precision=3");
  const auto lines = DescribeParameters(*package);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Output\tPrecision\t3"), lines.end());
}

} // namespace
} // namespace corvatin::testing

// Whole procedures over files, checked against values computed here from the definitions: the TOPS-MODE
// spectral moments are the traces of the powers of the weighted bond adjacency matrix (Estrada 1996), whose
// off-diagonal entries are 1 for bonds sharing an atom and whose diagonal holds the bond weights.

#include "batch_fixture.h"

#include "core/numtext.h"

#include <cmath>

namespace corvatin::testing {
namespace {

using Bonds = std::vector<std::pair<int, int>>;

/// tr(B^k) for k = 1..15 of the bond adjacency matrix of the given heavy-atom bonds with diagonal weight w.
std::vector<double> Moments(const Bonds& bonds, double w) {
  const size_t n = bonds.size();
  std::vector<double> b(n * n, 0.0), p(n * n, 0.0), t(n * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      bool share = i != j && (bonds[i].first == bonds[j].first || bonds[i].first == bonds[j].second ||
                              bonds[i].second == bonds[j].first || bonds[i].second == bonds[j].second);
      b[i * n + j] = i == j ? w : (share ? 1.0 : 0.0);
    }
  p = b;
  std::vector<double> result;
  for (int k = 1; k <= 15; ++k) {
    double trace = 0;
    for (size_t i = 0; i < n; ++i) trace += p[i * n + i];
    result.push_back(trace);
    for (size_t i = 0; i < n; ++i)
      for (size_t j = 0; j < n; ++j) {
        double s = 0;
        for (size_t m = 0; m < n; ++m) s += p[i * n + m] * b[m * n + j];
        t[i * n + j] = s;
      }
    p = t;
  }
  return result;
}

const Bonds kIsobutane = {{0, 1}, {1, 2}, {1, 3}};
const Bonds kAceticAcid = {{0, 1}, {1, 2}, {1, 3}};
const Bonds kCyclopentanol = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 5}};
const Bonds kPropane = {{0, 1}, {1, 2}};

void ExpectMoments(const std::vector<std::string>& cells, size_t first, const std::vector<double>& expected) {
  ASSERT_GE(cells.size(), first + expected.size());
  for (size_t k = 0; k < expected.size(); ++k)
    EXPECT_NEAR(TextToFloat(cells[first + k]), expected[k], 1e-6 * std::max(1.0, std::fabs(expected[k])))
        << "moment " << k + 1;
}

// An SD file of isobutane, acetic acid and cyclopentanol without hydrogens (V2000, coordinates 0).
std::string ThreeRecordSdf(bool brokenSecond) {
  auto atom = [](const char* symbol) {
    return std::string("    0.0000    0.0000    0.0000 ") + symbol + (symbol[1] ? " " : "  ") +
           " 0  0  0  0  0  0  0  0  0  0  0  0\n";
  };
  auto bond = [](int a, int b, int order) {
    char line[32];
    std::snprintf(line, sizeof line, "%3d%3d%3d  0\n", a, b, order);
    return std::string(line);
  };
  std::string s;
  s += "isobutane\n  test\n\n  4  3  0  0  0  0  0  0  0  0999 V2000\n";
  for (int i = 0; i < 4; ++i) s += atom("C");
  s += bond(1, 2, 1) + bond(2, 3, 1) + bond(2, 4, 1) + "M  END\n$$$$\n";
  s += "acetic acid\n  test\n\n  4  3  0  0  0  0  0  0  0  0999 V2000\n";
  s += atom("C") + atom("C") + atom("O") + atom("O");
  s += bond(1, 2, 1) + bond(2, 3, 2) + bond(2, brokenSecond ? 9 : 4, 1) + "M  END\n$$$$\n";
  s += "cyclopentanol\n  test\n\n  6  6  0  0  0  0  0  0  0  0999 V2000\n";
  for (int i = 0; i < 5; ++i) s += atom("C");
  s += atom("O");
  s += bond(1, 2, 1) + bond(2, 3, 1) + bond(3, 4, 1) + bond(4, 5, 1) + bond(5, 1, 1) + bond(1, 6, 1) +
       "M  END\n$$$$\n";
  return s;
}

TEST_F(BatchRun, TopsModeWithoutWeightsGivesTheTracesOfTheBondMatrixPowersFromASmilesFile) {
  ASSERT_TRUE(loadErrors_.empty()) << loadErrors_.front();
  std::string file = Write("three.sml", "CC(C)C CC(=O)O OC1CCCC1\n");
  ASSERT_EQ(Run("TOPS-MODE", {file}), beSuccess) << log_.str();
  auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 4u);
  auto header = Cells(lines[0]);
  ASSERT_GE(header.size(), 17u);
  EXPECT_EQ(header[0], "Name");
  EXPECT_EQ(header[1], "\xB5" "0");  // µ written as the single byte 0xB5
  EXPECT_EQ(header[16], "\xB5" "15");
  auto isobutane = Cells(lines[1]);
  EXPECT_EQ(isobutane[0], "CC(C)C");
  EXPECT_EQ(isobutane[1], "3.000000"); // µ0: the number of bonds
  ExpectMoments(isobutane, 2, Moments(kIsobutane, 0));
  ExpectMoments(Cells(lines[2]), 2, Moments(kAceticAcid, 0));
  ExpectMoments(Cells(lines[3]), 2, Moments(kCyclopentanol, 0));
}

TEST_F(BatchRun, AnSdFileGivesTheSameMomentsAndAppendsUnderTheFirstHeader) {
  std::string sml = Write("three.sml", "CC(C)C CC(=O)O OC1CCCC1\n");
  std::string sdf = Write("three.sdf", ThreeRecordSdf(false));
  ASSERT_EQ(Run("TOPS-MODE", {sml}), beSuccess) << log_.str();
  ASSERT_EQ(Run("TOPS-MODE", {sdf}), beSuccess) << log_.str();
  auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 7u); // one header across both runs
  EXPECT_EQ(Cells(lines[4])[0], "isobutane");
  for (int i = 1; i <= 3; ++i) {
    auto fromSmiles = Cells(lines[static_cast<size_t>(i)]), fromSdf = Cells(lines[static_cast<size_t>(i + 3)]);
    fromSmiles.erase(fromSmiles.begin());
    fromSdf.erase(fromSdf.begin());
    EXPECT_EQ(fromSmiles, fromSdf) << "record " << i;
  }
}

TEST_F(BatchRun, AWeightSitsOnTheDiagonal) {
  // "Std distance" of a C(sp3)-C(sp3) bond: 1.526 Å (Lide, ethane; data/Distances.txt).
  std::string file = Write("propane.sml", "CCC\n");
  ASSERT_EQ(Run("TOPS-MODE", {file}, "Std distance"), beSuccess) << log_.str();
  auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 2u);
  auto header = Cells(lines[0]);
  EXPECT_EQ(header[2], "\xB5(Std)1");
  ExpectMoments(Cells(lines[1]), 2, Moments(kPropane, 1.526));
}

TEST_F(BatchRun, ContributionProceduresRunOverTheSameFile) {
  std::string file = Write("three.sml", "CC(C)C CC(=O)O OC1CCCC1\n");
  EXPECT_EQ(Run("TOPS-MODE Fragment Contributions", {file}), beSuccess) << log_.str();
  // Local contributions need a weight: without one the run ends on the block's fatal message.
  EXPECT_EQ(Run("TOPS-MODE Local Contributions", {file}), beRunFailed);
  EXPECT_NE(log_.str().find("Error: You did not select any weight for local contributions."), std::string::npos);
  EXPECT_EQ(Run("TOPS-MODE Local Contributions", {file}, "Std distance"), beSuccess) << log_.str();
  EXPECT_FALSE(Result("TOPS-MContr.txt").empty());
  EXPECT_FALSE(Result("TOPS-MBContr.txt").empty());
  const std::string results = Result("Results.txt");
  EXPECT_NE(results.find("Molecule name: OC1CCCC1"), std::string::npos);
  for (const char* f : {"TOPS-MContr.txt", "TOPS-MBContr.txt", "Results.txt"}) {
    std::string bytes = Result(f);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << f;
  }
}

TEST_F(BatchRun, PhysicochemicalDescriptorsAreSumsOfTheAtomContributions) {
  std::string file = Write("two.sml", "CC(C)C CC(=O)O\n");
  ASSERT_EQ(Run("Physicochemical descriptors", {file}), beSuccess) << log_.str();
  auto lines = DataLines("PhysChem.txt");
  ASSERT_EQ(lines.size(), 3u);
  auto header = Cells(lines[0]);
  ASSERT_GE(header.size(), 6u);
  EXPECT_EQ(header[1], "logP");
  EXPECT_EQ(header[2], "Polar surface area");
  EXPECT_EQ(header[5], "Molecular weight");
  // Wildman & Crippen (1999) logP of isobutane, 1.6623 (RDKit MolLogP gives the same); Ertl et al. (2000) polar
  // surface of acetic acid, 37.30 Å²; molecular weights from IUPAC atomic weights.
  EXPECT_NEAR(TextToFloat(Cells(lines[1])[1]), 1.6623, 1e-4);
  EXPECT_NEAR(TextToFloat(Cells(lines[1])[5]), 58.122, 1e-3);
  EXPECT_NEAR(TextToFloat(Cells(lines[2])[2]), 37.30, 1e-2);
  EXPECT_NEAR(TextToFloat(Cells(lines[2])[5]), 60.052, 1e-3);
}

TEST_F(BatchRun, TopologicalIndicesOfIsobutane) {
  std::string file = Write("isobutane.sml", "CC(C)C\n");
  ASSERT_EQ(Run("Topological Indices", {file}), beSuccess) << log_.str();
  auto lines = DataLines("TopolInd.txt");
  ASSERT_EQ(lines.size(), 2u);
  auto header = Cells(lines[0]), values = Cells(lines[1]);
  ASSERT_EQ(header.size(), values.size());
  // Randic connectivity of isobutane: three bonds (1·3)^-1/2 = sqrt(3) = 1.732051 (Randic 1975).
  EXPECT_EQ(header[1], "X(P)(1)");
  EXPECT_NEAR(TextToFloat(values[1]), std::sqrt(3.0), 1e-6);
}

TEST_F(BatchRun, QuantumChemicalDescriptorsOfAMopacRunTakeItsFrontierOrbitals) {
  // acetone, MOPAC 22 PM7 ALLVEC BONDS: "HOMO LUMO ENERGIES (EV) = -10.235  0.921".
  const std::string out = std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/acetone.out";
  ASSERT_EQ(Run("Quantum-Chemical descriptors", {out}), beSuccess) << log_.str();
  auto lines = DataLines("Quan-Chem.txt");
  ASSERT_EQ(lines.size(), 2u);
  auto header = Cells(lines[0]), values = Cells(lines[1]);
  ASSERT_GE(header.size(), 3u);
  EXPECT_EQ(header[1], "Homo Energy");
  EXPECT_EQ(header[2], "Lumo Energy");
  EXPECT_EQ(values[0], "     "); // a MOPAC structure has no name: five blanks keep the column
  EXPECT_EQ(values[1], "-10.235000");
  EXPECT_EQ(values[2], "0.921000");
  ASSERT_EQ(Run("Topographic Indices", {out}), beSuccess) << log_.str();
  EXPECT_EQ(Cells(DataLines("TopogrInd.txt")[0])[1], "Omega(P)(1)");
}

TEST_F(BatchRun, SphereTestWritesItsThreeMatrices) {
  ASSERT_EQ(Run("Sphere TEST", {std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/points.xyz"}), beSuccess)
      << log_.str();
  for (const char* f : {"Sphere (vertex) matrix.txt", "Sphere (vertex inv) matrix.txt", "Sphere (exp) matrix.txt"})
    EXPECT_GE(DataLines(f).size(), 3u) << f;
  // Two points 5 Å apart ((0,0,0) and (3,4,0)): the vertex sphere matrix holds their distance.
  auto first = Cells(DataLines("Sphere (vertex) matrix.txt")[1]);
  ASSERT_GE(first.size(), 4u);
  EXPECT_EQ(first[3], "5.000000");
}

TEST_F(BatchRun, AnUnknownExtensionEndsTheRunWithItsMessage) {
  std::string file = Write("three.smi", "CCC\n");
  EXPECT_EQ(Run("TOPS-MODE", {file}), beRunFailed);
  EXPECT_NE(log_.str().find("Error: Unknown file extension \".smi\"."), std::string::npos) << log_.str();
  EXPECT_NE(log_.str().find("Procedure execution stopped"), std::string::npos);
  EXPECT_TRUE(Result("TOPS-MODE.txt").empty());
}

TEST_F(BatchRun, AMissingFileEndsTheRunNamingTheFile) {
  EXPECT_EQ(Run("TOPS-MODE", {(dir_ / "absent.sdf").string()}), beRunFailed);
  EXPECT_NE(log_.str().find("absent.sdf"), std::string::npos) << log_.str();
  EXPECT_TRUE(Result("TOPS-MODE.txt").empty());
}

TEST_F(BatchRun, ABrokenRecordKeepsTheStructuresBeforeItAndNamesItsLine) {
  std::string file = Write("broken.sdf", ThreeRecordSdf(true));
  EXPECT_EQ(Run("TOPS-MODE", {file}), beRunFailed);
  // The bond line naming atom 9 is line 24 of the file (record 2 starts at line 14).
  EXPECT_NE(log_.str().find("Error in file \"" + file + "\" at line 24"), std::string::npos) << log_.str();
  auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Cells(lines[1])[0], "isobutane");
  std::string bytes = Result("TOPS-MODE.txt");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(BatchRun, ASmilesSyntaxErrorShowsTheParsersMessage) {
  std::string file = Write("bad.sml", "CCC CC(C\n");
  EXPECT_EQ(Run("TOPS-MODE", {file}), beRunFailed);
  EXPECT_EQ(log_.str().find("Unexpected error\n"), std::string::npos) << log_.str();
  EXPECT_NE(log_.str().find("position"), std::string::npos) << log_.str();
  auto lines = DataLines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Cells(lines[1])[0], "CCC");
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
  bool found = false;
  for (const auto& line : DescribeParameters(*package)) found = found || line == "Output\tPrecision\t3";
  EXPECT_TRUE(found);
}

} // namespace
} // namespace corvatin::testing

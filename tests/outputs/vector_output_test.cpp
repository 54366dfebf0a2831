// The vector output block: the bytes of the data and results files (tab-separated, CR LF, Windows-1252), header
// once, aligned lines, labels, masks, row lines, the log echo, and where the files go.

#include "chem/molecule.h"
#include "core/errors.h"
#include "core/paths.h"
#include "output_test_util.h"
#include "outputs/vector_output.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvatin {
namespace {

using test::ResultFolderTest;

Ptr<IMolecule> Molecule(const std::string& name, int carbons = 2) {
  Ptr<IMolecule> m = NewMolecule();
  for (int i = 0; i < carbons; ++i) {
    m->AddAtom()->SetSymbol(i == carbons - 1 && carbons > 2 ? "O" : "C");
    if (i > 0) m->ConnectIndices(i - 1, i);
  }
  m->SetName(name);
  return m;
}

void SetNumber(IParameters& target, const std::string& name, double value, const std::string& caption = {}) {
  target.AddParam(name, std::make_shared<TNumberParameter>(name, value, caption), nullptr, true);
}

// A molecule with the one value "Value" = 1.
Ptr<IMolecule> Valued(const std::string& name) {
  auto m = Molecule(name);
  SetNumber(*m, "Value", 1);
  return m;
}

// Stores a matrix of rows x columns values (row by row) under name.
void SetMatrix(IParameters& target, const std::string& name, int rows, std::vector<double> values,
               const std::string& caption, const std::string& rowFormat, std::vector<std::string> columnLabels,
               std::vector<std::string> rowLabels, std::vector<bool> mask = {}) {
  const int columns = static_cast<int>(values.size()) / rows;
  auto matrix = std::make_shared<TDoubleMatrix>(columns, rows);
  for (size_t i = 0; i < values.size(); ++i)
    matrix->GetData()[i] = values[i];
  target.AddParam(name, std::make_shared<TMatrixParameter>(matrix, caption, rowFormat, columnLabels, rowLabels, mask),
                  nullptr, true);
}

TEST_F(ResultFolderTest, NumbersAndMatricesWriteTheirCaptionsMasksLabelsAndRowLines) {
  using Bytes = std::pair<std::string, std::string>; // of the data file and of the results file
  const auto write = [&](const std::vector<std::string>& records, bool rows, bool labelled, double precision,
                         const Ptr<IMolecule>& m) {
    TVectorOutput out(records, "data.txt", "Results.txt", rows, labelled);
    out.SetFloat("Precision", precision);
    out.Write(m);
    Bytes bytes{Read("data.txt"), Read("Results.txt")};
    std::filesystem::remove(Path("data.txt"));
    std::filesystem::remove(Path("Results.txt"));
    return bytes;
  };
  auto m = Molecule("m"); // a number's header cell is its short caption; precision fills the data file alone
  SetNumber(*m, "Small", 0.1234567);
  SetNumber(*m, "Two", 2);
  SetNumber(*m, "Labelled", 2.5, "L");
  EXPECT_EQ(
      write({"Small", "Two", "Labelled"}, false, true, 3, m),
      Bytes("Name\tSmall\tTwo\tL\t\r\nm\t0.123\t2.000\t2.500\t\r\n",
            "Molecule name: m\r\n\r\n\tSmall:\r\n\t0.123\r\n\r\n\tTwo:\r\n\t2\r\n\r\n\tLabelled:\r\n\tL=2.5\r\n\r\n"));
  m = Molecule("m"); // a masked element has no header or data cell but is in the results
  SetMatrix(*m, "M", 1, {1, 2, 3}, "", "", {"a", "b", "c"}, {}, {false, true, false});
  EXPECT_EQ(write({"M"}, false, true, 3, m),
            Bytes("Name\ta\tc\t\r\nm\t1.000\t3.000\t\r\n",
                  "Molecule name: m\r\n\r\n\tM:\r\n\ta=1      \tb=2      \tc=3    \r\n\r\n"));
  m = Molecule("m"); // the cells of several rows are labelled caption and row
  SetMatrix(*m, "T", 2, {1, 2, 3, 4}, "c", "r%d", {"%s_a", "b"}, {"first"});
  EXPECT_EQ(write({"T"}, false, false, 0, m),
            Bytes("Name\tc_a(first)\tb(first)\tc_a(r2)\tb(r2)\t\r\nm\t1\t2\t3\t4\t\r\n",
                  "Molecule name: m\r\n\r\n\tT:\r\n\tfirst\t1  \t2\r\n\tr2\t3  \t4\r\n\r\n"));
  m = Molecule("m", 3); // row lines: each row on its own data line
  SetMatrix(*m, "Bonds", 2, {1, 2, 3, 4.25}, "", "", {"x", "y"}, {"Bond 1", "Bond 2"});
  EXPECT_EQ(write({"Bonds"}, true, true, 1, m),
            Bytes("Name\t   \tx\ty\t\r\nm\tBond 1\t1.0\t2.0\t\r\n\tBond 2\t3.0\t4.2\t\r\n",
                  "Molecule name: m\r\n\r\n\tBonds:\r\n\tBond 1\tx=1    \ty=2  \r\n\tBond 2\tx=3    \ty=4.2\r\n\r\n"));
  m = Molecule("m", 1); // a molecule without bonds keeps the columns of its row-line matrix
  SetMatrix(*m, "Bonds", 1, {1, 2}, "", "", {"x", "y"}, {});
  EXPECT_EQ(write({"Bonds"}, true, false, 6, m).first, "Name\t   \tx\ty\t\r\nm\t\t1.000000\t2.000000\t\r\n");
}

TEST_F(ResultFolderTest, NamesCannotSplitCellsOrLines) {
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  out.Write(Valued("two\tparts\r\nof a name"));
  EXPECT_EQ(Read("data.txt"), "Name\tValue\t\r\ntwo parts  of a name\t1.000000\t\r\n");
}

TEST_F(ResultFolderTest, LinesStayAlignedUnderTheFirstHeaderWhenValuesComeAndGoAndTheLogEchoesTheResults) {
  auto log = std::make_shared<test::RecordingLog>();
  TVectorOutput out({"A", "B"}, "data.txt", "Results.txt", false, true);
  out.SetLog(log);
  out.Start(nullptr);
  const auto write = [&](const char* name, double a, double b, const char* caption) {
    auto m = Molecule(name);
    if (a != 0) SetNumber(*m, "A", a);
    SetNumber(*m, "B", b, caption);
    out.Write(m);
  };
  write("first", 1, 2.5, "");
  write("second", 0, 3, "");     // A missing: B stays in its column
  write("third", 4, 5, "Other"); // a caption the header does not know: left out, and one warning
  write("fourth", 4, 5, "Other");
  EXPECT_EQ(Read("data.txt"), "Name\tA\tB\t\r\nfirst\t1.000000\t2.500000\t\r\nsecond\t\t3.000000\t\r\n"
                              "third\t4.000000\t\t\r\nfourth\t4.000000\t\t\r\n");
  EXPECT_NE(Read("Results.txt").find("Molecule name: fourth\r\n\r\n\tA:\r\n\t4\r\n\r\n\tB:\r\n\tOther=5\r\n"),
            std::string::npos);
  const std::pair<std::string, int> echoed[] = {
      {"first", lkHeading}, {"A:", lkPlain}, {"1", lkResult}, {"B:", lkPlain}, {"2.5", lkResult}};
  for (size_t i = 0; i < 5; ++i)
    EXPECT_EQ(std::make_pair(log->lines.at(i).text, log->lines.at(i).kind), echoed[i]);
  ASSERT_EQ(log->Count(lkWarning), 1);
  for (const auto& line : log->lines)
    if (line.kind == lkWarning) {
      EXPECT_NE(line.text.find("\"B\" (Other)"), std::string::npos) << line.text;
      EXPECT_NE(line.text.find(Path("data.txt")), std::string::npos) << line.text;
    }
}

class ValueNames : public TBlock, public virtual IClassification {
public:
  ValueNames() : TBlock(1) {}
  void Classify(const Ptr<ISubGraph>&) override {}
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  int GetValueCount(int kind) const override { return kind == ekAtoms || kind == ekBonds || kind == ekMolecule; }
  std::string GetValueName(int kind, int) const override {
    return kind == ekAtoms ? "q" : kind == ekBonds ? "order" : "Total";
  }
};

TEST_F(ResultFolderTest, AtomAndBondValuesGoToTheResultsWithTheirPrefixesOnly) {
  ValueNames source;
  TVectorOutput out(source, "data.txt", "Results.txt");
  auto m = Molecule("m", 3);
  SetNumber(*m, "Total", 7);
  m->GetAtom(0)->SetFloat("q", 0.5);
  m->GetAtom(2)->SetFloat("q", -0.25);
  m->GetBond(1)->SetFloat("order", 1.5);
  out.Write(m);
  EXPECT_EQ(Read("data.txt"), "Name\tTotal\t\r\nm\t7.000000\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tTotal:\r\n\t7\r\n\r\n"
                                 "\tq:\r\n\t1 C\t0.5\r\n\t3 O\t-0.25\r\n\r\n"
                                 "\torder:\r\n\t[2, 3]  \t1.5\r\n\r\n");
}

TEST_F(ResultFolderTest, AMissingFolderIsCreatedOneLevelDeepAnAbsoluteNameUsedAndAFileNotCreatedEndsTheRun) {
  Registry().WriteString(kResultFolderKey, Path("new"));
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  out.Write(Valued("m"));
  EXPECT_TRUE(std::filesystem::exists(Path("new/data.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("new/Results.txt")));
  TVectorOutput absolute({"Value"}, Path("elsewhere.txt"), "Results.txt", false, true);
  absolute.Write(Valued("m"));
  EXPECT_TRUE(std::filesystem::exists(Path("elsewhere.txt")));
  // A file that cannot be created ends the run naming its path and the system's reason.
  const std::string notAFolder = Path("plain-file");
  std::ofstream(notAFolder) << "x";
  Registry().WriteString(kResultFolderKey, notAFolder);
  try {
    TVectorOutput({"Value"}, "data.txt", "Results.txt", false, true).Write(Valued("m"));
    FAIL() << "no error";
  } catch (const EFatalError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to create \"" + notAFolder +
                                         "/data.txt\" (Not a directory). You can modify the output file in the "
                                         "Tools/Options menu.");
  }
}

TEST_F(ResultFolderTest, ADataFileThatIsTheResultsFileIsRefusedAtStartNamingBoth) {
  std::filesystem::create_directory(Path("real"));
  std::filesystem::create_directory_symlink(Path("real"), Path("link"));
  std::ofstream(Path("real/Results.txt")) << "";
  std::filesystem::create_hard_link(Path("real/Results.txt"), Path("hard.txt"));
  const std::pair<std::string, std::string> sameFile[] = {
      {"Results.txt", "Results.txt"},
      {"./sub/../Results.txt", "Results.txt"},
      {"link/Results.txt", Path("real/Results.txt")},
      {"hard.txt", "real/Results.txt"},
  };
  for (const auto& [data, results] : sameFile) {
    TVectorOutput out({"Value"}, data, results, false, true);
    try {
      out.Start(nullptr);
      ADD_FAILURE() << data << " and " << results << " not refused";
    } catch (const EFatalError& e) {
      EXPECT_EQ(std::string(e.what()), "The data file \"" + ResultFilePath(folder_, data) +
                                           "\" and the results file \"" + ResultFilePath(folder_, results) +
                                           "\" are one file: give them different names.");
    }
    out.Stop();
  }
  TVectorOutput different({"Value"}, "link/data.txt", "real/Results.txt", false, true);
  EXPECT_NO_THROW(different.Start(nullptr));
}

struct SetsFolder : IResultFolderQuestion {
  void AskResultFolder() override {
    ++asked;
    Registry().WriteString(kResultFolderKey, folder);
  }
  std::string folder;
  int asked = 0;
};

TEST_F(ResultFolderTest, WithoutAFolderTheUserIsAskedOnceAndItsAnswerUsed) {
  Registry().WriteString(kResultFolderKey, "");
  auto question = std::make_shared<SetsFolder>();
  question->folder = Path("chosen");
  SetResultFolderQuestion(question);
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  out.Write(Valued("m"));
  EXPECT_EQ(question->asked, 1);
  EXPECT_TRUE(std::filesystem::exists(Path("chosen/data.txt")));
  Registry().WriteString(kResultFolderKey, "");
  SetDataFolder(Path(""));
  out.Write(Valued("m")); // asked already: the program's folder
  SetDataFolder("");
  EXPECT_EQ(question->asked, 1);
  EXPECT_TRUE(std::filesystem::exists(Path("data.txt")));
}

} // namespace
} // namespace corvatin

// The vector output block: the bytes of the data and results files (tab-separated, CR LF, Windows-1252), header
// once, aligned lines, labels, masks, row lines and the log echo.

#include "chem/molecule.h"
#include "core/errors.h"
#include "core/paths.h"
#include "output_test_util.h"
#include "outputs/vector_output.h"

#include <gtest/gtest.h>

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

// A molecule with the one value "Value".
Ptr<IMolecule> Valued(const std::string& name) {
  auto m = Molecule(name);
  SetNumber(*m, "Value", 1);
  return m;
}

Ptr<TDoubleMatrix> MatrixOf(int columns, int rows, std::vector<double> values) {
  auto m = std::make_shared<TDoubleMatrix>(columns, rows);
  for (int i = 0; i < rows * columns; ++i)
    m->GetData()[i] = values[static_cast<size_t>(i)];
  return m;
}

void Write(TVectorOutput& out, const Ptr<IMolecule>& molecule) { out.Write(molecule); }

// Every line break is CR LF.
bool OnlyCrLf(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  return true;
}

TEST_F(ResultFolderTest, TwoRunsAppendAndTheHeaderIsWrittenOnce) {
  for (const char* name : {"first", "second"}) {
    TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
    out.Start(nullptr);
    auto m = Molecule(name);
    SetNumber(*m, "Value", 0.5);
    Write(out, m);
    out.Stop();
  }
  EXPECT_EQ(Read("data.txt"), "Name\tValue\t\r\nfirst\t0.500000\t\r\nsecond\t0.500000\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: first\r\n\r\n\tValue:\r\n\t0.5\r\n\r\n"
                                 "Molecule name: second\r\n\r\n\tValue:\r\n\t0.5\r\n\r\n");
}

TEST_F(ResultFolderTest, AnUnnamedMoleculeIsFiveBlanksAndNamesCannotSplitCellsOrLines) {
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  auto m = Molecule("");
  SetNumber(*m, "Value", 1);
  Write(out, m);
  // Names cannot split cells or lines either.
  auto split = Molecule("two\tparts\r\nof a name");
  SetNumber(*split, "Value", 1);
  Write(out, split);
  EXPECT_EQ(Read("data.txt"), "Name\tValue\t\r\n     \t1.000000\t\r\ntwo parts  of a name\t1.000000\t\r\n");
}

TEST_F(ResultFolderTest, PrecisionThreeCutsBothFilesAndFillsOnlyTheDataFile) {
  TVectorOutput out({"Small", "Two", "Labelled"}, "data.txt", "Results.txt", false, true);
  out.SetFloat("Precision", 3);
  auto m = Molecule("m");
  SetNumber(*m, "Small", 0.1234567);
  SetNumber(*m, "Two", 2);
  SetNumber(*m, "Labelled", 2.5, "L");
  Write(out, m);
  // A number's header cell is its short caption when it has one.
  EXPECT_EQ(Read("data.txt"), "Name\tSmall\tTwo\tL\t\r\nm\t0.123\t2.000\t2.500\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tSmall:\r\n\t0.123\r\n\r\n\tTwo:\r\n\t2\r\n\r\n"
                                 "\tLabelled:\r\n\tL=2.5\r\n\r\n");
}

TEST_F(ResultFolderTest, AMaskedElementHasNoHeaderOrDataCellButIsInTheResults) {
  TVectorOutput out({"M"}, "data.txt", "Results.txt", false, true);
  out.SetFloat("Precision", 3);
  auto m = Molecule("m");
  m->AddParam("M",
              std::make_shared<TMatrixParameter>(MatrixOf(3, 1, {1, 2, 3}), "", "",
                                                 std::vector<std::string>{"a", "b", "c"}, std::vector<std::string>{},
                                                 std::vector<bool>{false, true, false}),
              nullptr, true);
  Write(out, m);
  EXPECT_EQ(Read("data.txt"), "Name\ta\tc\t\r\nm\t1.000\t3.000\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tM:\r\n\ta=1      \tb=2      \tc=3    \r\n\r\n");
}

TEST_F(ResultFolderTest, RowLinesPutEachRowOnItsOwnDataLine) {
  TVectorOutput out({"Bonds"}, "data.txt", "Results.txt", true, true);
  out.SetFloat("Precision", 1);
  auto m = Molecule("m", 3);
  m->AddParam("Bonds",
              std::make_shared<TMatrixParameter>(MatrixOf(2, 2, {1, 2, 3, 4.25}), "", "",
                                                 std::vector<std::string>{"x", "y"},
                                                 std::vector<std::string>{"Bond 1", "Bond 2"}),
              nullptr, true);
  Write(out, m);
  EXPECT_EQ(Read("data.txt"), "Name\t   \tx\ty\t\r\nm\tBond 1\t1.0\t2.0\t\r\n\tBond 2\t3.0\t4.2\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tBonds:\r\n\tBond 1\tx=1    \ty=2  \r\n"
                                 "\tBond 2\tx=3    \ty=4.2\r\n\r\n");
}

TEST_F(ResultFolderTest, ARowLineMatrixOfAMoleculeWithoutBondsKeepsItsColumns) {
  TVectorOutput out({"Bonds"}, "data.txt", "Results.txt", true, false);
  auto m = Molecule("m", 1);
  m->AddParam("Bonds",
              std::make_shared<TMatrixParameter>(MatrixOf(2, 1, {1, 2}), "", "", std::vector<std::string>{"x", "y"},
                                                 std::vector<std::string>{}),
              nullptr, true);
  Write(out, m);
  // No row label cell without bonds: the values still stand under x and y.
  EXPECT_EQ(Read("data.txt"), "Name\t   \tx\ty\t\r\nm\t\t1.000000\t2.000000\t\r\n");
}

TEST_F(ResultFolderTest, MatricesOfSeveralRowsLabelCellsWithCaptionAndRow) {
  TVectorOutput out({"T"}, "data.txt", "Results.txt", false, false);
  out.SetFloat("Precision", 0);
  auto m = Molecule("m");
  m->AddParam("T",
              std::make_shared<TMatrixParameter>(MatrixOf(2, 2, {1, 2, 3, 4}), "c", "r%d",
                                                 std::vector<std::string>{"%s_a", "b"},
                                                 std::vector<std::string>{"first"}),
              nullptr, true);
  Write(out, m);
  EXPECT_EQ(Read("data.txt"), "Name\tc_a(first)\tb(first)\tc_a(r2)\tb(r2)\t\r\nm\t1\t2\t3\t4\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tT:\r\n\tfirst\t1  \t2\r\n\tr2\t3  \t4\r\n\r\n");
}

TEST_F(ResultFolderTest, MicroSignsAreSingleBytesAndEveryLineEndsInCrLf) {
  TVectorOutput out({"TOPS-MODE"}, "data.txt", "Results.txt", false, true);
  auto m = Molecule("m");
  m->AddParam("TOPS-MODE",
              std::make_shared<TMatrixParameter>(MatrixOf(2, 1, {1, 0.5}), "\xC2\xB5", "",
                                                 std::vector<std::string>{"\xC2\xB5"
                                                                          "0",
                                                                          "\xC2\xB5(Hyd)1"},
                                                 std::vector<std::string>{}),
              nullptr, true);
  Write(out, m);
  const std::string data = Read("data.txt"), results = Read("Results.txt");
  EXPECT_EQ(data, "Name\t\xB5"
                  "0\t\xB5(Hyd)1\t\r\nm\t1.000000\t0.500000\t\r\n");
  EXPECT_NE(results.find("\t\xB5"
                         "0=1         \t\xB5(Hyd)1=0.5     \r\n"),
            std::string::npos)
      << results;
  EXPECT_EQ(data.find('\xC2'), std::string::npos);
  EXPECT_EQ(results.find('\xC2'), std::string::npos);
  EXPECT_TRUE(OnlyCrLf(data));
  EXPECT_TRUE(OnlyCrLf(results));
}

TEST_F(ResultFolderTest, LinesStayAlignedUnderTheFirstHeaderWhenValuesComeAndGo) {
  test::RecordingLog* log = nullptr;
  auto recording = std::make_shared<test::RecordingLog>();
  log = recording.get();
  TVectorOutput out({"A", "B"}, "data.txt", "Results.txt", false, true);
  out.SetLog(recording);
  out.Start(nullptr);
  auto first = Molecule("first");
  SetNumber(*first, "A", 1);
  SetNumber(*first, "B", 2);
  Write(out, first);
  auto second = Molecule("second"); // A is missing: B stays in its column
  SetNumber(*second, "B", 3);
  Write(out, second);
  for (const char* name : {"third", "fourth"}) { // B has a caption the header does not know
    auto m = Molecule(name);
    SetNumber(*m, "A", 4);
    SetNumber(*m, "B", 5, "Other");
    Write(out, m);
  }
  EXPECT_EQ(Read("data.txt"), "Name\tA\tB\t\r\nfirst\t1.000000\t2.000000\t\r\nsecond\t\t3.000000\t\r\n"
                              "third\t4.000000\t\t\r\nfourth\t4.000000\t\t\r\n");
  // Left out of the data file, still in the results.
  EXPECT_NE(Read("Results.txt").find("Molecule name: fourth\r\n\r\n\tA:\r\n\t4\r\n\r\n\tB:\r\n\tOther=5\r\n"),
            std::string::npos);
  ASSERT_EQ(log->Count(lkWarning), 1);
  for (const auto& line : log->lines)
    if (line.kind == lkWarning) {
      EXPECT_NE(line.text.find("\"B\" (Other)"), std::string::npos) << line.text;
      EXPECT_NE(line.text.find(Path("data.txt")), std::string::npos) << line.text;
    }
}

TEST_F(ResultFolderTest, TheLogEchoesTheReadableLines) {
  auto log = std::make_shared<test::RecordingLog>();
  TVectorOutput out({"Value", "Missing"}, "data.txt", "Results.txt", false, true);
  out.SetLog(log);
  auto m = Molecule("aspirin");
  SetNumber(*m, "Value", 0.25, "v");
  Write(out, m);
  ASSERT_EQ(log->lines.size(), 3u);
  EXPECT_EQ(log->lines[0].text, "aspirin");
  EXPECT_EQ(log->lines[0].kind, lkHeading);
  EXPECT_EQ(log->lines[1].text, "Value:");
  EXPECT_EQ(log->lines[1].kind, lkPlain);
  EXPECT_EQ(log->lines[2].text, "v=0.25");
  EXPECT_EQ(log->lines[2].kind, lkResult);
}

class ValueNames : public TBlock, public virtual IClassification {
public:
  ValueNames() : TBlock(1) {}
  void Classify(const Ptr<ISubGraph>&) override {}
  std::uint8_t GetUpdateLevel() const override { return ulComputed; }
  int GetValueCount(int kind) const override { return static_cast<int>(Names(kind).size()); }
  std::string GetValueName(int kind, int index) const override { return Names(kind).at(static_cast<size_t>(index)); }

private:
  static std::vector<std::string> Names(int kind) {
    if (kind == ekAtoms) return {"q"};
    if (kind == ekBonds) return {"order"};
    if (kind == ekMolecule) return {"Total"};
    return {};
  }
};

TEST_F(ResultFolderTest, AtomAndBondValuesGoToTheResultsWithTheirPrefixesOnly) {
  ValueNames source;
  TVectorOutput out(source, "data.txt", "Results.txt");
  ASSERT_EQ(out.Records().size(), 3u);
  EXPECT_EQ(out.Records()[0].name, "Total");
  EXPECT_EQ(out.Records()[1].level, olAtom);
  EXPECT_EQ(out.Records()[2].level, olBond);
  EXPECT_FALSE(out.RowLines());
  EXPECT_TRUE(out.LabelledValues());
  auto m = Molecule("m", 3);
  SetNumber(*m, "Total", 7);
  m->GetAtom(0)->SetFloat("q", 0.5);
  m->GetAtom(2)->SetFloat("q", -0.25);
  m->GetBond(1)->SetFloat("order", 1.5);
  Write(out, m);
  EXPECT_EQ(Read("data.txt"), "Name\tTotal\t\r\nm\t7.000000\t\r\n");
  EXPECT_EQ(Read("Results.txt"), "Molecule name: m\r\n\r\n\tTotal:\r\n\t7\r\n\r\n"
                                 "\tq:\r\n\t1 C\t0.5\r\n\t3 O\t-0.25\r\n\r\n"
                                 "\torder:\r\n\t[2, 3]  \t1.5\r\n\r\n");
}

TEST_F(ResultFolderTest, AFileThatCannotBeCreatedEndsTheRunWithItsPath) {
  const std::string notAFolder = Path("plain-file");
  std::ofstream(notAFolder) << "x";
  Registry().WriteString(kResultFolderKey, notAFolder);
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  auto m = Molecule("m");
  SetNumber(*m, "Value", 1);
  try {
    Write(out, m);
    FAIL() << "no error";
  } catch (const EFatalError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to create \"" + notAFolder +
                                         "/data.txt\". You can modify the output file in the Tools/Options menu.");
  }
}

TEST_F(ResultFolderTest, AMissingFolderIsCreatedOneLevelDeepAndAnAbsoluteFileNameUsedAsItStands) {
  Registry().WriteString(kResultFolderKey, Path("new"));
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  Write(out, Valued("m"));
  EXPECT_TRUE(std::filesystem::exists(Path("new/data.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("new/Results.txt")));
  // An absolute file name is used as it stands.
  const std::string elsewhere = test::MakeTempFolder("elsewhere");
  TVectorOutput absolute({"Value"}, elsewhere + "/d.txt", "Results.txt", false, true);
  Write(absolute, Valued("m"));
  EXPECT_TRUE(std::filesystem::exists(elsewhere + "/d.txt"));
  std::filesystem::remove_all(elsewhere);
}

TEST_F(ResultFolderTest, ADataFileThatIsTheResultsFileIsRefusedAtStartNamingBoth) {
  std::filesystem::create_directory(Path("real"));
  std::filesystem::create_directory_symlink(Path("real"), Path("link"));
  std::ofstream(Path("real/Results.txt")) << "";
  std::filesystem::create_hard_link(Path("real/Results.txt"), Path("hard.txt"));
  const std::vector<std::pair<std::string, std::string>> sameFile = {
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
      EXPECT_EQ(std::string(e.what()), "The data file \"" + ResultFilePath(folder_, data) + "\" and the results file \"" +
                                           ResultFilePath(folder_, results) + "\" are one file: give them different names.");
    }
    out.Stop();
  }
  TVectorOutput different({"Value"}, "link/data.txt", "real/Results.txt", false, true);
  EXPECT_NO_THROW(different.Start(nullptr));
}

class SetsFolder : public IResultFolderQuestion {
public:
  explicit SetsFolder(std::string folder) : folder_(std::move(folder)) {}
  void AskResultFolder() override {
    ++asked;
    Registry().WriteString(kResultFolderKey, folder_);
  }
  int asked = 0;

private:
  std::string folder_;
};

TEST_F(ResultFolderTest, WithoutAFolderTheUserIsAskedOnceAndItsAnswerUsed) {
  Registry().WriteString(kResultFolderKey, "");
  auto question = std::make_shared<SetsFolder>(Path("chosen"));
  SetResultFolderQuestion(question);
  TVectorOutput out({"Value"}, "data.txt", "Results.txt", false, true);
  Write(out, Valued("m"));
  EXPECT_EQ(question->asked, 1);
  EXPECT_TRUE(std::filesystem::exists(Path("chosen/data.txt")));
  Registry().WriteString(kResultFolderKey, "");
  SetDataFolder(Path(""));
  Write(out, Valued("m")); // asked already: the program's folder
  SetDataFolder("");
  EXPECT_EQ(question->asked, 1);
  EXPECT_TRUE(std::filesystem::exists(Path("data.txt")));
}

} // namespace
} // namespace corvatin

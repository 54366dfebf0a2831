// The input block of the procedures: the file list, the combined filter, the reader chosen by extension, and
// the passes over several files.

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/graph_file_input.h"
#include "inputs/mol_input.h"
#include "inputs/smiles_input.h"

#include <filesystem>

using namespace corvatin;
using namespace corvatin::test;

namespace {

/// The four readers of other formats, as far as the filter and the dispatch see them.
Ptr<IObject> FormatStub(const std::string& filter) { return std::make_shared<TFileInput>(1, kParamInputFile, filter, ""); }

/// The catalogue's six readers in their order: SMILES, MOL/SD, Tripos MOL2, Z-matrix, MOPAC, XYZ.
std::vector<Ptr<IObject>> SixReaders() {
  return {std::make_shared<TSMILESInput>(), std::make_shared<TMOLInput>(),
          FormatStub("TRIPOS MOL file (*.mol2, *.ml2)|*.mol2;*.ml2"), FormatStub("MOPAC Z matrix files (*.zmt)|*.zmt"),
          FormatStub("MOPAC - AMPAC files (*.out, *.oam)|*.out;*.oam"), FormatStub("XYZ file (*.xyz)|*.xyz")};
}

/// A reader that fails its structure with a chemistry error on pass failOn, and ends its file after passes.
class FailingReader : public TFileInput {
public:
  FailingReader(int passes, int failOn) : TFileInput(1, kParamInputFile, "Fail (*.fai)|*.fai", ""), passes_(passes),
                                          failOn_(failOn) {}
  void Execute(bool& more) override {
    ++executed;
    files.push_back(GetFileName());
    more = executed % passes_ != 0;
    if (executed == failOn_) throw EChemError("structure too large");
  }
  int executed = 0;
  std::vector<std::string> files;

private:
  int passes_;
  int failOn_;
};

class GraphInput : public ::testing::Test {
protected:
  void Open(const Ptr<TGraphFileInput>& input, const std::string& files) {
    input->SetPortName(0, ReaderHarness<TMOLInput>::kPort);
    input->SetFileName(files);
    input->Start(nullptr);
  }
  std::vector<std::string> RunAll(TGraphFileInput& input, std::vector<bool>* flags = nullptr) {
    std::vector<std::string> names;
    bool more = true;
    for (int guard = 0; more && guard < 1000; ++guard) {
      input.Execute(more);
      names.push_back(harness.molecule->GetName());
      if (flags) flags->push_back(more);
    }
    return names;
  }
  ReaderHarness<TMOLInput> harness; // publishes the molecule under the port name
  TempFolder folder;
};

} // namespace

// ------------------------------------------------------------------------------------------ file lists

TEST(FileList, BlanksAroundNamesGoATrailingSemicolonAddsNothingTwoInARowAddAnEmptyName) {
  EXPECT_EQ(SplitFileList(" a.mol ;\tb.sdf "), (std::vector<std::string>{"a.mol", "b.sdf"}));
  EXPECT_EQ(SplitFileList("a.mol;"), (std::vector<std::string>{"a.mol"}));
  EXPECT_EQ(SplitFileList("a.mol;;b.sdf"), (std::vector<std::string>{"a.mol", "", "b.sdf"}));
  EXPECT_EQ(SplitFileList(""), (std::vector<std::string>{}));
  EXPECT_EQ(SplitFileList("  "), (std::vector<std::string>{}));
}

TEST(FileList, TheExtensionIsLoweredAndADotInAFolderIsNoExtension) {
  EXPECT_EQ(LowerFileExtension("/data/ASPIRIN.MOL"), ".mol");
  EXPECT_EQ(LowerFileExtension("set.v2.Sml2"), ".sml2");
  EXPECT_EQ(LowerFileExtension("/data/noext"), "");
  EXPECT_EQ(LowerFileExtension("/home/a.b/noext"), "");
  EXPECT_EQ(LowerFileExtension("C:\\a.b\\noext"), "");
}

TEST(FileList, AListOfBareNamesGetsTheProgramFolderInFrontOfTheWholeText) {
  TempFolder folder;
  const std::string program = folder.Path();
  folder.Write("a.mol", "a\n\n\n  1  0  0  0  0  0  0  0  0  0999 V2000\nM  END\n");
  folder.Write("b.sdf", "");
  SetDataFolder(program);
  TGraphFileInput input(SixReaders());
  input.SetFileName("a.mol; b.sdf");
  EXPECT_EQ(input.GetFileName(), program + "a.mol; b.sdf");
  input.SetFileName("/x/a.mol; b.sdf");
  EXPECT_EQ(input.GetFileName(), "/x/a.mol; b.sdf");
  input.SetFileName("");
  EXPECT_EQ(input.GetFileName(), "");
  // Each bare name of the run's list is looked up in the program folder.
  input.SetFileName(" a.mol ;b.sdf");
  input.Start(nullptr);
  EXPECT_EQ(input.GetFileNames(), (std::vector<std::string>{program + "a.mol", program + "b.sdf"}));
  input.Stop();
  EXPECT_TRUE(input.GetFileNames().empty());
  SetDataFolder("");
}

// ------------------------------------------------------------------------------------------ filter

TEST(GraphInputFilter, SixEntriesThenAllSupportedFilesWithTheTwelvePatternsInReaderOrder) {
  TGraphFileInput input(SixReaders());
  EXPECT_EQ(input.GetFilter(),
            "SMILES file (*.sml, *.sml2, *.smi, *.txt)|*.sml;*.sml2;*.smi;*.txt|"
            "MDL mol file or SDFile (*.mol, *.sdf)|*.mol;*.sdf|"
            "TRIPOS MOL file (*.mol2, *.ml2)|*.mol2;*.ml2|"
            "MOPAC Z matrix files (*.zmt)|*.zmt|"
            "MOPAC - AMPAC files (*.out, *.oam)|*.out;*.oam|"
            "XYZ file (*.xyz)|*.xyz|"
            "All supported files|*.sml;*.sml2;*.smi;*.txt;*.mol;*.sdf;*.mol2;*.ml2;*.zmt;*.out;*.oam;*.xyz");
  EXPECT_EQ(input.GetReaderFilters().size(), 6u);
  EXPECT_EQ(input.GetName(), "Input");
}

TEST(GraphInputFilter, EntriesThatAreNoInputsTakeNoPart) {
  auto plain = std::make_shared<TBlock>(1);
  TGraphFileInput input({plain, nullptr, std::make_shared<TMOLInput>()});
  EXPECT_EQ(input.GetFilter(), "MDL mol file or SDFile (*.mol, *.sdf)|*.mol;*.sdf|All supported files|*.mol;*.sdf");
  TGraphFileInput none({plain});
  EXPECT_EQ(none.GetFilter(), "");
}

// ------------------------------------------------------------------------------------------ dispatch

TEST_F(GraphInput, AnExtensionInCapitalsIsReadByItsReader) {
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  const std::string text = "ethanol\n\n\n  1  0  0  0  0  0  0  0  0  0999 V2000\n"
                           "    0.0000    0.0000    0.0000 O   0  0  0  0  0  0  0  0  0  0  0  0\nM  END\n";
  Open(input, folder.Write("WATER.MOL", text));
  bool more = true;
  input->Execute(more);
  EXPECT_FALSE(more);
  EXPECT_EQ(harness.molecule->GetName(), "ethanol");
  EXPECT_EQ(input->GetSelected()->GetName(), "Input");
}

TEST_F(GraphInput, EveryFileIsCheckedAtStartNamingTheFileAndTheReason) {
  // Before anything is read: an unknown, missing or empty extension (two ";" in a row give an empty name), a
  // part of an extension (".mo" is part of "*.mol"), a missing file, a folder, a file whose content is not of
  // its reader's format.
  const std::string good = folder.Write("a.sml", "CCO\n");
  folder.Write("x.PDB", "ATOM\n");
  std::filesystem::create_directories(folder.Path() + "dir.sdf");
  const std::pair<std::string, std::string> cases[] = {
      {folder.Path() + "x.PDB", "Unknown file extension \".pdb\". (file \"" + folder.Path() + "x.PDB\")"},
      {folder.Path() + "noext", "Unknown file extension \"\". (file \"" + folder.Path() + "noext\")"},
      {good + ";;" + good, "Unknown file extension \"\". (file \"\")"},
      {folder.Path() + "x.mo", "Unknown file extension \".mo\". (file \"" + folder.Path() + "x.mo\")"},
      {good + ";" + folder.Path() + "gone.sdf", "Couldn't open file \"" + folder.Path() + "gone.sdf\" (No such file or directory)"},
      {folder.Path() + "dir.sdf", "Couldn't open file \"" + folder.Path() + "dir.sdf\" (not a regular file)"},
      {folder.Write("words.sdf", "no molfile\nhere\n"),
       "The content of file \"" + folder.Path() + "words.sdf\" does not fit its extension \".sdf\" (MDL mol file or SDFile)"},
  };
  for (const auto& [files, message] : cases) {
    auto input = std::make_shared<TGraphFileInput>(SixReaders());
    EXPECT_EQ(MessageOf<EInputError>([&] { Open(input, files); }), message);
    input->Stop();
  }
}

// ------------------------------------------------------------------------------------------ passes

TEST_F(GraphInput, AnSDFileOfThreeRecordsGivesThreePassesTheLastWithoutMore) {
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  Open(input, DataFile("data-items-lf.sdf"));
  std::vector<bool> flags;
  EXPECT_EQ(RunAll(*input, &flags), (std::vector<std::string>{"ethanol", "", "acetophenone-13C"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, false}));
}

TEST_F(GraphInput, TwoFilesInARowTheRunGoesOnWithTheSecondAfterTheFirstsLastStructure) {
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  const std::string smiles = folder.Write("two.sml", "CCO c1ccccc1\n");
  Open(input, smiles + "; " + DataFile("data-items-crlf.sdf"));
  std::vector<bool> flags;
  EXPECT_EQ(RunAll(*input, &flags),
            (std::vector<std::string>{"CCO", "c1ccccc1", "ethanol", "", "acetophenone-13C"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, true, true, false}));
  EXPECT_EQ(input->GetCurrentIndex(), 2);
}

TEST_F(GraphInput, TheSameFileTwiceIsReadTwice) {
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  const std::string file = folder.Write("a.sml", "CCO\nCC\n");
  Open(input, file + ";" + file);
  EXPECT_EQ(RunAll(*input), (std::vector<std::string>{"CCO", "CC", "CCO", "CC"}));
}

TEST_F(GraphInput, ABareFileNameIsLookedUpInTheProgramFolder) {
  folder.Write("bare.sml", "C#N\n");
  SetDataFolder(folder.Path());
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  Open(input, "bare.sml");
  const auto names = RunAll(*input);
  SetDataFolder("");
  EXPECT_EQ(names, (std::vector<std::string>{"C#N"}));
}

TEST_F(GraphInput, WithoutFilesOnePassRunsOnTheStructureAlreadyThere) {
  auto input = std::make_shared<TGraphFileInput>(SixReaders());
  harness.molecule->SetName("drawn");
  Open(input, "");
  bool more = true;
  input->Execute(more);
  EXPECT_FALSE(more);
  EXPECT_EQ(harness.molecule->GetName(), "drawn");
  EXPECT_EQ(input->GetCurrentIndex(), 1);
}

TEST_F(GraphInput, AChemistryErrorOnAFilesLastStructureStillMovesOnToTheNextFile) {
  auto failing = std::make_shared<FailingReader>(2, 2); // two structures per file; the second fails
  auto input = std::make_shared<TGraphFileInput>(std::vector<Ptr<IObject>>{failing});
  Open(input, folder.Write("a.fai", "1\n") + ";" + folder.Write("b.fai", "2\n"));
  bool more = true;
  input->Execute(more);
  EXPECT_TRUE(more);
  EXPECT_THROW(input->Execute(more), EChemError);
  EXPECT_TRUE(more); // the run goes on, with the second file
  input->Execute(more);
  EXPECT_EQ(failing->files.back(), folder.Path() + "b.fai");
  input->Execute(more);
  EXPECT_FALSE(more);
}

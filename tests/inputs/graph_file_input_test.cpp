// The input block of the procedures: the file list, the combined filter, the reader chosen by extension, the
// checks before a run, and the passes over several files.

#include "input_test_util.h"

#include "inputs/graph_file_input.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"
#include "inputs/zmatrix_input.h"

#include <filesystem>

using namespace corvatin;
using namespace corvatin::test;

namespace {

/// The catalogue's six readers in their order.
std::vector<Ptr<IObject>> SixReaders() {
  return {std::make_shared<TSMILESInput>(),  std::make_shared<TMOLInput>(),   std::make_shared<TTriposMOLInput>(),
          std::make_shared<TZMatrixInput>(), std::make_shared<TMOPACInput>(), std::make_shared<TXYZSphereInput>()};
}

class GraphInput : public ::testing::Test {
protected:
  Ptr<TGraphFileInput> Open(const std::string& files) {
    auto input = std::make_shared<TGraphFileInput>(SixReaders());
    input->SetPortName(0, ReaderHarness<TMOLInput>::kPort);
    input->SetFileName(files);
    input->Start(nullptr);
    return input;
  }
  /// Every pass until the flag is cleared: the names (with atom and bond counts when counts), "!" for a
  /// chemistry error; each pass's flag in flags.
  Names RunAll(const std::string& files, bool counts = false) {
    auto input = Open(files);
    Names names;
    bool more = true;
    for (int guard = 0; more && guard < 1000; ++guard) {
      try {
        input->Execute(more);
        const IMolecule& m = *harness.molecule;
        names.push_back(m.GetName() +
                        (counts ? " " + std::to_string(m.VertexCount()) + " " + std::to_string(m.EdgeCount()) : ""));
      } catch (const EChemError&) {
        names.push_back("!");
      }
      flags.push_back(more);
    }
    return names;
  }
  std::vector<bool> flags;
  ReaderHarness<TMOLInput> harness; // publishes the molecule under the port name
  TempFolder folder;
};

} // namespace

TEST(FileList, BlanksAroundNamesGoATrailingSemicolonAddsNothingTwoInARowAddAnEmptyName) {
  EXPECT_EQ(SplitFileList(" a.mol ;\tb.sdf "), (Names{"a.mol", "b.sdf"}));
  EXPECT_EQ(SplitFileList("a.mol;"), (Names{"a.mol"}));
  EXPECT_EQ(SplitFileList("a.mol;;b.sdf"), (Names{"a.mol", "", "b.sdf"}));
  EXPECT_EQ(SplitFileList("  "), (Names{}));
  for (const auto& [name, extension] : std::vector<std::pair<std::string, std::string>>{
           {"/data/ASPIRIN.MOL", ".mol"}, {"set.v2.Sml2", ".sml2"}, {"/home/a.b/noext", ""}, {"C:\\a.b\\noext", ""}})
    EXPECT_EQ(LowerFileExtension(name), extension) << name;
}

TEST(FileList, TheFilterListsTheInputsInOrderThenAllTheirPatterns) {
  auto plain = std::make_shared<TBlock>(1);
  TGraphFileInput input({plain, nullptr, std::make_shared<TMOLInput>(), std::make_shared<TSMILESInput>()});
  EXPECT_EQ(input.GetFilter(), std::string(kMOLFilter) + "|" + kSMILESFilter +
                                   "|All supported files|*.mol;*.sdf;*.sml;*.sml2;*.smi;*.txt");
  EXPECT_EQ(TGraphFileInput({plain}).GetFilter(), "");
}

TEST_F(GraphInput, BareNamesAreLookedUpInTheProgramFolderShownInFrontOfTheWholeList) {
  folder.Write("a.sml", "C#N\n");
  folder.Write("b.sml", "CC\n");
  SetDataFolder(folder.Path());
  TGraphFileInput input(SixReaders());
  for (const auto& [list, shown] : std::vector<std::pair<std::string, std::string>>{
           {"/x/a.mol; b.sdf", "/x/a.mol; b.sdf"}, {"", ""}, {" a.sml ;b.sml", folder.Path() + " a.sml ;b.sml"}}) {
    input.SetFileName(list);
    EXPECT_EQ(input.GetFileName(), shown);
  }
  EXPECT_EQ(RunAll(" a.sml ;b.sml"), (Names{"C#N", "CC"}));
  SetDataFolder("");
}

TEST_F(GraphInput, EveryFileIsCheckedAtStartNamingTheFileAndTheReason) {
  // Before anything is read: an unknown, missing or empty extension (two ";" in a row give an empty name), a
  // part of an extension (".mo" is part of "*.mol"), a missing file, a folder, a file whose content is not of
  // its reader's format.
  const std::string good = folder.Write("a.sml", "CCO\n");
  const std::string dir = folder.Path();
  folder.Write("x.PDB", "ATOM\n");
  std::filesystem::create_directories(dir + "dir.sdf");
  const std::pair<std::string, std::string> cases[] = {
      {dir + "x.PDB", "Unknown file extension \".pdb\". (file \"" + dir + "x.PDB\")"},
      {dir + "noext", "Unknown file extension \"\". (file \"" + dir + "noext\")"},
      {good + ";;" + good, "Unknown file extension \"\". (file \"\")"},
      {dir + "x.mo", "Unknown file extension \".mo\". (file \"" + dir + "x.mo\")"},
      {good + ";" + dir + "gone.sdf", "Couldn't open file \"" + dir + "gone.sdf\" (No such file or directory)"},
      {dir + "dir.sdf", "Couldn't open file \"" + dir + "dir.sdf\" (not a regular file)"},
      {folder.Write("words.sdf", "no molfile\nhere\n"),
       "The content of file \"" + dir + "words.sdf\" does not fit its extension \".sdf\" (MDL mol file or SDFile)"},
  };
  for (const auto& [files, message] : cases) EXPECT_EQ(MessageOf<EInputError>([&] { Open(files)->Stop(); }), message);
}

TEST_F(GraphInput, OneRunOverFilesOfEveryReaderInCapitalsOrNot) {
  // Each MOL2 molecule with its own atoms and bonds, those of its molfile.
  const std::string points = folder.Write("points.XYZ", "2\n0 0 0\n3 4 0\n1\n1 1 1\n");
  EXPECT_EQ(RunAll(Data("formats/five.mol2") + ";" + Data("mopac/water_allvec_opt.out") + "; " +
                       Data("zmatrix/acetone.zmt") + ";" + points,
                   true),
            (Names{"CS_ethanol 9 8", "CS_pyridine-2-thiol 12 12", "BZR_Diazepam 33 35", "NCI_3 17 17",
                   "CHEMBL2321810_1520011 47 50", " 3 2", "acetone 10 9", " 0 0", " 0 0"}));
  EXPECT_DOUBLE_EQ(SharedDataSpace()->GetMatrix(kParamCoordMatrix)->Get(0, 0), 1.0);
}

TEST_F(GraphInput, FilesInARowTheRunGoesOnWithTheNextAfterAFilesLastStructureAndReadsAFileTwiceWhenNamedTwice) {
  const std::string smiles = folder.Write("two.sml", "CCO c1ccccc1\n");
  EXPECT_EQ(RunAll(smiles + "; " + Data("inputs/data-items-crlf.sdf") + ";" + smiles),
            (Names{"CCO", "c1ccccc1", "ethanol", "", "acetophenone-13C", "CCO", "c1ccccc1"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, true, true, true, true, false}));
}

TEST_F(GraphInput, ABrokenLastRecordOfAFileStillMovesOnToTheNextFile) {
  EXPECT_EQ(RunAll(folder.Write("a.sdf", DataText("formats/CS_ethanol.mol") + "$$$$\nbroken\n") + ";" +
                   folder.Write("b.sml", "C#N\n")),
            (Names{"CS_ethanol", "!", "C#N"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, false}));
}

TEST_F(GraphInput, WithoutFilesOnePassRunsOnTheStructureAlreadyThere) {
  harness.molecule->SetName("drawn");
  EXPECT_EQ(RunAll(""), (Names{"drawn"}));
}

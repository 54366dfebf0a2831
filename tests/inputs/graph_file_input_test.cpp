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
  Names RunAll(TGraphFileInput& input, std::vector<bool>* flags = nullptr) {
    Names names;
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

TEST(FileList, BlanksAroundNamesGoATrailingSemicolonAddsNothingTwoInARowAddAnEmptyName) {
  EXPECT_EQ(SplitFileList(" a.mol ;\tb.sdf "), (Names{"a.mol", "b.sdf"}));
  EXPECT_EQ(SplitFileList("a.mol;"), (Names{"a.mol"}));
  EXPECT_EQ(SplitFileList("a.mol;;b.sdf"), (Names{"a.mol", "", "b.sdf"}));
  EXPECT_EQ(SplitFileList("  "), (Names{}));
  for (const auto& [name, extension] : std::vector<std::pair<std::string, std::string>>{
           {"/data/ASPIRIN.MOL", ".mol"}, {"set.v2.Sml2", ".sml2"}, {"/home/a.b/noext", ""}, {"C:\\a.b\\noext", ""}})
    EXPECT_EQ(LowerFileExtension(name), extension) << name;
}

TEST(FileList, BareNamesAreLookedUpInTheProgramFolder) {
  TempFolder folder;
  const std::string program = folder.Path();
  folder.Write("a.sml", "C#N\n");
  folder.Write("b.sml", "CC\n");
  SetDataFolder(program);
  TGraphFileInput input(SixReaders());
  input.SetFileName("/x/a.mol; b.sdf");
  EXPECT_EQ(input.GetFileName(), "/x/a.mol; b.sdf");
  input.SetFileName("");
  EXPECT_EQ(input.GetFileName(), "");
  input.SetFileName(" a.sml ;b.sml");
  EXPECT_EQ(input.GetFileName(), program + " a.sml ;b.sml"); // shown with the folder in front of the whole text
  input.Start(nullptr);
  EXPECT_EQ(input.GetFileNames(), (Names{program + "a.sml", program + "b.sml"}));
  input.Stop();
  EXPECT_TRUE(input.GetFileNames().empty());
  SetDataFolder("");
}

TEST(FileList, TheFilterListsTheInputsInOrderThenAllTheirPatterns) {
  auto plain = std::make_shared<TBlock>(1);
  TGraphFileInput input({plain, nullptr, std::make_shared<TMOLInput>(), std::make_shared<TSMILESInput>()});
  EXPECT_EQ(input.GetFilter(), std::string(kMOLFilter) + "|" + kSMILESFilter +
                                   "|All supported files|*.mol;*.sdf;*.sml;*.sml2;*.smi;*.txt");
  EXPECT_EQ(TGraphFileInput({plain}).GetFilter(), "");
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
  const std::string points = folder.Write("points.XYZ", "2\n0 0 0\n3 4 0\n1\n1 1 1\n");
  auto input = Open(Data("formats/five.mol2") + ";" + Data("mopac/water_allvec_opt.out") + "; " +
                    Data("zmatrix/acetone.zmt") + ";" + points);
  Names names;
  std::vector<int> atoms, bonds; // each MOL2 molecule with its own atoms and bonds, those of its molfile
  for (bool more = true; more && names.size() < 20;) {
    input->Execute(more);
    names.push_back(harness.molecule->GetName());
    atoms.push_back(harness.molecule->VertexCount());
    bonds.push_back(harness.molecule->EdgeCount());
  }
  EXPECT_EQ(names, (Names{"CS_ethanol", "CS_pyridine-2-thiol", "BZR_Diazepam", "NCI_3", "CHEMBL2321810_1520011", "",
                          "acetone", "", ""}));
  EXPECT_EQ(atoms, (std::vector<int>{9, 12, 33, 17, 47, 3, 10, 0, 0}));
  EXPECT_EQ(bonds, (std::vector<int>{8, 12, 35, 17, 50, 2, 9, 0, 0}));
  EXPECT_DOUBLE_EQ(SharedDataSpace()->GetMatrix(kParamCoordMatrix)->Get(0, 0), 1.0);
}

TEST_F(GraphInput, FilesInARowTheRunGoesOnWithTheNextAfterAFilesLastStructureAndReadsAFileTwiceWhenNamedTwice) {
  const std::string smiles = folder.Write("two.sml", "CCO c1ccccc1\n");
  auto input = Open(smiles + "; " + Data("inputs/data-items-crlf.sdf") + ";" + smiles);
  std::vector<bool> flags;
  EXPECT_EQ(RunAll(*input, &flags), (Names{"CCO", "c1ccccc1", "ethanol", "", "acetophenone-13C", "CCO", "c1ccccc1"}));
  EXPECT_EQ(flags, (std::vector<bool>{true, true, true, true, true, true, false}));
  EXPECT_EQ(input->GetCurrentIndex(), 3);
}

TEST_F(GraphInput, WithoutFilesOnePassRunsOnTheStructureAlreadyThere) {
  harness.molecule->SetName("drawn");
  auto input = Open("");
  bool more = true;
  input->Execute(more);
  EXPECT_FALSE(more);
  EXPECT_EQ(harness.molecule->GetName(), "drawn");
}

TEST_F(GraphInput, ABrokenLastRecordOfAFileStillMovesOnToTheNextFile) {
  auto input = Open(folder.Write("a.sdf", DataText("formats/CS_ethanol.mol") + "$$$$\nbroken\n") + ";" + folder.Write("b.sml", "C#N\n"));
  bool more = true;
  input->Execute(more);
  EXPECT_TRUE(more);
  EXPECT_THROW(input->Execute(more), ERecordError); // a chemistry error
  EXPECT_TRUE(more); // the run goes on, with the second file
  input->Execute(more);
  EXPECT_EQ(harness.molecule->GetName(), "C#N");
  EXPECT_FALSE(more);
}

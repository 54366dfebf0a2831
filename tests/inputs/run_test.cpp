// Whole runs through a package and its worker: the input block delivers every structure of its files to the
// blocks after it, and a broken file ends the run with a log line that says where.

#include "input_test_util.h"

#include "inputs/graph_file_input.h"
#include "inputs/mol_input.h"
#include "inputs/smiles_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

const std::string kStopped = "Procedure execution stopped";
const std::string kFinished = "Procedure execution successfully finished";

class Run : public ::testing::Test {
protected:
  Run() {
    input = std::make_shared<TGraphFileInput>(
        std::vector<Ptr<IObject>>{std::make_shared<TSMILESInput>(), std::make_shared<TMOLInput>()});
    // The block after the input records the name and size of every structure it is handed.
    recorder->script = [this](ScriptBlock& self, bool&) {
      auto molecule = self.GetInputAs<IMolecule>();
      seen.push_back(molecule ? molecule->GetName() + "/" + std::to_string(molecule->VertexCount()) : "none");
    };
    package->AddBlock(input, {"RunTest.Molecule"});
    package->AddBlock(recorder, {"RunTest.Molecule"});
  }
  void RunFiles(const std::string& files) {
    input->SetFileName(files);
    ASSERT_TRUE(package->Execute(false, finish, log, progress));
    ASSERT_TRUE(ServeWithin(*dispatcher, [&] { return finish->count > 0; })) << "the run did not finish";
    ASSERT_TRUE(package->WaitForRun());
  }
  bool Logged(const std::string& text, int kind) const { return log->Contains(text, kind); }

  Watchdog watchdog{std::chrono::seconds(120), "input run"};
  Ptr<TConsoleDispatcher> dispatcher = std::make_shared<TConsoleDispatcher>();
  Ptr<TPackage> package = std::make_shared<TPackage>("Test", dispatcher);
  Ptr<RecordingLog> log = std::make_shared<RecordingLog>();
  Ptr<RecordingProgress> progress = std::make_shared<RecordingProgress>();
  Ptr<FinishCounter> finish = std::make_shared<FinishCounter>();
  Ptr<TGraphFileInput> input;
  Ptr<ScriptBlock> recorder = std::make_shared<ScriptBlock>("Recorder");
  std::vector<std::string> seen;
  TempFolder folder;
};

} // namespace

TEST_F(Run, EveryStructureOfEveryFileReachesTheNextBlockAndTheRunFinishes) {
  RunFiles(folder.Write("a.sml", "C O\n") + ";" + DataFile("data-items-crlf.sdf"));
  EXPECT_EQ(seen, (std::vector<std::string>{"C/5", "O/3", "ethanol/9", "/10", "acetophenone-13C/17"}));
  EXPECT_EQ(log->Last().text, kFinished);
  EXPECT_EQ(package->GetInput(), input);
}

TEST_F(Run, ASmilesSyntaxErrorIsLoggedWithFileLineAndTheParsersMessageAndEndsTheRun) {
  const std::string file = folder.Write("bad.sml", "CCO\nCC(\nCCC\n");
  RunFiles(file);
  EXPECT_EQ(seen, (std::vector<std::string>{"CCO/9"}));
  EXPECT_TRUE(Logged("Error in file \"" + file + "\" at line 2 (Branch closure expected at position 3)", lkError));
  EXPECT_FALSE(Logged("Unexpected error", lkError));
  EXPECT_EQ(log->Last().text, kStopped);
}

TEST_F(Run, ABrokenSDRecordIsLoggedWithItsLineAndEndsTheRun) {
  const std::string record = "x\n\n\n  2  1  0  0  0  0  0  0  0  0999 V2000\n"
                             "    0.0000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n"
                             "    1.5000    0.0000    0.0000 C   0  0  0  0  0  0  0  0  0  0  0  0\n";
  const std::string file = folder.Write("bad.sdf", record + "  1  2  1  0\nM  END\n$$$$\n" + record +
                                                       "  1  3  1  0\nM  END\n$$$$\n");
  RunFiles(file);
  EXPECT_EQ(seen, (std::vector<std::string>{"x/8"})); // ethane with its implicit hydrogens
  EXPECT_TRUE(Logged("Error in file \"" + file + "\" at line 16 (Atom number out of range)", lkError));
  EXPECT_EQ(log->Last().text, kStopped);
}

TEST_F(Run, AnUnknownExtensionEndsTheRunWithItsMessage) {
  RunFiles(folder.Path() + "x.pdb");
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(Logged("Unknown file extension \".pdb\".", lkError));
  EXPECT_EQ(log->Last().text, kStopped);
}

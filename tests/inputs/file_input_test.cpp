// The reader base classes: the file-name parameter and its folder rule, the messages, the opening step that
// keeps a file open between passes, progress, and the molecule a reader reads into.

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/mol_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

/// A reader that reads one line per pass and exposes the helpers of its base.
class LineReader : public TParserInput {
public:
  explicit LineReader(bool mustExist = true) : TParserInput(1, mustExist, kParamInputFile, "Lines (*.lin)|*.lin", "") {}
  void Execute(bool& more) override {
    TParserInput::Execute(more);
    if (!Tokenizer()) return;
    IMolecule& molecule = TakeMolecule();
    std::string line;
    Tokenizer()->ReadLine(line);
    molecule.SetName(line);
    ReportProgress();
    more = !Tokenizer()->AtEnd();
  }
  using TParserInput::CheckFile;
  using TParserInput::GetMolecule;
  using TParserInput::Tokenizer;
};

class DataFolderOverride {
public:
  explicit DataFolderOverride(const std::string& folder) { SetDataFolder(folder); }
  ~DataFolderOverride() { SetDataFolder(""); }
};

} // namespace

// ------------------------------------------------------------------------------------------ messages

TEST(InputMessages, FileAndLineMessageTakesTheDetailInParentheses) {
  EXPECT_EQ(FileErrorMessage("a.sdf", 12), "Error in file \"a.sdf\" at line 12");
  EXPECT_EQ(FileErrorMessage("a.sdf", 3, "Atom count expected"),
            "Error in file \"a.sdf\" at line 3 (Atom count expected)");
  EXPECT_EQ(FormatFileMessage(kMsgCannotOpen, ""), "Couldn't open file \"\"");
  EXPECT_EQ(FormatFileMessage(kMsgUnknownExtension, ".pdb"), "Unknown file extension \".pdb\".");
}

// ------------------------------------------------------------------------------------------ TFileInput

TEST(FileInput, ABareNameIsTakenFromTheProgramFolderANameWithAFolderAsItStands) {
  DataFolderOverride folder("/opt/corvatin/");
  TFileInput input(1, kParamInputFile, "X (*.x)|*.x", "");
  input.SetFileName("Input.mol");
  EXPECT_EQ(input.GetFileName(), "/opt/corvatin/Input.mol");
  EXPECT_EQ(input.GetString(kParamInputFile), "Input.mol");
  input.SetFileName("/data/x.mol");
  EXPECT_EQ(input.GetFileName(), "/data/x.mol");
  input.SetFileName("C:\\data\\x.mol"); // written on Windows
  EXPECT_EQ(input.GetFileName(), "C:\\data\\x.mol");
  input.SetFileName("");
  EXPECT_EQ(input.GetFileName(), "");
}

namespace {
std::string gOfferedFilter;
Ptr<IParamEdit> RecordFilter(IParameter&, const std::string& filter) {
  gOfferedFilter = filter;
  return nullptr;
}
} // namespace

TEST(FileInput, TheFileNameEditorOffersTheBlocksFilter) {
  SetFileNameEditorFactory(RecordFilter);
  TMOLInput input;
  SetFileNameEditorFactory(nullptr);
  EXPECT_EQ(gOfferedFilter, "MDL mol file or SDFile (*.mol, *.sdf)|*.mol;*.sdf");
}

// ------------------------------------------------------------------------------------------ opening step

TEST(ParserInput, AnEmptyNameFailsWhenAFileMustExistAndEndsQuietlyOtherwise) {
  ReaderHarness<LineReader> must;
  must.Start("");
  EXPECT_EQ(MessageOf<EInputError>([&] { must.Pass(); }), "Couldn't open file \"\"");

  ReaderHarness<LineReader> optional(false);
  optional.Start("");
  EXPECT_FALSE(optional.Pass());
}

TEST(ParserInput, AFileThatCannotBeOpenedRaisesAnInputErrorNamingIt) {
  TempFolder folder;
  ReaderHarness<LineReader> h;
  h.Start(folder.Path() + "missing.lin");
  const std::string message = MessageOf<EInputError>([&] { h.Pass(); });
  EXPECT_NE(message.find("missing.lin"), std::string::npos) << message;
}

TEST(ParserInput, TheFileStaysOpenBetweenPassesAndANewNameOpensTheNewFile) {
  TempFolder folder;
  const std::string a = folder.Write("a.lin", "a1\na2\na3\n");
  const std::string b = folder.Write("b.lin", "b1\nb2\n");
  ReaderHarness<LineReader> h;
  h.Start(a);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "a1");
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "a2");
  h.reader->SetFileName(b);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "b1");
  EXPECT_EQ(h.reader->GetCurrentFile(), b);
}

TEST(ParserInput, AFileReadToItsEndIsOpenedAnewNotReadPastItsEnd) {
  TempFolder folder;
  const std::string a = folder.Write("a.lin", "a1\na2");
  ReaderHarness<LineReader> h;
  h.Start(a);
  EXPECT_TRUE(h.Pass());
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "a2");
  // Asked again (the same file twice in a list), the file is read from its start.
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "a1");
}

TEST(ParserInput, StopClosesTheFileAndForgetsIt) {
  TempFolder folder;
  ReaderHarness<LineReader> h;
  h.Start(folder.Write("a.lin", "a1\na2\n"));
  h.Pass();
  ASSERT_NE(h.reader->Tokenizer(), nullptr);
  h.reader->Stop();
  EXPECT_EQ(h.reader->Tokenizer(), nullptr);
  EXPECT_EQ(h.reader->GetCurrentFile(), "");
  EXPECT_EQ(h.reader->GetMolecule(), nullptr);
  EXPECT_EQ(h.reader->ProgressPercent(), 0);
}

// ------------------------------------------------------------------------------------------ progress, checks

TEST(ParserInput, ProgressIsThePositionAsAPercentageOfTheFileRoundedHalfToEven) {
  TempFolder folder;
  // 8 bytes: after "ab\n" 3/8 = 37.5 % -> 38 (ties to even); after "cdefg" 100 %.
  ReaderHarness<LineReader> h;
  h.Start(folder.Write("a.lin", "ab\ncdefg"));
  EXPECT_EQ(h.reader->ProgressPercent(), 0); // nothing open yet
  h.Pass();
  EXPECT_EQ(h.reader->ProgressPercent(), 38);
  h.Pass();
  EXPECT_EQ(h.reader->ProgressPercent(), 100);
  EXPECT_EQ(h.progress->positions, (std::vector<int>{38, 100}));
}

TEST(ParserInput, CheckFileNamesTheFileAndTheTokenizersLine) {
  TempFolder folder;
  const std::string file = folder.Write("a.lin", "one\ntwo\nthree\n");
  ReaderHarness<LineReader> h;
  h.Start(file);
  h.Pass();
  h.Pass();
  EXPECT_NO_THROW(h.reader->CheckFile(true, "never"));
  EXPECT_EQ(MessageOf<EInputError>([&] { h.reader->CheckFile(false); }),
            "Error in file \"" + file + "\" at line 3");
  EXPECT_EQ(MessageOf<EInputError>([&] { h.reader->CheckFile(false, "Atom count expected"); }),
            "Error in file \"" + file + "\" at line 3 (Atom count expected)");
}

// ------------------------------------------------------------------------------------------ the molecule

TEST(ParserInput, TheReaderFillsTheMoleculePublishedUnderItsPortName) {
  TempFolder folder;
  ReaderHarness<LineReader> h;
  h.molecule->SetName("old");
  h.molecule->AddAtom();
  h.Start(folder.Write("a.lin", "first\n"));
  h.Pass();
  EXPECT_EQ(h.reader->GetMolecule(), h.molecule);
  EXPECT_EQ(h.molecule->VertexCount(), 0); // cleared before reading
  EXPECT_EQ(h.molecule->GetName(), "first");
}

TEST(ParserInput, WithNothingPublishedTheReaderPublishesAMoleculeOfItsOwnForTheRun) {
  TempFolder folder;
  const std::string port = "InputTest.OwnMolecule";
  auto reader = std::make_shared<LineReader>();
  reader->SetPortName(0, port);
  reader->SetFileName(folder.Write("a.lin", "first\n"));
  reader->Start(nullptr);
  auto published = SharedDataSpace()->GetInterface<IMolecule>(port);
  ASSERT_TRUE(published);
  bool more = true;
  reader->Execute(more);
  EXPECT_EQ(published->GetName(), "first");
  reader->Stop();
  EXPECT_FALSE(SharedDataSpace()->HasParam(port)); // withdrawn with the run
}

TEST(ParserInput, AMoleculePublishedLaterByAnotherBlockIsUsedAndNotWithdrawnByTheReader) {
  TempFolder folder;
  const std::string port = "InputTest.EditorMolecule";
  auto reader = std::make_shared<LineReader>();
  reader->SetPortName(0, port);
  reader->SetFileName(folder.Write("a.lin", "first\n"));
  reader->Start(nullptr);
  // The molecule editor block starts after the input block and publishes its molecule.
  auto editorMolecule = NewMolecule();
  SharedDataSpace()->AddParam(port, MakeInterfaceParam<IGraph>(Ptr<IGraph>(editorMolecule)), nullptr, true);
  bool more = true;
  reader->Execute(more);
  EXPECT_EQ(editorMolecule->GetName(), "first");
  reader->Stop();
  EXPECT_TRUE(SharedDataSpace()->HasParam(port));
  SharedDataSpace()->DeleteParam(port);
}

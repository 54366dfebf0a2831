// The reader base classes: the file-name parameter and its folder rule, the opening step that keeps a file open
// between passes, progress, and the molecule a reader reads into.

#include "input_test_util.h"

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
  using TParserInput::GetMolecule;
  using TParserInput::Tokenizer;
};

std::string gOfferedFilter;
Ptr<IParamEdit> RecordFilter(IParameter&, const std::string& filter) {
  gOfferedFilter = filter;
  return nullptr;
}

} // namespace

TEST(FileInput, ABareNameIsTakenFromTheProgramFolderANameWithAFolderAsItStands) {
  SetDataFolder("/opt/corvatin/");
  TFileInput input(1, kParamInputFile, "X (*.x)|*.x", "");
  const std::pair<std::string, std::string> cases[] = {
      {"Input.mol", "/opt/corvatin/Input.mol"}, {"/data/x.mol", "/data/x.mol"},
      {"C:\\data\\x.mol", "C:\\data\\x.mol"}, {"", ""}}; // the third written on Windows
  for (const auto& [name, file] : cases) {
    input.SetFileName(name);
    EXPECT_EQ(input.GetFileName(), file);
    EXPECT_EQ(input.GetString(kParamInputFile), name); // stored as given
  }
  SetDataFolder("");
}

TEST(FileInput, TheFileNameEditorOffersTheBlocksFilter) {
  SetFileNameEditorFactory(RecordFilter);
  TMOLInput input;
  SetFileNameEditorFactory(nullptr);
  EXPECT_EQ(gOfferedFilter, kMOLFilter);
}

TEST(ParserInput, AnEmptyNameFailsWhenAFileMustExistAndEndsQuietlyOtherwiseAMissingFileFailsNamingIt) {
  ReaderHarness<LineReader> must;
  must.Start("");
  EXPECT_EQ(MessageOf<EInputError>([&] { must.Pass(); }), "Couldn't open file \"\"");
  ReaderHarness<LineReader> optional(false);
  optional.Start("");
  EXPECT_FALSE(optional.Pass());
  TempFolder folder;
  must.Start(folder.Path() + "missing.lin");
  EXPECT_NE(MessageOf<EInputError>([&] { must.Pass(); }).find("missing.lin"), std::string::npos);
}

TEST(ParserInput, TheFileStaysOpenBetweenPassesWithProgressIsOpenedAnewAfterItsEndAndANewNameOpensTheNewFile) {
  TempFolder folder;
  ReaderHarness<LineReader> h;
  h.Start(folder.Write("a.lin", "ab\ncdefg"));
  EXPECT_EQ(h.reader->ProgressPercent(), 0); // nothing open yet
  EXPECT_EQ(h.ReadAll(), (Names{"ab", "cdefg"}));
  // 8 bytes: after "ab\n" 3/8 = 37.5 % -> 38 (halves to even), then 100 %.
  EXPECT_EQ(h.progress->positions, (std::vector<int>{38, 100}));
  // Asked again (the same file twice in a list), the file is read from its start.
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "ab");
  const std::string b = folder.Write("b.lin", "b1\nb2\n");
  h.reader->SetFileName(b);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "b1");
  EXPECT_EQ(h.reader->GetCurrentFile(), b);
  h.reader->Stop();
  EXPECT_EQ(h.reader->Tokenizer(), nullptr);
  EXPECT_EQ(h.reader->GetCurrentFile(), "");
  EXPECT_EQ(h.reader->GetMolecule(), nullptr);
  EXPECT_EQ(h.reader->ProgressPercent(), 0);
}

TEST(ParserInput, WithNothingPublishedTheReaderPublishesAMoleculeForTheRunAndYieldsToOnePublishedLater) {
  TempFolder folder;
  const std::string port = "InputTest.OwnMolecule";
  for (bool editorLater : {false, true}) {
    auto reader = std::make_shared<LineReader>();
    reader->SetPortName(0, port);
    reader->SetFileName(folder.Write("a.lin", "first\n"));
    reader->Start(nullptr);
    auto published = SharedDataSpace()->GetInterface<IMolecule>(port);
    ASSERT_TRUE(published);
    if (editorLater) { // the molecule editor block starts after the input block and publishes its molecule
      published = NewMolecule();
      SharedDataSpace()->AddParam(port, MakeInterfaceParam<IGraph>(Ptr<IGraph>(published)), nullptr, true);
    }
    bool more = true;
    reader->Execute(more);
    EXPECT_EQ(published->GetName(), "first");
    reader->Stop();
    EXPECT_EQ(SharedDataSpace()->HasParam(port), editorLater); // only its own is withdrawn with the run
    SharedDataSpace()->DeleteParam(port);
  }
}

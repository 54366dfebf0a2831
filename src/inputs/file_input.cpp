#include "inputs/file_input.h"

#include "core/errors.h"
#include "core/paths.h"
#include "core/rounding.h"

#include <atomic>

namespace corvatin {

namespace {

std::atomic<FileNameEditorFactory> gEditorFactory{nullptr};

std::string Substitute(std::string_view format, std::string_view placeholder, const std::string& value) {
  std::string text(format);
  if (const auto at = text.find(placeholder); at != std::string::npos) text.replace(at, placeholder.size(), value);
  return text;
}

} // namespace

std::string FileErrorMessage(const std::string& fileName, std::int64_t line, const std::string& detail) {
  std::string text = Substitute(Substitute(kMsgFileError, "%s", fileName), "%d", std::to_string(line));
  if (!detail.empty()) text += " (" + detail + ")";
  return text;
}

std::string FormatFileMessage(const char* format, const std::string& argument) {
  return Substitute(format, "%s", argument);
}

bool ContainsAnyLower(std::string_view text, std::initializer_list<std::string_view> marks) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (std::string_view mark : marks)
    if (lower.find(mark) != std::string::npos) return true;
  return false;
}

void SetFileNameEditorFactory(FileNameEditorFactory factory) { gEditorFactory = factory; }

std::string ResolveInputFileName(const std::string& name) {
  if (name.empty() || HasFolderPart(name)) return name;
  return DataFolder() + name;
}

// ------------------------------------------------------------------------------------------------ TFileInput

TFileInput::TFileInput(int portCount, const std::string& parameterName, const std::string& filter,
                       const std::string& defaultFileName)
    : TBlock(portCount), filter_(filter), parameterName_(parameterName) {
  auto param = std::make_shared<TStringParameter>(parameterName, defaultFileName);
  Ptr<IParamEdit> editor;
  if (const FileNameEditorFactory factory = gEditorFactory) editor = factory(*param, filter);
  AddParam(parameterName, param, editor, false);
}

std::string TFileInput::GetFileName() const { return ResolveInputFileName(GetString(parameterName_)); }

void TFileInput::SetFileName(const std::string& name) { SetString(parameterName_, name); }

// ------------------------------------------------------------------------------------------------ TParserInput

TParserInput::TParserInput(int portCount, bool mustExist, const std::string& parameterName, const std::string& filter,
                           const std::string& defaultFileName)
    : TFileInput(portCount, parameterName, filter, defaultFileName), mustExist_(mustExist) {}

void TParserInput::Execute(bool& more) {
  if (fed_) {
    // A record cut out of its file by the run's reader: read as the file would be read at that record.
    TRecordText& record = *fed_;
    fed_ = nullptr;
    const Ptr<TParser> parser = NewTextParser(std::move(record.text));
    parser->NumberLinesFrom(record.firstLine);
    tokenizer_ = parser;
    currentFile_ = record.file;
    recordNumber_ = record.number - 1;
    fedPercent_ = record.percent;
    more = true;
    return;
  }
  fedPercent_ = -1;
  const std::string name = GetFileName();
  // A file read to its end is opened anew rather than read on: the same file named twice in a list is read
  // twice, and a reader asked once more never delivers an empty structure made of nothing.
  if (name == currentFile_ && tokenizer_ && !tokenizer_->AtEnd()) {
    more = true;
    return;
  }
  tokenizer_.reset();
  currentFile_ = name;
  recordNumber_ = 0;
  if (!name.empty())
    tokenizer_ = NewFileParser(name);
  else if (mustExist_)
    throw EInputError(FormatFileMessage(kMsgCannotOpen, name));
  more = tokenizer_ != nullptr;
  if (!tokenizer_) return;
  // A file of white space has no structure to give: said once, and the run goes on with the next file rather
  // than writing a row of zeros for a structure that is not there.
  const std::int64_t start = tokenizer_->GetPosition();
  tokenizer_->SkipWhite();
  const bool empty = tokenizer_->AtEnd();
  tokenizer_->Back(tokenizer_->GetPosition() - start);
  if (empty) {
    more = false;
    LogWarning(FormatFileMessage(kMsgNoStructure, name));
    throw ENoStructure();
  }
}

std::string TParserInput::GetRecordText() const {
  if (currentFile_.empty() || recordNumber_ == 0) return {};
  const std::string name = molecule_ ? molecule_->GetName() : std::string();
  return (name.empty() ? std::string() : "\"" + name + "\", ") + "record " + std::to_string(recordNumber_) + " of \"" +
         currentFile_ + "\"";
}

bool TParserInput::LooksLikeFormat(std::string_view, bool) const { return true; }

TRecordLayout TParserInput::RecordLayout(const std::string&) const { return TRecordLayout::None; }

void TParserInput::ReadWholeFile(const std::function<void()>& read) {
  try {
    read();
    if (molecule_ && molecule_->VertexCount() == 0)
      throw EInputError(FileErrorMessage(currentFile_, tokenizer_->GetLineNumber(), "No atoms found"));
  } catch (const EInputError& e) {
    if (molecule_) molecule_->Clear();
    tokenizer_->SeekEnd();
    throw RecordError(e);
  }
}

ERecordError TParserInput::RecordError(const std::exception& error) const {
  return ERecordError(std::string(error.what()) + ", record " + std::to_string(recordNumber_));
}

void TParserInput::Start(IWorkerThread* thread) {
  TFileInput::Start(thread);
  // Blocks that follow read the structure under the same port name; when no block publishes one (a chain
  // without a molecule editor), the reader provides it. A block started later may still replace it.
  if (GetPortCount() > 0 && !GetInputObject()) {
    ownMolecule_ = NewMolecule();
    PublishStructure<IGraph>(ownMolecule_);
  }
}

void TParserInput::Stop() {
  fed_ = nullptr;
  fedPercent_ = -1;
  tokenizer_.reset();
  currentFile_.clear();
  molecule_.reset();
  if (ownMolecule_) {
    // Withdraw only what this reader published; another block may have replaced it meanwhile.
    if (GetInputObject() == std::static_pointer_cast<IObject>(ownMolecule_)) WithdrawStructure();
    ownMolecule_.reset();
  }
  TFileInput::Stop();
}

int TParserInput::ProgressPercent() const {
  if (fedPercent_ >= 0) return fedPercent_;
  if (!tokenizer_) return 0;
  const std::int64_t size = tokenizer_->GetSize();
  if (size <= 0) return 100;
  return static_cast<int>(
      RoundHalfEven(static_cast<double>(tokenizer_->GetPosition()) * 100.0 / static_cast<double>(size)));
}

IMolecule& TParserInput::TakeMolecule() {
  Ptr<IObject> published = GetInputObject();
  Ptr<IMolecule> molecule = std::dynamic_pointer_cast<IMolecule>(published);
  if (!molecule) {
    if (published) Fatal("The structure to read into is not a molecule");
    // Executed without Start (a reader used on its own): keep a molecule of its own, unpublished.
    if (!ownMolecule_) ownMolecule_ = NewMolecule();
    molecule = ownMolecule_;
  }
  molecule_ = molecule;
  molecule_->Clear();
  ++recordNumber_;
  return *molecule_;
}

void TParserInput::ReportProgress() { Progress(ProgressPercent()); }

} // namespace corvatin

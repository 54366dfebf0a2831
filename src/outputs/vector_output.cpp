#include "outputs/vector_output.h"

#include "core/errors.h"
#include "outputs/result_files.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace corvatin {

namespace {

// Numbered data files tried next to the named one before the run gives up.
constexpr int kMaxDataFiles = 1000;

std::string SameFileMessage(const std::string& data, const std::string& results) {
  return "The data file \"" + data + "\" and the results file \"" + results +
         "\" are one file: give them different names.";
}

// path with "-n" before its extension ("TOPS-MODE.txt", 2: "TOPS-MODE-2.txt"); path itself for n = 1.
std::string NumberedPath(const std::string& path, int n) {
  if (n == 1) return path;
  const std::filesystem::path p(path);
  return (p.parent_path() / (p.stem().string() + "-" + std::to_string(n) + p.extension().string())).string();
}

} // namespace

TVectorOutput::TVectorOutput(const std::vector<std::string>& names, const std::string& dataFile,
                             const std::string& resultsFile, bool rowLines, bool labelledValues)
    : TBlock(1), rowLines_(rowLines), labelledValues_(labelledValues) {
  for (const std::string& name : names)
    records_.push_back({name, olMolecule});
  AddParameters(dataFile, resultsFile);
}

TVectorOutput::TVectorOutput(const IClassification& source, const std::string& dataFile, const std::string& resultsFile)
    : TBlock(1), rowLines_(false), labelledValues_(true) {
  for (int level : {olMolecule, olAtom, olBond})
    for (int i = 0; i < source.GetValueCount(level); ++i)
      records_.push_back({source.GetValueName(level, i), level});
  AddParameters(dataFile, resultsFile);
}

TVectorOutput::~TVectorOutput() = default;

void TVectorOutput::AddParameters(const std::string& dataFile, const std::string& resultsFile) {
  AddParam(kParamOutputDataFile, std::make_shared<TStringParameter>(kParamOutputDataFile, dataFile), nullptr, false);
  AddParam(kParamOutputResultsFile, std::make_shared<TStringParameter>(kParamOutputResultsFile, resultsFile), nullptr,
           false);
  AddParam(kParamPrecision, std::make_shared<TNumberParameter>(kParamPrecision, 6.0), nullptr, false);
}

void TVectorOutput::Start(IWorkerThread* thread) {
  TBlock::Start(thread);
  warned_.clear();
  dataPath_.clear();
  results_.reset();
  data_.reset();
  dataHeader_.clear();
  // Both names resolve against the same folder, so the folder as it stands decides even before the user is asked.
  const std::string folder = ResultFolderAsSet();
  const std::string data = ResultFilePath(folder, GetString(kParamOutputDataFile));
  const std::string results = ResultFilePath(folder, GetString(kParamOutputResultsFile));
  if (SameResultFile(data, results)) throw EFatalError(SameFileMessage(data, results));
}

void TVectorOutput::Stop() {
  results_.reset();
  data_.reset();
  dataHeader_.clear();
  TBlock::Stop();
}

void TVectorOutput::Execute(bool&) {
  if (Ptr<IObject> structure = GetInputObject()) Write(structure);
}

void TVectorOutput::Write(const Ptr<IObject>& structure) {
  TOutputOptions options;
  options.rowLines = rowLines_;
  options.labelledValues = labelledValues_;
  options.precision = static_cast<int>(std::clamp<std::int64_t>(GetInt(kParamPrecision), 0, kMaxPrecision));
  TComposedStructure composed = ComposeStructure(structure, records_, options);
  if (composed.lines.empty()) return;
  // Composing may run beside other structures; the files and the log take them in the order they were read.
  InInputOrder([&] { Commit(composed); });
}

void TVectorOutput::Commit(const TComposedStructure& composed) {
  // Both files are opened before anything is written, so a file that cannot be created ends the run with neither
  // file holding part of this structure.
  const std::string folder = ResultFolder([this](const std::function<void()>& ask) { Synchronize(ask); });
  for (const auto& line : composed.log) {
    if (line.kind == 4)
      LogHeading(line.text);
    else if (line.kind == 3)
      LogResult(line.text);
    else
      LogMessage(line.text);
  }
  std::string dataText;
  std::vector<TDataCell> dropped;
  // Locked from here to the end of the writes: no other run reads the header or writes a line meanwhile.
  struct Unlock {
    TVectorOutput& self;
    ~Unlock() {
      if (self.data_) self.data_->Unlock();
      if (self.results_) self.results_->Unlock();
    }
  } unlock{*this};
  TResultFile* data = LockFiles(folder, composed, dataText, dropped);
  const bool header = data && data->IsEmpty();
  const size_t dataBytes = data ? data->Append(dataText) : 0;
  size_t resultsBytes = 0;
  try {
    resultsBytes = results_->Append(composed.results);
  } catch (...) {
    // A structure is in both files or in neither.
    if (data) data->Undo();
    throw;
  }
  if (data) NoteAppend(CurrentRecord(), data->Path(), dataBytes, header);
  NoteAppend(CurrentRecord(), results_->Path(), resultsBytes, false);
  if (data) WarnDropped(dropped, data->Path());
}

void TVectorOutput::OpenResults(const std::string& path) {
  if (!results_ || results_->Path() != path) results_ = std::make_unique<TResultFile>(path);
}

TResultFile* TVectorOutput::LockFiles(const std::string& folder, const TComposedStructure& composed,
                                      std::string& dataText, std::vector<TDataCell>& dropped) {
  const std::string named = ResultFilePath(folder, GetString(kParamOutputDataFile));
  // A folder or file name changed during a run (a paused run in the workbench) is chosen for anew.
  if (named != dataNamed_) {
    dataPath_.clear();
    data_.reset();
  }
  dataNamed_ = named;
  const std::string resultsPath = ResultFilePath(folder, GetString(kParamOutputResultsFile));
  // A line of a name alone would stand for a molecule whose values are all missing, and could write a header
  // without value columns that no later structure fits.
  if (composed.header.size() < 2) {
    const std::string name = composed.lines.front().front().text;
    LogWarning("\"" + name + "\" has no values for \"" + (dataPath_.empty() ? named : dataPath_) +
               "\": no line is written there.");
    OpenResults(resultsPath);
    results_->Lock();
    return nullptr;
  }
  for (int n = 1; n <= kMaxDataFiles; ++n) {
    const std::string path = dataPath_.empty() ? NumberedPath(named, n) : dataPath_;
    std::unique_ptr<TResultFile> candidate;
    if (!data_ || data_->Path() != path) {
      candidate = std::make_unique<TResultFile>(path);
      dataHeader_.clear();
    } else {
      candidate = std::move(data_);
    }
    OpenResults(resultsPath);
    if (candidate->Identity() == results_->Identity()) {
      if (n == 1 || !dataPath_.empty()) throw EFatalError(SameFileMessage(path, results_->Path()));
      continue; // the results file happens to bear a numbered name
    }
    // Always in the same order, so that two runs locking the same two files never wait for each other.
    TResultFile& first = candidate->Identity() < results_->Identity() ? *candidate : *results_;
    TResultFile& second = &first == results_.get() ? *candidate : *results_;
    first.Lock();
    second.Lock();
    // The header is read once per run: once the file has one, no append can change it.
    const bool empty = dataHeader_.empty() && candidate->IsEmpty();
    const std::vector<std::string> header =
        !dataHeader_.empty() ? dataHeader_ : empty ? composed.header : SplitHeader(candidate->ReadFirstLine());
    dropped.clear();
    std::string lines;
    for (const TDataLine& line : composed.lines)
      lines += AlignLine(line, header, dropped);
    // The run's first structure with values picks the file; later ones follow it, dropping what its header lacks.
    const bool fits = header.size() > 1 && dropped.empty();
    if (dataPath_.empty() && !fits) {
      candidate->Unlock();
      results_->Unlock();
      continue;
    }
    if (dataPath_.empty() && n > 1)
      LogWarning("The header of \"" + named + "\" cannot take the values of this run: they are written to \"" +
                 path + "\".");
    dataPath_ = path;
    dataText = (empty ? HeaderText(header) : std::string()) + lines;
    dataHeader_ = header;
    data_ = std::move(candidate);
    return data_.get();
  }
  throw EFatalError("No data file next to \"" + named + "\" can take the values of this run.");
}

void TVectorOutput::WarnDropped(const std::vector<TDataCell>& dropped, const std::string& path) {
  std::map<std::string, std::vector<std::string>> byRecord;
  for (const TDataCell& cell : dropped)
    byRecord[cell.record].push_back(cell.column);
  for (const auto& [record, columns] : byRecord) {
    if (!warned_.insert({record, path}).second) continue;
    std::string list;
    const size_t shown = std::min<size_t>(columns.size(), 5);
    for (size_t i = 0; i < shown; ++i)
      list += (i ? ", " : "") + columns[i];
    if (columns.size() > shown) list += " and " + std::to_string(columns.size() - shown) + " more";
    LogWarning("\"" + record + "\" (" + list + ") has no column in the header of \"" + path +
               "\" and is left out of that file; it is in the results file.");
  }
}

} // namespace corvatin

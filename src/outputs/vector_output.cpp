#include "outputs/vector_output.h"

#include "core/errors.h"
#include "outputs/result_files.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

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

struct TVectorOutput::TRun {
  // (record, data file) pairs already warned about in this run: one warning each, not one per structure.
  std::set<std::pair<std::string, std::string>> warned;
  // The data file this run writes to, chosen by its first structure with values; empty until then.
  std::string dataPath;
  std::string dataNamed; // the data file named when dataPath was chosen
  // Kept open for the run: opening them and reading the header again for every structure costs more than the
  // values themselves.
  std::unique_ptr<TResultFile> results;
  std::unique_ptr<TResultFile> data;
  std::vector<std::string> dataHeader; // data's header as read or written
};

TVectorOutput::TVectorOutput(const std::vector<std::string>& names, const std::string& dataFile,
                             const std::string& resultsFile, bool rowLines, bool labelledValues)
    : TBlock(1), rowLines_(rowLines), labelledValues_(labelledValues), run_(std::make_shared<TRun>()) {
  for (const std::string& name : names)
    records_.push_back({name, olMolecule});
  AddParameters(dataFile, resultsFile);
}

TVectorOutput::TVectorOutput(const IClassification& source, const std::string& dataFile, const std::string& resultsFile)
    : TBlock(1), rowLines_(false), labelledValues_(true), run_(std::make_shared<TRun>()) {
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
  if (!shared_) run_ = std::make_shared<TRun>();
  // Both names resolve against the same folder, so the folder as it stands decides even before the user is asked.
  const std::string folder = ResultFolderAsSet();
  const std::string data = ResultFilePath(folder, GetString(kParamOutputDataFile));
  const std::string results = ResultFilePath(folder, GetString(kParamOutputResultsFile));
  if (SameResultFile(data, results)) throw EFatalError(SameFileMessage(data, results));
}

void TVectorOutput::Stop() {
  // The files close when the last output sharing the run lets go of it.
  run_ = std::make_shared<TRun>();
  shared_ = false;
  TBlock::Stop();
}

void TVectorOutput::ShareRunWith(TVectorOutput& other) {
  if (!shared_) {
    run_ = std::make_shared<TRun>();
    shared_ = true;
  }
  other.run_ = run_;
  other.shared_ = true;
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
    TRun& run;
    ~Unlock() {
      if (run.data) run.data->Unlock();
      if (run.results) run.results->Unlock();
    }
  } unlock{*run_};
  TResultFile* data = LockFiles(folder, composed, dataText, dropped);
  const bool header = data && data->IsEmpty();
  const size_t dataBytes = data ? data->Append(dataText) : 0;
  size_t resultsBytes = 0;
  try {
    resultsBytes = run_->results->Append(composed.results);
  } catch (...) {
    // A structure is in both files or in neither.
    if (data) data->Undo();
    throw;
  }
  if (data) NoteAppend(CurrentRecord(), data->Path(), dataBytes, header);
  NoteAppend(CurrentRecord(), run_->results->Path(), resultsBytes, false);
  if (data) WarnDropped(dropped, data->Path());
}

void TVectorOutput::LockFile(TResultFile& file) {
  const TTailRepair repair = file.Lock();
  if (repair.cut > 0)
    LogWarning("\"" + file.Path() + "\" ended in an unfinished line (" + std::to_string(repair.cut) +
               " bytes, left by a run stopped while writing it): the line is cut off before this run appends.");
}

void TVectorOutput::OpenResults(const std::string& path) {
  if (!run_->results || run_->results->Path() != path) run_->results = std::make_unique<TResultFile>(path);
}

TResultFile* TVectorOutput::LockFiles(const std::string& folder, const TComposedStructure& composed,
                                      std::string& dataText, std::vector<TDataCell>& dropped) {
  const std::string named = ResultFilePath(folder, GetString(kParamOutputDataFile));
  // A folder or file name changed during a run (a paused run in the workbench) is chosen for anew.
  if (named != run_->dataNamed) {
    run_->dataPath.clear();
    run_->data.reset();
  }
  run_->dataNamed = named;
  const std::string resultsPath = ResultFilePath(folder, GetString(kParamOutputResultsFile));
  // A line of a name alone would stand for a molecule whose values are all missing, and could write a header
  // without value columns that no later structure fits.
  if (composed.header.size() < 2) {
    const std::string name = composed.lines.front().front().text;
    LogWarning("\"" + name + "\" has no values for \"" + (run_->dataPath.empty() ? named : run_->dataPath) +
               "\": no line is written there.");
    OpenResults(resultsPath);
    LockFile(*run_->results);
    return nullptr;
  }
  for (int n = 1; n <= kMaxDataFiles; ++n) {
    const std::string path = run_->dataPath.empty() ? NumberedPath(named, n) : run_->dataPath;
    std::unique_ptr<TResultFile> candidate;
    if (!run_->data || run_->data->Path() != path) {
      candidate = std::make_unique<TResultFile>(path, true);
      run_->dataHeader.clear();
    } else {
      candidate = std::move(run_->data);
    }
    OpenResults(resultsPath);
    if (candidate->Identity() == run_->results->Identity()) {
      if (n == 1 || !run_->dataPath.empty()) throw EFatalError(SameFileMessage(path, run_->results->Path()));
      continue; // the results file happens to bear a numbered name
    }
    // Always in the same order, so that two runs locking the same two files never wait for each other.
    TResultFile& first = candidate->Identity() < run_->results->Identity() ? *candidate : *run_->results;
    TResultFile& second = &first == run_->results.get() ? *candidate : *run_->results;
    LockFile(first);
    LockFile(second);
    // The header is read once per run, after the lock has mended the file's end: once the file has a whole
    // header, no append can change it.
    const bool empty = run_->dataHeader.empty() && candidate->IsEmpty();
    const std::vector<std::string> header =
        !run_->dataHeader.empty() ? run_->dataHeader : empty ? composed.header : SplitHeader(candidate->ReadFirstLine());
    dropped.clear();
    std::string lines;
    for (const TDataLine& line : composed.lines)
      lines += AlignLine(line, header, dropped);
    // The run's first structure with values picks the file; later ones follow it, dropping what its header lacks.
    const bool fits = header.size() > 1 && dropped.empty();
    if (run_->dataPath.empty() && !fits) {
      candidate->Unlock();
      run_->results->Unlock();
      continue;
    }
    if (run_->dataPath.empty() && n > 1)
      LogWarning("The header of \"" + named + "\" cannot take the values of this run: they are written to \"" +
                 path + "\".");
    run_->dataPath = path;
    dataText = (empty ? HeaderText(header) : std::string()) + lines;
    run_->dataHeader = header;
    run_->data = std::move(candidate);
    return run_->data.get();
  }
  throw EFatalError("No data file next to \"" + named + "\" can take the values of this run.");
}

void TVectorOutput::WarnDropped(const std::vector<TDataCell>& dropped, const std::string& path) {
  std::map<std::string, std::vector<std::string>> byRecord;
  for (const TDataCell& cell : dropped)
    byRecord[cell.record].push_back(cell.column);
  for (const auto& [record, columns] : byRecord) {
    if (!run_->warned.insert({record, path}).second) continue;
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

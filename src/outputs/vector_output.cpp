#include "outputs/vector_output.h"

#include "outputs/result_files.h"

#include <algorithm>
#include <map>

namespace corvatin {

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

void TVectorOutput::AddParameters(const std::string& dataFile, const std::string& resultsFile) {
  AddParam(kParamOutputDataFile, std::make_shared<TStringParameter>(kParamOutputDataFile, dataFile), nullptr, false);
  AddParam(kParamOutputResultsFile, std::make_shared<TStringParameter>(kParamOutputResultsFile, resultsFile), nullptr,
           false);
  AddParam(kParamPrecision, std::make_shared<TNumberParameter>(kParamPrecision, 6.0), nullptr, false);
}

void TVectorOutput::Start(IWorkerThread* thread) {
  TBlock::Start(thread);
  warned_.clear();
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

  // Both files are opened before anything is written, so a file that cannot be created ends the run with neither
  // file holding part of this structure.
  const std::string folder = ResultFolder([this](const std::function<void()>& ask) { Synchronize(ask); });
  TResultFile data(ResultFilePath(folder, GetString(kParamOutputDataFile)));
  TResultFile results(ResultFilePath(folder, GetString(kParamOutputResultsFile)));

  std::string dataText;
  std::vector<std::string> header;
  if (data.WasEmpty()) {
    header = composed.header;
    dataText = HeaderText(header);
  } else {
    header = SplitHeader(data.ReadFirstLine());
  }
  std::vector<TDataCell> dropped;
  for (const TDataLine& line : composed.lines)
    dataText += AlignLine(line, header, dropped);

  for (const auto& line : composed.log) {
    if (line.kind == 4)
      LogHeading(line.text);
    else if (line.kind == 3)
      LogResult(line.text);
    else
      LogMessage(line.text);
  }
  data.Append(dataText);
  results.Append(composed.results);
  WarnDropped(dropped, data.Path());
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

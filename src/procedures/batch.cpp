#include "procedures/batch.h"

#include "blocks/dispatcher.h"
#include "core/numtext.h"
#include "core/settings.h"
#include "descriptors/matrix_test.h"
#include "descriptors/spectral_moments.h"
#include "descriptors/topsmode.h"
#include "outputs/result_files.h"
#include "outputs/vector_output.h"

#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

namespace corvatin {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> SplitList(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::string piece;
  std::istringstream in(text);
  while (std::getline(in, piece, sep))
    if (!Trim(piece).empty()) parts.push_back(Trim(piece));
  return parts;
}

/// Log lines on the console: kinds become the log window's prefixes; transient lines overwrite each other and
/// only appear on a terminal.
class TConsoleLog : public IProgressLog {
public:
  TConsoleLog(std::ostream& out, bool interactive, bool quiet) : out_(out), interactive_(interactive), quiet_(quiet) {}
  void Clear() override {}
  void AddMessage(const std::string& text, int kind, bool transient) override {
    if (transient) {
      if (interactive_ && !quiet_) {
        out_ << "\r\033[K" << text << std::flush;
        pendingTransient_ = true;
      }
      return;
    }
    if (pendingTransient_) {
      out_ << "\r\033[K";
      pendingTransient_ = false;
    }
    if (quiet_ && kind != lkError && kind != lkWarning) return;
    switch (kind) {
    case lkError: out_ << "Error: " << text << '\n'; break;
    case lkWarning: out_ << "Warning: " << text << '\n'; break;
    default: out_ << text << '\n'; break;
    }
    out_.flush();
  }

private:
  std::ostream& out_;
  bool interactive_;
  bool quiet_;
  bool pendingTransient_ = false;
};

/// A one-line progress bar on a terminal; nothing otherwise.
class TConsoleProgress : public IProgressCallback {
public:
  TConsoleProgress(std::ostream& out, bool interactive) : out_(out), interactive_(interactive) {}
  void Progress(int position, bool&, bool& refresh) override {
    refresh = false;
    Draw(position, {});
  }
  void ProgressText(int position, bool&, const std::string& text, bool& refresh) override {
    refresh = false;
    Draw(position, text);
  }

private:
  void Draw(int position, const std::string& text) {
    if (!interactive_ || position < 0 || position > 100 || position == last_) return;
    last_ = position;
    if (position == 100) {
      out_ << "\r\033[K" << std::flush;
      return;
    }
    const int width = 30, filled = position * width / 100;
    out_ << "\r\033[K[" << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(width - filled), ' ') << "] " << position << "% " << text << std::flush;
  }
  std::ostream& out_;
  bool interactive_;
  int last_ = -1;
};

class TNoFinish : public IRunFinished {
public:
  void RunFinished() override {}
};

Ptr<IParamList> BlockParams(const Ptr<IBlock>& block) { return std::dynamic_pointer_cast<IParamList>(block); }

// The number parameters that are whole numbers, with their ranges: a value outside is refused rather than
// rounded or clamped behind the user's back.
struct TWholeNumber {
  const char* name;
  double low, high;
};
const TWholeNumber kWholeNumbers[] = {{kParamMaxOrder, 1, 255},
                                      {kParamPrecision, 0, kMaxPrecision},
                                      {kParamSphereWidth, 0, 1000}};

double CheckedNumber(const std::string& name, const std::string& value) {
  const double number = TextToFloat(value);
  if (!std::isfinite(number)) throw std::invalid_argument("a finite number is expected");
  for (const TWholeNumber& rule : kWholeNumbers)
    if (name == rule.name && (number != std::floor(number) || number < rule.low || number > rule.high))
      throw std::invalid_argument("a whole number from " + FloatToText(rule.low) + " to " + FloatToText(rule.high) +
                                  " is expected");
  return number;
}

void SetParameterText(IParameter& param, const std::string& name, const std::string& value) {
  try {
    if (auto* number = dynamic_cast<INumberParameter*>(&param)) {
      number->SetValue(CheckedNumber(name, value));
    } else if (auto* flag = dynamic_cast<IBoolParameter*>(&param)) {
      if (value == "yes" || value == "true" || value == "1")
        flag->SetValue(true);
      else if (value == "no" || value == "false" || value == "0")
        flag->SetValue(false);
      else
        throw std::invalid_argument("expected yes or no");
    } else if (auto* text = dynamic_cast<IStringParameter*>(&param)) {
      text->SetValue(value);
    } else {
      throw std::invalid_argument("this parameter cannot be set");
    }
  } catch (const std::invalid_argument& e) {
    throw EUsageError("cannot set \"" + name + "\" to \"" + value + "\": " + e.what());
  } catch (const std::out_of_range&) {
    throw EUsageError("cannot set \"" + name + "\" to \"" + value + "\": number out of range");
  }
}

} // namespace

std::vector<std::string> ProcedureNames(const TCatalogue& catalogue) {
  std::vector<std::string> names;
  for (const auto& p : catalogue.Packages()) names.push_back(p->GetName());
  return names;
}

Ptr<TPackage> ChooseProcedure(const TCatalogue& catalogue, const std::string& name) {
  if (auto p = catalogue.FindPackage(name)) return p;
  std::string known;
  for (const auto& n : ProcedureNames(catalogue)) known += "\n  " + n;
  throw EUsageError("unknown procedure \"" + name + "\"; the procedures are:" + known);
}

std::vector<std::string> DescribeParameters(const TPackage& package) {
  std::vector<std::string> lines;
  for (int b = 0; b < package.GetBlockCount(); ++b) {
    Ptr<IBlock> block = package.GetBlock(b);
    Ptr<IParamList> params = BlockParams(block);
    if (!params) continue;
    for (int i = 0; i < params->Count(); ++i)
      lines.push_back(block->GetName() + "\t" + params->GetNameAt(i) + "\t" + params->GetParamAt(i)->GetText());
  }
  return lines;
}

void ApplyAssignment(TPackage& package, const std::string& assignment) {
  size_t eq = assignment.find('=');
  if (eq == std::string::npos) throw EUsageError("--set expects [BLOCK:]NAME=VALUE, got \"" + assignment + "\"");
  std::string target = assignment.substr(0, eq), value = assignment.substr(eq + 1), blockName, name = target;
  if (size_t colon = target.find(':'); colon != std::string::npos) {
    blockName = Trim(target.substr(0, colon));
    name = target.substr(colon + 1);
  }
  name = Trim(name);
  std::vector<std::pair<std::string, Ptr<IParameter>>> hits;
  for (int b = 0; b < package.GetBlockCount(); ++b) {
    Ptr<IBlock> block = package.GetBlock(b);
    if (!blockName.empty() && block->GetName() != blockName) continue;
    auto params = std::dynamic_pointer_cast<IParameters>(block);
    if (!params || !params->HasParam(name)) continue;
    auto param = params->GetParam(name);
    bool seen = false;
    for (const auto& h : hits) seen = seen || h.second == param; // a block shared twice in one chain
    if (!seen) hits.emplace_back(block->GetName(), param);
  }
  if (hits.empty())
    throw EUsageError("no parameter \"" + name + "\"" + (blockName.empty() ? "" : " in block \"" + blockName + "\"") +
                      " in procedure \"" + package.GetName() + "\" (see --params)");
  if (hits.size() > 1 && blockName.empty()) {
    std::string blocks;
    for (const auto& h : hits) blocks += (blocks.empty() ? "" : ", ") + h.first;
    throw EUsageError("\"" + name + "\" is a parameter of several blocks (" + blocks + "); write BLOCK:NAME=VALUE");
  }
  for (const auto& h : hits) SetParameterText(*h.second, name, value);
}

void SelectWeights(TPackage& package, const std::string& choice) {
  std::shared_ptr<TSpectralMoments> moments;
  for (int b = 0; b < package.GetBlockCount() && !moments; ++b)
    moments = std::dynamic_pointer_cast<TSpectralMoments>(package.GetBlock(b));
  if (!moments) throw EUsageError("--weights applies to the TOPS-MODE procedures only");
  const auto& weights = moments->Weights();
  std::vector<std::string> chosen = SplitList(choice, ',');
  bool all = chosen.size() == 1 && chosen[0] == "all";
  if (!all)
    for (const auto& c : chosen) {
      bool known = false;
      for (const auto& w : weights) known = known || w == c;
      if (!known) {
        std::string list;
        for (const auto& w : weights) list += "\n  " + w;
        throw EUsageError("unknown weight \"" + c + "\"; the weights are:" + list);
      }
    }
  if (chosen.empty()) throw EUsageError("--weights needs \"all\" or a list of weight names");
  for (const auto& w : weights) {
    bool on = all;
    for (const auto& c : chosen) on = on || c == w;
    moments->SetBool(w, on);
  }
}

void SetInputFiles(TPackage& package, const TBatchOptions& options) {
  Ptr<IInput> input = package.GetInput();
  if (!input) throw EUsageError("procedure \"" + package.GetName() + "\" reads no files");
  if (options.files.empty()) throw EUsageError("no structure file given");
  std::string list;
  for (const auto& f : options.files) {
    if (f.find(';') != std::string::npos) throw EUsageError("file names may not contain \";\": " + f);
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(f, ec).string();
    list += (list.empty() ? "" : ";") + (ec ? f : absolute);
  }
  input->SetFileName(list);
}

void ChooseResultFolder(const TBatchOptions& options, std::ostream& err) {
  // The batch tool's answer to the result-folder question: --results-dir, else the workbench's folder, else the
  // current directory, said on stderr so that nobody hunts for the files.
  std::string folder = options.resultsDir;
  if (folder.empty()) folder = Registry().ReadString(kResultFolderKey, "");
  if (folder.empty()) {
    std::error_code ec;
    folder = std::filesystem::current_path(ec).string();
    err << "Result files go to the current directory " << folder << " (choose another with --results-dir)\n";
  }
  std::error_code ec;
  std::string absoluteFolder = std::filesystem::absolute(folder, ec).string();
  SetResultFolderOverride(ec ? folder : absoluteFolder);
}

Ptr<IProgressLog> NewConsoleLog(std::ostream& err, bool interactive, bool quiet) {
  return std::make_shared<TConsoleLog>(err, interactive, quiet);
}

Ptr<IProgressCallback> NewConsoleProgress(std::ostream& err, bool interactive) {
  return std::make_shared<TConsoleProgress>(err, interactive);
}

int ExitStatus(const TRunSummary& summary) {
  if (summary.outcome != roFinished) return beRunFailed;
  return summary.skipped > 0 ? beSkipped : beSuccess;
}

int RunProcedure(TPackage& package, const TBatchOptions& options, std::ostream& err, bool interactive) {
  SetInputFiles(package, options);
  ChooseResultFolder(options, err);
  // No views in the batch tool: display-only blocks are skipped. No window either, so nothing to hand over to.
  package.SetShowStructures(false);
  package.SetRunInline(true);
  TRecordShare share;
  share.shard = options.shard;
  share.shards = options.shards;
  package.SetRecordShare(share);
  if (!package.Execute(false, std::make_shared<TNoFinish>(), NewConsoleLog(err, interactive, options.quiet),
                       NewConsoleProgress(err, interactive)))
    return beRunFailed;
  package.WaitForRun();
  return ExitStatus(package.GetRunSummary());
}

} // namespace corvatin

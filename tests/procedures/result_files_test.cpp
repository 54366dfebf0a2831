// Result files under careless and hostile conditions, through the batch tool: headers that cannot take a run's
// values, files re-saved by an editor or cut short, a write that fails in mid-run, two names for one file and
// runs that start together.

#include "batch_fixture.h"

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>

namespace corvatin::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSmiles = "CC(C)C CC(=O)O OC1CCCC1\n";

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
    ++n;
  return n;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

/// The sections of a results file, each from its "Molecule name: " line up to the next.
std::vector<std::string> Sections(const std::string& results) {
  std::vector<std::string> sections;
  for (size_t at = 0; at < results.size();) {
    const size_t next = results.find("Molecule name: ", at + 1);
    sections.push_back(results.substr(at, next - at));
    at = next == std::string::npos ? results.size() : next;
  }
  return sections;
}

class ResultFiles : public BatchRun {
protected:
  /// Expects a data file of one header and rows of as many cells; returns the rows.
  static std::vector<std::string> ExpectWholeRows(const std::string& bytes, const std::string& lineEnd = "\r\n") {
    const std::vector<std::string> lines = Lines(bytes.substr(bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0), lineEnd);
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return lines;
    const size_t cells = Cells(lines[0]).size();
    EXPECT_GT(cells, 2u) << lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
      EXPECT_EQ(Cells(lines[i]).size(), cells) << "line " << i + 1 << ": " << lines[i];
      EXPECT_NE(lines[i].rfind("Name\t", 0), 0u) << "a second header at line " << i + 1;
    }
    return {lines.begin() + 1, lines.end()};
  }

  fs::path Results() const { return dir_ / "results"; }
  void Store(const std::string& name, const std::string& bytes) const {
    std::ofstream(Results() / name, std::ios::binary) << bytes;
  }

  /// Starts a TOPS-MODE run over file in a child process with the file size limited to sizeLimit bytes (0: no
  /// limit); the child waits until the pipe go (when given) is closed and leaves its log in child.log.
  pid_t Spawn(const std::string& file, const fs::path& resultsDir, rlim_t sizeLimit, const int* go) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (go) {
      ::close(go[1]);
      char byte;
      while (::read(go[0], &byte, 1) > 0) {
      }
    }
    if (sizeLimit > 0) {
      // A write beyond the limit fails with EFBIG instead of killing the process: a full disk, deterministically.
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{sizeLimit, sizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    TBatchOptions options;
    options.files = {file};
    options.resultsDir = resultsDir.string();
    std::ostringstream log;
    const int status = RunProcedure(*ChooseProcedure(*catalogue_, "TOPS-MODE"), options, log, false);
    if (!go) std::ofstream(dir_ / "child.log") << log.str();
    ::_exit(status);
  }

  static int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST_F(ResultFiles, AHeaderThatCannotTakeTheRunsValuesIsLeftForTheNextNumberedFile) {
  const std::string file = Write("three.sml", kSmiles);
  ASSERT_EQ(Run("TOPS-MODE", {file}), beSuccess) << log_.str();
  const std::string unweighted = Result("TOPS-MODE.txt");
  // Written earlier without weights: the weighted values go next to it, there and in every later weighted run.
  for (int run = 0; run < 2; ++run) {
    log_.str("");
    ASSERT_EQ(Run("TOPS-MODE", {file}, "Std distance"), beSuccess) << log_.str();
    EXPECT_EQ(Count(log_.str(), "are written to \"" + (Results() / "TOPS-MODE-2.txt").string() + "\""), 1u)
        << log_.str();
  }
  EXPECT_EQ(Result("TOPS-MODE.txt"), unweighted);
  const std::vector<std::string> rows = ExpectWholeRows(Result("TOPS-MODE-2.txt"));
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3),
            std::vector<std::string>(rows.begin() + 3, rows.end()));
  EXPECT_EQ(Cells(DataLines("TOPS-MODE-2.txt")[0])[2], "\xB5(Std)1");
  // A header without value columns, as a run whose every structure failed used to write, fits nothing.
  Store("TopogrInd.txt", "Name\t\r\nCCC\t\r\n");
  Store("TopogrInd-2.txt", "Name\tOther\t\r\nCCC\t1\t\r\n");
  ASSERT_EQ(Run("Topographic Indices", {std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/acetone.out"}), beSuccess)
      << log_.str();
  EXPECT_EQ(Result("TopogrInd.txt"), "Name\t\r\nCCC\t\r\n");
  EXPECT_EQ(Result("TopogrInd-2.txt"), "Name\tOther\t\r\nCCC\t1\t\r\n");
  EXPECT_EQ(ExpectWholeRows(Result("TopogrInd-3.txt")).size(), 1u);
}

TEST_F(ResultFiles, StructuresWithoutValuesWriteNoHeaderAndNoLine) {
  // Topographic indices need the bond orders and charges of a quantum-chemical run: SMILES give none.
  EXPECT_NE(Run("Topographic Indices", {Write("three.sml", kSmiles)}), beRunFailed) << log_.str();
  EXPECT_FALSE(fs::exists(Results() / "TopogrInd.txt"));
  EXPECT_EQ(Count(log_.str(), "has no values for"), 3u) << log_.str();
  EXPECT_EQ(Count(Result("Results.txt"), "Molecule name: "), 3u);
  ASSERT_EQ(Run("Topographic Indices", {std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/acetone.out"}), beSuccess);
  EXPECT_EQ(ExpectWholeRows(Result("TopogrInd.txt")).size(), 1u);
}

TEST_F(ResultFiles, AFileReSavedByAnEditorOrCutShortIsAppendedToInItsOwnFormWithoutRewritingIt) {
  const auto utf8 = [](const std::string& s) { return Replace(s, "\xB5", "\xC2\xB5"); };
  struct Case {
    const char* what;
    std::function<std::string(const std::string&)> rework; // the earlier run's data file, as an editor left it
    std::string lineEnd;                                   // what the rows appended afterwards end with
    bool utf8;                                             // whether they are written in UTF-8
  };
  const Case cases[] = {
      {"UTF-8, LF", [&](const std::string& s) { return Replace(utf8(s), "\r\n", "\n"); }, "\n", true},
      {"UTF-8 with a byte-order mark", [&](const std::string& s) { return "\xEF\xBB\xBF" + utf8(s); }, "\r\n", true},
      {"CR line ends", [](const std::string& s) { return Replace(s, "\r\n", "\r"); }, "\r", false},
      {"no final line end", [](const std::string& s) { return s.substr(0, s.size() - 2); }, "\r\n", false},
  };
  const std::string first = Write("three.sml", kSmiles);
  const std::string cafe = Write("named.sml2", "caf\xC3\xA9\nCCO\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Results());
    ASSERT_EQ(Run("TOPS-MODE", {first}), beSuccess) << log_.str();
    const std::string reworked = c.rework(Result("TOPS-MODE.txt"));
    Store("TOPS-MODE.txt", reworked);
    ASSERT_EQ(Run("TOPS-MODE", {cafe}), beSuccess) << log_.str();
    EXPECT_FALSE(fs::exists(Results() / "TOPS-MODE-2.txt"));
    const std::string appended = Result("TOPS-MODE.txt");
    EXPECT_EQ(appended.substr(0, reworked.size()), reworked); // nothing before is rewritten
    const std::vector<std::string> rows = ExpectWholeRows(appended, c.lineEnd);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(Cells(rows[3])[0], c.utf8 ? "caf\xC3\xA9" : "caf\xE9");
    EXPECT_EQ(appended.substr(appended.size() - c.lineEnd.size()), c.lineEnd);
  }
}

TEST_F(ResultFiles, AWriteErrorInMidRunCutsTheStructureFromBothFilesAndTheNextRunAppendsCleanly) {
  const std::string file = Write("three.sml", kSmiles);
  constexpr rlim_t kLimit = 1 << 16;
  for (const std::string full : {"TOPS-MODE.txt", "Results.txt"}) {
    SCOPED_TRACE(full);
    fs::remove_all(Results());
    ASSERT_EQ(Run("TOPS-MODE", {file}), beSuccess) << log_.str();
    // One long line takes the limited file to a structure and a half below the limit.
    const bool data = full == "TOPS-MODE.txt";
    const std::string bytes = Result(full);
    std::vector<std::string> units = data ? Lines(bytes) : Sections(bytes);
    if (data) {
      units.erase(units.begin());
      for (std::string& row : units)
        row += "\r\n";
    }
    ASSERT_EQ(units.size(), 3u);
    // The first structure's row and section, as every run over the file writes them.
    const std::string row = Lines(Result("TOPS-MODE.txt"))[1] + "\r\n", section = Sections(Result("Results.txt"))[0];
    const size_t fill = kLimit - bytes.size() - units[0].size() - units[1].size() / 2;
    const size_t tab = units[2].find('\t');
    Store(full, bytes + (data ? std::string(fill - units[2].size() + tab, 'x') + units[2].substr(tab)
                              : std::string(fill - 2, 'x') + "\r\n"));
    const std::string dataBefore = Result("TOPS-MODE.txt"), resultsBefore = Result("Results.txt");

    EXPECT_EQ(ExitStatus(Spawn(file, Results(), kLimit, nullptr)), beRunFailed);
    std::ifstream in(dir_ / "child.log");
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(log.find("Unable to write to \"" + (Results() / full).string() + "\": File too large"), std::string::npos)
        << log;
    // The first structure went whole to both files, the second to neither.
    EXPECT_EQ(Result("TOPS-MODE.txt"), dataBefore + row);
    EXPECT_EQ(Result("Results.txt"), resultsBefore + section);

    ASSERT_EQ(Run("TOPS-MODE", {file}), beSuccess) << log_.str();
    EXPECT_EQ(ExpectWholeRows(Result("TOPS-MODE.txt")).size(), Lines(dataBefore).size() - 1 + 4);
    EXPECT_EQ(Sections(Result("Results.txt")).size(), Sections(resultsBefore).size() + 4);
  }
}

TEST_F(ResultFiles, ADataFileThatIsTheResultsFileIsRefusedBeforeTheRun) {
  EXPECT_EQ(Run("TOPS-MODE", {Write("three.sml", kSmiles)}, "", {"Output:Output results file=TOPS-MODE.txt"}),
            beRunFailed);
  EXPECT_FALSE(fs::exists(Results() / "TOPS-MODE.txt"));
  EXPECT_NE(log_.str().find("are one file: give them different names."), std::string::npos) << log_.str();
  EXPECT_NE(log_.str().find("0 structures written"), std::string::npos) << log_.str();
}

TEST_F(ResultFiles, RunsStartingTogetherWriteOneHeaderAndWholeLines) {
  const std::string file = Write("three.sml", kSmiles);
  for (int trial = 0; trial < 50; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    const fs::path folder = dir_ / ("trial" + std::to_string(trial));
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 3; ++i)
      children.push_back(Spawn(file, folder, 0, go));
    ::close(go[0]);
    ::close(go[1]); // all three start at once
    for (pid_t child : children)
      EXPECT_EQ(ExitStatus(child), beSuccess);
    std::ifstream dataIn(folder / "TOPS-MODE.txt", std::ios::binary), resultsIn(folder / "Results.txt");
    const std::string data((std::istreambuf_iterator<char>(dataIn)), {});
    const std::string results((std::istreambuf_iterator<char>(resultsIn)), {});
    // Every row and section is whole: the nine are three copies of the three structures'.
    for (auto units : {ExpectWholeRows(data), Sections(results)}) {
      std::sort(units.begin(), units.end());
      ASSERT_EQ(units.size(), 9u);
      for (size_t i = 0; i < 9; i += 3) {
        EXPECT_EQ(units[i], units[i + 1]);
        EXPECT_EQ(units[i], units[i + 2]);
      }
    }
  }
}

} // namespace
} // namespace corvatin::testing

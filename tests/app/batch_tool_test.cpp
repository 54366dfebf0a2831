// corvatin-batch run as a program: where options and files may stand, which option values are refused, what a
// missing classification file does to the exit status, and what --help promises.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class BatchTool : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("corvatin-tool-" + std::to_string(rd()));
    fs::create_directories(dir_);
    ::setenv("CORVATIN_SETTINGS", (dir_ / "settings.ini").c_str(), 1);
    ::setenv("CORVATIN_DATA_DIR", CORVATIN_DATA_DIR, 1);
    Write("a.sml", "CCO\n");
    Write("b.smi", "CCC propane\n");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  /// Runs the tool in the temporary folder with args (each quoted); returns the exit status, output_ holds
  /// stdout and stderr.
  int Run(const std::vector<std::string>& args) {
    std::string command = "cd '" + dir_.string() + "' && '" CORVATIN_BATCH "'";
    for (const auto& a : args) command += " '" + a + "'";
    command += " 2>&1";
    output_.clear();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output_.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  /// The data lines of a result file (CR LF ends).
  std::vector<std::string> Lines(const std::string& file) const {
    std::ifstream in(dir_ / "out" / file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
  }

  fs::path dir_;
  std::string output_;
};

TEST_F(BatchTool, SetTakesOneAssignmentWhereverItStandsAndFilesMayFollowIt) {
  const std::vector<std::vector<std::string>> commands = {
      {"--set", "Output:Precision=3", "a.sml", "b.smi", "--results-dir", "out"},
      {"a.sml", "--set", "Output:Precision=3", "b.smi", "--results-dir", "out"},
      {"a.sml", "b.smi", "--results-dir", "out", "--set", "Output:Precision=3"},
      {"--set", "Output:Precision=3", "--set", "TOPS-MODE:Max Order=2", "a.sml", "b.smi", "--results-dir", "out"},
  };
  for (const auto& args : commands) {
    fs::remove_all(dir_ / "out");
    ASSERT_EQ(Run(args), 0) << args[0] << " " << args[1] << " " << args[2] << "\n" << output_;
    const auto lines = Lines("TOPS-MODE.txt");
    ASSERT_EQ(lines.size(), 3u) << output_;
    EXPECT_EQ(lines[2].substr(0, lines[2].find('\t')), "propane");
    EXPECT_NE(lines[1].find("\t2.000\t"), std::string::npos) << lines[1]; // µ0 of ethanol's two bonds
    EXPECT_NE(output_.find("2 structures written, 0 skipped"), std::string::npos) << output_;
  }
}

TEST_F(BatchTool, OptionValuesThatDoNotFitAreRefusedBeforeTheRun) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--set", "TOPS-MODE:Max Order=2.5"}, "a whole number from 1 to 255"},
      {{"--set", "TOPS-MODE:Max Order=256"}, "a whole number from 1 to 255"},
      {{"--set", "TOPS-MODE:Max Order=0"}, "a whole number from 1 to 255"},
      {{"--set", "Output:Precision=50"}, "a whole number from 0 to 20"},
      {{"--set", "Output:Precision=-1"}, "a whole number from 0 to 20"},
      {{"--set", "Output:Precision=nan"}, "a finite number"},
      {{"--set", "Output:Precision"}, "--set expects [BLOCK:]NAME=VALUE"},
      {{"--weights", ""}, "--weights needs"},
      {{"--weights", "Hydrophobicity,Colour"}, "unknown weight \"Colour\""},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"a.sml", "--results-dir", "out"});
    EXPECT_EQ(Run(args), 2) << options[1] << "\n" << output_;
    EXPECT_NE(output_.find(message), std::string::npos) << options[1] << "\n" << output_;
    EXPECT_FALSE(fs::exists(dir_ / "out" / "TOPS-MODE.txt")) << options[1];
  }
}

TEST_F(BatchTool, AMomentBeyondTheRangeOfNumbersSkipsItsStructureInsteadOfWritingInf) {
  // Clobazam (data/samples/drugs.sml2): weighted by atomic weight its moments pass 1.8e308 from order 194 on;
  // ethanol's only from order 229.
  Write("clobazam.sml2", "1;BZR_Clobazam\nCN1C(=O)CC(=O)N(c2ccccc2)c2cc(Cl)ccc21\n");
  EXPECT_EQ(Run({"-q", "--set", "TOPS-MODE:Max Order=200", "--weights", "Atomic weight", "clobazam.sml2", "a.sml",
                 "--results-dir", "out"}),
            3)
      << output_;
  EXPECT_NE(output_.find("is beyond the range of numbers"), std::string::npos) << output_;
  EXPECT_NE(output_.find("\"BZR_Clobazam\", record 1 of"), std::string::npos) << output_;
  const auto lines = Lines("TOPS-MODE.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, 4), "CCO\t");
  EXPECT_EQ(lines[1].find("INF"), std::string::npos);
}

TEST_F(BatchTool, AMissingClassificationFileStopsTheRunAndNamesTheFileAndFolder) {
  const fs::path data = dir_ / "data";
  fs::create_directories(data);
  for (const auto& entry : fs::directory_iterator(CORVATIN_DATA_DIR))
    if (entry.is_regular_file() && entry.path().filename() != "Abraham.txt")
      fs::copy_file(entry.path(), data / entry.path().filename());
  ::setenv("CORVATIN_DATA_DIR", data.c_str(), 1);
  EXPECT_EQ(Run({"a.sml", "--results-dir", "out"}), 1) << output_;
  EXPECT_NE(output_.find("loading classification file \"Abraham.txt\""), std::string::npos) << output_;
  EXPECT_NE(output_.find((data / "Abraham.txt").string()), std::string::npos) << output_;
  EXPECT_FALSE(fs::exists(dir_ / "out" / "TOPS-MODE.txt"));
}

} // namespace

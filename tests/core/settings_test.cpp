#include "core/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace corvatin;
namespace fs = std::filesystem;

namespace {
class SettingsFile : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("corvatin-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    file = (dir / "sub" / "settings.ini").string();
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string ReadAll() {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir;
  std::string file;
};
} // namespace

TEST_F(SettingsFile, ReadsBeforeAnyWriteReturnTheCallersDefault) {
  TVRegistry reg(file);
  EXPECT_EQ(reg.ReadString("Folders\\ResultFolder", "/default"), "/default");
  EXPECT_EQ(reg.ReadInteger("Some\\Number", 7), 7);
  std::vector<std::string> list{"keep"};
  reg.ReadStringList("Tools", list);
  EXPECT_EQ(list, std::vector<std::string>{"keep"});
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(SettingsFile, ValuesSurviveANewStoreOverTheSameFile) {
  {
    TVRegistry reg(file);
    reg.WriteString("Folders\\ResultFolder", "/tmp/results");
    reg.WriteString("Note", "first\r\nsecond\\third\r");
    reg.WriteInteger("Count", -3);
    reg.WriteStringList("Elements\\Colors", {"C=1", "N=2"});
  }
  TVRegistry reg(file);
  EXPECT_EQ(reg.ReadString("Folders\\ResultFolder", ""), "/tmp/results");
  EXPECT_EQ(reg.ReadString("Note", ""), "first\r\nsecond\\third\r"); // line breaks and backslashes kept
  EXPECT_EQ(reg.ReadInteger("Count", 0), -3);
  std::vector<std::string> list;
  reg.ReadStringList("Elements\\Colors", list);
  EXPECT_EQ(list, (std::vector<std::string>{"C=1", "N=2"}));
}

TEST_F(SettingsFile, PathsSplitAtTheLastBackslash) {
  auto [key, name] = TVRegistry::SplitPath("A\\B\\C");
  EXPECT_EQ(key, "Software\\Corvatin\\A\\B");
  EXPECT_EQ(name, "C");
  auto [key2, name2] = TVRegistry::SplitPath("Tools");
  EXPECT_EQ(key2, "Software\\Corvatin");
  EXPECT_EQ(name2, "Tools");
  TVRegistry reg(file);
  reg.WriteString("A\\B\\C", "v");
  EXPECT_NE(ReadAll().find("[Software\\Corvatin\\A\\B]\nC=s:v"), std::string::npos);
}

TEST_F(SettingsFile, WritingAnEmptyPaletteRemovesTheValue) {
  TVRegistry reg(file);
  reg.WriteStringList("Tools", {"C", "N"});
  reg.WriteStringList("Tools", {});
  std::vector<std::string> list{"default"};
  reg.ReadStringList("Tools", list);
  EXPECT_EQ(list, std::vector<std::string>{"default"});
  EXPECT_EQ(ReadAll().find("Tools"), std::string::npos);
}

TEST_F(SettingsFile, AnUnparseableFileReadsAsDefaultsAndIsKeptAside) {
  fs::create_directories(fs::path(file).parent_path());
  { std::ofstream(file) << "garbage without a section\n"; }
  TVRegistry reg(file);
  EXPECT_EQ(reg.ReadString("Folders\\ResultFolder", "d"), "d");
  EXPECT_EQ(ReadAll(), "garbage without a section\n"); // a read destroys nothing
  reg.WriteString("Folders\\ResultFolder", "/x");
  EXPECT_TRUE(fs::exists(file + ".bad"));
  EXPECT_EQ(reg.ReadString("Folders\\ResultFolder", "d"), "/x");
}

TEST_F(SettingsFile, WritesLeaveNoTemporaryFilesBehind) {
  TVRegistry reg(file);
  for (int i = 0; i < 20; ++i) reg.WriteInteger("N", i);
  int files = 0;
  for (auto& e : fs::directory_iterator(fs::path(file).parent_path())) (void)e, ++files;
  EXPECT_EQ(files, 1);
  EXPECT_EQ(reg.ReadInteger("N", -1), 19);
}

TEST(SettingsLocation, EnvironmentChoosesTheFile) {
  ::setenv("CORVATIN_SETTINGS", "/tmp/x/settings.ini", 1);
  EXPECT_EQ(DefaultSettingsFile(), "/tmp/x/settings.ini");
  ::unsetenv("CORVATIN_SETTINGS");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(DefaultSettingsFile(), "/cfg/corvatin/settings.ini");
  ::unsetenv("XDG_CONFIG_HOME");
}

// The classification file language: header, definitions and their order, the records' specificity keys, and
// every error message with the line the tokenizer is on when the check fails.
#include "classify_test_util.h"

#include "classify/loader.h"
#include "core/numtext.h"
#include "core/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace corvatin {
namespace {

using test::LoadError;
using test::LoadText;

/// The loaded file in one line: "name|name| class: fragment=value;value ..." with the records in list order and
/// the values as numbers in a file of numbers.
std::string Summary(const TSMILESClassification& c) {
  std::string s;
  for (const std::string& name : c.PropertyNames()) s += name + "|";
  s += " " + c.ClassName() + ":";
  for (int i = 0; i < c.FragmentCount(); ++i) {
    const TGraphData& r = c.Record(i);
    s += " " + r.smiles + "=";
    for (size_t v = 0; v < r.values.size(); ++v)
      s += (v ? ";" : "") + (r.numbers.empty() ? r.values[v] : FloatToText(r.numbers.at(v)));
  }
  return s;
}

/// The names of a data row's first field: "-" for none, else separated by "|".
std::vector<std::string> Names(const std::string& field) {
  std::vector<std::string> names;
  std::istringstream list(field);
  for (std::string name; field != "-" && std::getline(list, name, '|');) names.push_back(name);
  return names;
}

TEST(ClassificationFile, HeaderDefinitionsAndTheirOrder) {
  // tests/data/classify/loads.tsv: header words in any letter case, comments and blank lines anywhere, given
  // names overriding the Property line, names keeping the ";" that ends them, the class kept as written, numbers
  // with a sign or without a leading digit, a quoted number in a file of numbers.
  const auto rows = test::DataRows("loads.tsv");
  ASSERT_GT(rows.size(), 10u);
  for (const auto& r : rows) {
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(Summary(*LoadText(r[3], Names(r[0]), ekAtoms, r[1] == "strings" ? vkString : vkNumber)), r[2]) << r[3];
  }
}

TEST(ClassificationFile, RecordKeysMainBondsAndHybridisationMarks) {
  // tests/data/classify/records.tsv. Bracket hydrogens are atoms; bonds written without a symbol are "any", not
  // specific ("~" is); an expanded two-atom symbol counts over the atoms written. The main bond is the first
  // main-chain bond after the first (bond 0 when there is none). Hybridisation marks above sp3 read as sp3.
  const auto rows = test::DataRows("records.tsv");
  ASSERT_GT(rows.size(), 10u);
  for (const auto& r : rows) {
    ASSERT_EQ(r.size(), 3u);
    auto file = LoadText(r[2], {"Weight"}, r[0] == "bonds" ? ekBonds : ekAtoms);
    const TGraphData& record = file->Record(0);
    const IMolecule& fragment = *file->File().fragments[0];
    std::string s = std::to_string(record.atomCount) + "/" + std::to_string(record.specificAtomCount) + "/" +
                    std::to_string(record.specificBondCount);
    if (fragment.GetAtom(0)->HasParam(kParamAtomSpecialHyb))
      s += " sp" + std::to_string(fragment.GetAtom(0)->GetInt(kParamAtomSpecialHyb));
    if (r[0] == "bonds") s += " main " + std::to_string(fragment.GetInt(kParamMainBond));
    EXPECT_EQ(s, r[1]) << r[2];
  }
}

TEST(ClassificationErrors, EveryErrorNamesTheLineTheTokenizerIsOnAndItsReason) {
  // tests/data/classify/load_errors.tsv. The check for an empty continued property runs after the line end was
  // passed, so it reports the next line; the value count is checked before the end of the line; a bond file's
  // fragment without a bond has no text of its own; a SMILES error carries the parser's message; loading stops
  // at the first error.
  const auto rows = test::DataRows("load_errors.tsv");
  ASSERT_GT(rows.size(), 40u);
  for (const auto& r : rows) {
    ASSERT_EQ(r.size(), 6u);
    const int kind = r[1] == "bonds" ? ekBonds : ekAtoms;
    EXPECT_EQ(LoadError(r[5], Names(r[0]), kind, r[2] == "strings" ? vkString : vkNumber),
              r[3] == "0" ? "loaded" : "Error at line " + r[3] + " : \"" + r[4] + "\"")
        << r[5];
  }
}

TEST(ClassificationFiles, RelativeNamesAreFoundInTheDataFolderAndAMissingFileIsAnInputError) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("corvatin-classify-" + std::to_string(::getpid()));
  fs::create_directories(folder / "elsewhere");
  std::ofstream(folder / "Test.txt") << "Property = W\nC = 1\n";
  const fs::path cwd = fs::current_path();
  fs::current_path(folder / "elsewhere");
  SetDataFolder(folder.string());
  int fragments = -1;
  EXPECT_NO_THROW(fragments = TSMILESClassification({}, "Test.txt", ekAtoms, vkNumber).FragmentCount());
  SetDataFolder("");
  fs::current_path(cwd);
  fs::remove_all(folder);
  EXPECT_EQ(fragments, 1);
  EXPECT_THROW(TSMILESClassification({}, "/nonexistent/NoSuchFile.txt", ekAtoms, vkNumber), EInputError);
}

} // namespace
} // namespace corvatin

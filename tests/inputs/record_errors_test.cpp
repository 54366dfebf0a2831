// Broken records in every multi-record reader: the error names the file, the line and the record, and the next
// pass reads the record after it. Coordinates that are not finite or lie beyond 10^6 angstrom are broken fields.

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

struct Outcome {
  std::vector<std::string> names; // of the structures read
  std::vector<std::string> errors;
};

// Every pass of reader over file, as the worker runs them: record errors are collected and the run goes on.
template <class Reader> Outcome ReadThrough(const std::string& file) {
  ReaderHarness<Reader> h;
  h.Start(file);
  Outcome outcome;
  bool more = true;
  for (int pass = 0; more && pass < 20; ++pass) {
    try {
      h.reader->Execute(more);
      outcome.names.push_back(h.molecule->GetName());
    } catch (const ERecordError& e) {
      outcome.errors.push_back(e.what()); // the reader has set more before raising it
    }
  }
  return outcome;
}

const std::string kEthaneSd = "ethane\n  test\n\n  2  1  0  0  0  0  0  0  0  0999 V2000\n"
                              "    0.0000    0.0000    0.0000 C   0  0\n    1.5400    0.0000    0.0000 C   0  0\n"
                              "  1  2  1  0\nM  END\n$$$$\n";
const std::string kEthaneMol2 = "@<TRIPOS>MOLECULE\nethane\n2 1\nSMALL\nNO_CHARGES\n\n@<TRIPOS>ATOM\n"
                                "1 C1 0 0 0 C.3 1 M 0\n2 C2 1.54 0 0 C.3 1 M 0\n@<TRIPOS>BOND\n1 1 2 1\n";

std::string BrokenSd(const std::string& x) {
  return "broken\n  test\n\n  2  1  0  0  0  0  0  0  0  0999 V2000\n    0.0000    0.0000    0.0000 C   0  0\n" + x +
         "    0.0000    0.0000 C   0  0\n  1  2  1  0\nM  END\n$$$$\n" + kEthaneSd;
}

std::string BrokenMol2(const std::string& x) {
  return "@<TRIPOS>MOLECULE\nbroken\n2 0\nSMALL\nNO_CHARGES\n\n@<TRIPOS>ATOM\n1 C1 0 0 0 C.3 1 M 0\n2 C2 " + x +
         " 0 0 C.3 1 M 0\n" + kEthaneMol2;
}

TEST(RecordErrors, ABrokenRecordNamesFileLineAndRecordAndTheNextOneIsRead) {
  TempFolder folder;
  struct Case {
    std::string file, text;
    Outcome (*read)(const std::string&);
    std::string error; // after the file name
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"nan.sdf", BrokenSd("       nan"), ReadThrough<TMOLInput>, "\" at line 6 (Coordinate expected), record 1", {"ethane"}},
      {"inf.sdf", BrokenSd("       inf"), ReadThrough<TMOLInput>, "\" at line 6 (Coordinate expected), record 1", {"ethane"}},
      {"far.sdf", BrokenSd("    2.0e+7"), ReadThrough<TMOLInput>, "\" at line 6 (Coordinate out of range), record 1", {"ethane"}},
      {"far.mol2", BrokenMol2("1e300"), ReadThrough<TTriposMOLInput>, "\" at line 9 (Coordinate out of range), record 1",
       {"ethane"}},
      {"nan.mol2", BrokenMol2("nan"), ReadThrough<TTriposMOLInput>, "\" at line 9, record 1", {"ethane"}},
      {"nan.xyz", "2\nbroken\nC 0 0 0\nC NaN 0 0\n2\nethane\nC 0 0 0\nC 1.54 0 0\n", ReadThrough<TXYZSphereInput>,
       "\" at line 4 (Element symbol and x y z expected), record 1", {"ethane"}},
      {"far.xyz", "2\nbroken\nC 0 0 0\nC 1e300 0 0\n2\nethane\nC 0 0 0\nC 1.54 0 0\n", ReadThrough<TXYZSphereInput>,
       "\" at line 4 (Coordinate out of range), record 1", {"ethane"}},
      {"points.xyz", "2\n0 0 0\n2000000 0 0\n1\n5 5 5\n", ReadThrough<TXYZSphereInput>,
       "\" at line 3 (Coordinate out of range), record 1", {""}},
      {"bad.smi", "C1CC( broken\nCCO ethanol\n", ReadThrough<TSMILESInput>,
       "\" at line 1 (Branch closure expected at position 5 in \"C1CC(\"), record 1", {"ethanol"}},
  };
  for (const Case& c : cases) {
    const std::string file = folder.Write(c.file, c.text);
    const Outcome outcome = c.read(file);
    ASSERT_EQ(outcome.errors.size(), 1u) << c.file;
    EXPECT_EQ(outcome.errors[0], "Error in file \"" + file + c.error) << c.file;
    EXPECT_EQ(outcome.names, c.names) << c.file;
  }
}

} // namespace

// Broken input in every reader: the record error names the file, the line, the reason and the record, and the
// next pass reads the structure after it. Coordinates that are not finite or lie beyond 10^6 angstrom are broken
// fields: a reader that perceives bonds from distances would otherwise overflow its grid.

#include "input_test_util.h"

#include "inputs/mol2_input.h"
#include "inputs/mol_input.h"
#include "inputs/mopac_input.h"
#include "inputs/smiles_input.h"
#include "inputs/xyz_input.h"
#include "inputs/zmatrix_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

// Each pass of the reader of the file's extension: names, "!message" or "~warning".
template <class Reader> Names Through(const std::string& path) {
  ReaderHarness<Reader> h;
  h.Start(path);
  return h.ReadAll();
}

Names ReadThrough(const std::string& path) {
  const std::string ext = path.substr(path.rfind('.') + 1);
  if (ext == "sdf" || ext == "mol") return Through<TMOLInput>(path);
  if (ext == "mol2") return Through<TTriposMOLInput>(path);
  if (ext == "xyz") return Through<TXYZSphereInput>(path);
  if (ext == "out") return Through<TMOPACInput>(path);
  if (ext == "zmt") return Through<TZMatrixInput>(path);
  return Through<TSMILESInput>(path);
}

struct Broken {
  std::string ext;
  std::string text;
  // The passes, "|"-separated: a name, "@line detail" for the record error of that pass (its record number is
  // the pass's), "~" for the warning of a file without structure.
  std::string passes;
};

// The expected passes for path, with the messages written out.
Names Expected(const std::string& passes, const std::string& path) {
  Names items;
  std::size_t at = 0;
  for (bool more = true; more;) {
    const std::size_t bar = passes.find('|', at);
    more = bar != std::string::npos;
    std::string item = passes.substr(at, more ? bar - at : std::string::npos);
    at = bar + 1;
    if (item == "~") {
      item = "~File \"" + path + "\" holds no structure";
    } else if (!item.empty() && item[0] == '@') {
      const std::size_t space = item.find(' ');
      const std::string line = item.substr(1, space == std::string::npos ? std::string::npos : space - 1);
      const std::string detail = space == std::string::npos ? "" : " (" + item.substr(space + 1) + ")";
      item = "!Error in file \"" + path + "\" at line " + line + detail + ", record " + std::to_string(items.size() + 1);
    }
    items.push_back(item);
  }
  return items;
}

const std::string kMopacHead = " PM3 T=600 VECTORS BONDS\n water, old layout\n\n";
const std::string kWaterXyz = "   CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0\n 2 H 0.96 0.0 0.0\n 3 H -0.24 0.93 0.0\n";
const std::string kZHead = "written by hand\nName: test\nMOPAC\n";
const std::string kZTwo = "C 0.0 0 0.0 0 0.0 0 0 0 0\nC 1.5 1 0.0 0 0.0 0 1 0 0\n";

// The water output in the layout of MOPAC 7 (tests/data/mopac/SOURCES.md), find replaced by replace.
std::string Mopac7(const std::string& find, const std::string& replace) {
  std::string text = DataText("mopac/water_mopac7.out");
  text.replace(text.find(find), find.size(), replace);
  return text;
}

std::string Cycles() { // the optimisation's progress lines before the results
  std::string text;
  for (int i = 0; i < 700; ++i) text += " CYCLE: " + std::to_string(i) + " TIME: 0.001 GRAD.: 1.0 HEAT: -57.8\n";
  return text;
}

const std::string kAtomHead = Header("x") + CountsLine(2, 0) + AtomLine(0, 0, 0, "C"); // the next line is 6
const std::string kBondHead = Header("x") + CountsLine(2, 1) + AtomLine(0, 0, 0, "C") + AtomLine(1, 0, 0, "C");
const std::string kNextSd = "$$$$\n" + TwoAtoms() + "$$$$\n";
const std::string kV3Atom = "M  V30 1 C 0 0 0 0\n";
const std::string kMol2N = Mol2Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n" + Mol2Atom(1, "N.4", 0.0, "0.0");
const std::string kXyzNext = "2\nethane\nC 0 0 0\nC 1.54 0 0\n";
const std::string kPoint = std::string(xyz_detail::kPoint);

const Broken kBroken[] = {
    // MDL V2000
    {"sdf", TwoAtoms({}, 1, "V9999"), "@4 The file you selected is not a MDL mol file"},
    {"sdf", Header("x") + " ab  1  0  0  0  0  0  0  0  0999 V2000\n", "@4 Atom count expected"},
    {"sdf", Header("x") + "  1 -1  0  0  0  0  0  0  0  0999 V2000\n", "@4 Bond count expected"},
    {"sdf", Header("none") + CountsLine(0, 0) + "M  END\n", "@4 Record without atoms"},
    {"sdf", kAtomHead + "    1.0000    abcdef    0.0000 C   0  0  0  0\n", "@6 Coordinate expected"},
    {"sdf", kAtomHead + "       nan    0.0000    0.0000 C   0  0\n" + kNextSd, "@6 Coordinate expected|two"},
    {"sdf", kAtomHead + "    2.0e+7    0.0000    0.0000 C   0  0\n" + kNextSd, "@6 Coordinate out of range|two"},
    {"sdf", kAtomHead + "    1.0000\n", "@6 Coordinate expected"},
    {"sdf", kAtomHead + "    1.0000    0.0000    0.0000 C   x  0  0  0\n", "@6 Mass difference expected"},
    {"sdf", kAtomHead + "    1.0000    0.0000    0.0000 C   0  q  0  0\n", "@6 Charge code expected"},
    {"sdf", kAtomHead + "    1.0000    0.0000    0.0000 C   0  0  0  z\n", "@6 Hydrogen count expected"},
    {"sdf", kAtomHead + "    1.0000    0.0000    0.0000 C   0  0  0999\n", "@6 Hydrogen count out of range"},
    {"sdf", kBondHead + BondLine(1, 3, 1), "@7 Atom number out of range"},
    {"sdf", kBondHead + BondLine(0, 1, 1), "@7 Atom number out of range"},
    {"sdf", kBondHead + "  1 xx  1  0\n", "@7 Atom number expected"},
    {"sdf", kBondHead + "  1  2\n", "@7 Bond type expected"},
    {"sdf", TwoAtoms("M  CHG  1   3   1\n"), "@8 Atom number out of range"},
    {"sdf", TwoAtoms("M  CHG  x   1   1\n"), "@8 Entry count expected"},
    {"sdf", TwoAtoms("M  CHG  2   1   1\n"), "@8 Property entry expected"},
    {"sdf", TwoAtoms("M  ISO  1   1  ab\n"), "@8 Property entry expected"},
    {"sdf", TwoAtoms("M  CHG  1   1  1\n"), "@8 Property entry expected"}, // the value one column short
    {"sdf", Header("x") + CountsLine(3, 0) + AtomLine(0, 0, 0, "C"), "@6 Unexpected end of file"},
    {"sdf", "name\nprogram\n", "@3 Unexpected end of file"},
    {"sdf", TwoAtoms() + "$$$$\n" + Header("bad") + CountsLine(1, 0) + "garbage\n" + kNextSd,
     "two|@14 Coordinate expected|two"},
    {"sdf", "\r\n  \n", "~"},
    // MDL V3000: a missing keyword or number has no detail
    {"mol", kV3000Head.substr(0, kV3000Head.find("M  V30")) + "M  V30 BEGIN CTBA\n", "@5"},
    {"mol", kV3000Head + "M  V30 COUNTS x 0\n", "@6"},
    {"mol", kV3000Head + "M  V30 COUNTS 99999999999 0\n", "@6"},
    {"mol", kV3000Head + "M  V30 COUNTS 1 0\nM  V30 BEGIN BOND\n", "@7"},
    {"mol", kV3000Head + "M  V30 COUNTS 1 0\nM  V30 BEGIN ATOM\nM  V30 1 C 0 0\n", "@8"},
    {"mol", kV3000Head + "M  V30 COUNTS 1 0\nM  V30 BEGIN ATOM\nM  V30 1 [C,N] 0 0 0 0\n", "@8"},
    {"mol", kV3000Head + "M  V30 COUNTS 2 0\nM  V30 BEGIN ATOM\n" + kV3Atom + "M  V30 END ATOM\n", "@9"},
    {"mol", kV3000Head + "M  V30 COUNTS 2000000000 0\nM  V30 BEGIN ATOM\n" + kV3Atom + "M  V30 END ATOM\n", "@9"},
    {"mol", V3000Record(1, 1, kV3Atom, "M  V30 1 1 1\n"), "@11"},
    {"mol", V3000Record(1, 1, kV3Atom, "M  V30 1 1 1 2\n"), "@11 Atom number out of range"},
    {"mol", V3000Record(1, 1, kV3Atom, "M  V30 1 1 -3 1\n"), "@11 Atom number out of range"},
    {"mol", V3000Record(1, 0, "M  V30 1 C 0 0 0 0 HCOUNT=2000000000\n", ""), "@8 Hydrogen count out of range"},
    // Tripos MOL2: a missing or malformed field has no detail
    {"mol2", "@<TRIPOS>\n", "@1"},
    {"mol2", "@<TRIPOS>MOLECULE\nname", "@2"},
    {"mol2", "@<TRIPOS>MOLECULE\nname\n 3\n", "@3"},
    {"mol2", Mol2Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n 1 C1 0.0 abc 0.0 C.3 1 UNL1 0.0\n", "@8"},
    {"mol2", Mol2Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n 1 C1 0.0 0.0 0.0 C.3 1 UNL1 charge\n", "@8"},
    {"mol2", Mol2Molecule("m", 1, 0) + "@<TRIPOS>ATOM\n 1 C1 0.0 0.0 0.0 C.3 1 UNL1\n", "@8"},
    {"mol2", Mol2Pair("1", "C.3", "1."), "@8"}, // a charge ending in its point is no number
    {"mol2", Mol2Molecule("b", 2, 0) + "@<TRIPOS>ATOM\n1 C1 0 0 0 C.3 1 M 0\n2 C2 nan 0 0 C.3 1 M 0\n" + Mol2Pair("1"),
     "@9|pair"},
    {"mol2", Mol2Molecule("b", 2, 0) + "@<TRIPOS>ATOM\n1 C1 0 0 0 C.3 1 M 0\n2 C2 1e300 0 0 C.3 1 M 0\n" + Mol2Pair("1"),
     "@9 Coordinate out of range|pair"},
    {"mol2", Mol2Molecule("m", 2, 0) + "@<TRIPOS>ATOM\n" + Mol2Atom(1, "C.3", 0.0, "0.0") + "@<TRIPOS>BOND\n", "@9"},
    {"mol2", Mol2Molecule("m", 2, 0) + "@<TRIPOS>ATOM\n" + Mol2Atom(1, "C.3", 0.0, "0.0") + Mol2Atom(1, "C.3", 1, "0.0"),
     "@9 Atom id used twice"},
    {"mol2", Mol2Pair("xy"), "@11"},
    {"mol2", Mol2Pair("1.5"), "@11"},
    {"mol2", Mol2Pair(""), "@11"},
    {"mol2", Mol2Molecule("m", 2, 1) + "@<TRIPOS>ATOM\n" + Mol2Atom(1, "C.3", 0, "0") + Mol2Atom(2, "C.3", 1, "0") +
                 "@<TRIPOS>BOND\n 1 1 3 1\n",
     "@11 Atom number out of range"},
    {"mol2", kMol2N + "@<TRIPOS>UNITY_ATOM_ATTR\n1 1\ncharge plus\n", "@11"},
    {"mol2", kMol2N + "@<TRIPOS>UNITY_ATOM_ATTR\n2 1\ncharge 1\n", "@10 Atom number out of range"},
    // XYZ: point sets and element-first molecules
    {"xyz", "\n\npoints\n", "@3 Atom count expected"},
    {"xyz", "-2\n", "@1 Atom count expected"},
    {"xyz", "2\n0 0 0\n1 1\n", "@3 " + kPoint},
    {"xyz", "2\n0 0 0\n1 1 x1\n", "@3 " + kPoint},
    {"xyz", "3\n0 0 0\n1 1 1\n", "@4 " + kPoint},
    {"xyz", "3\n0 0 0\n1 0 0\n0 0 0\n", "@4 Points 1 and 3 coincide"},
    {"xyz", "2\n0 0 0\n2000000 0 0\n1\n5 5 5\n", "@3 Coordinate out of range|"},
    {"xyz", "1\nC 0.0 0.0 0.0\n", "@3 Element symbol and x y z expected"}, // the atom line taken for the comment
    {"xyz", "1\nname\nXx 0.0 0.0 0.0\n", "@3 Unknown element \"Xx\""},
    {"xyz", "2\nbroken\nC 0 0 0\nC NaN 0 0\n" + kXyzNext, "@4 Element symbol and x y z expected|ethane"},
    {"xyz", "2\nbroken\nC 0 0 0\nC 1e300 0 0\n" + kXyzNext, "@4 Coordinate out of range|ethane"},
    // SMILES: the parser's message with the position in the SMILES, not in the line
    {"smi", "C1CC( broken\nCCO ethanol\n", "@1 Branch closure expected at position 5 in \"C1CC(\"|ethanol"},
    {"sml", "CCO\nC(C\n", "CCO|@2 Branch closure expected at position 3 in \"C(C\""},
    {"sml", "CCO   C[Xx]\n", "CCO|@1 Unknown symbol at position 4 in \"C[Xx]\""},
    {"sml", "!!\n", "@1 Unexpected error at position 0 in \"!!\""},
    {"sml", "CC{O}\n", "@1 Unexpected error at position 2 in \"CC{O}\""}, // braces only in environment mode
    {"sml2", "1;Ethanol\nCCO ethanol\n", "@2 Unexpected error at position 4 in \"CCO ethanol\""},
    {"sml2", "1;Ethanol\n2;Water\nO\n", "@2 Name without SMILES|Water"},
    // MOPAC output: the section's true line
    {"out", kMopacHead + "   CARTESIAN COORDINATES\n\n NO.  ATOM  X  Y\n 1 O 0.0 0.0 0.0\n", "@6"},
    {"out", kMopacHead + "   CARTESIAN COORDINATES\n\n 1 O 0.0 0.0 0.0\n 2 H 0.96 0.0\n", "@7"},
    {"out", "   CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0 x\n", "@2"},
    {"out", "   CARTESIAN COORDINATES\n\n 1  200  0.0 0.0 0.0\n", "@3"},
    {"out", "   CARTESIAN COORDINATES\n\n 2  O  0.0 0.0 0.0\n", "@3 Atom number out of sequence"},
    {"out", "   CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0\n 2 H 0.96 -1000001.0 0.0\n", "@3 Coordinate out of range"},
    // found by the fuzzer: a z of 6.7e23 overflowed the distance grid of the bond perception
    {"out", DataText("mopac/fuzz/crash-huge-coordinate.out"), "@11 Coordinate out of range"},
    {"out", kMopacHead + "   NO. OF FILLED LEVELS  12\n", "@4"},
    {"out", kMopacHead + "   NO. OF FILLED LEVELS  =  many\n", "@4"},
    {"out", kMopacHead + "   NET ATOMIC CHARGES\n\n  TYPE  CHARGE\n", "@6"},
    {"out", kMopacHead + "   NET ATOMIC CHARGES\n\n ATOM NO.\n 1 O -0.5\n", "@7"},
    {"out", kWaterXyz + " NET ATOMIC CHARGES\n ATOM NO.\n 4 O -0.5 6.5\n", "@7 Atom number out of range"},
    {"out", kMopacHead + "   BOND ORDERS AND VALENCIES\n\n   O  1\n", "@4"}, // before any atoms
    {"out", kMopacHead + "   (VALENCIES)   BOND ORDERS\n\n     1  O     (1.788)     2  H 0.894\n", "@4"},
    {"out", kWaterXyz + "   (VALENCIES)   BOND ORDERS\n\n     1  O     (1.788)     9  H 0.894\n",
     "@7 Atom number out of range"},
    {"out", Mopac7("ROOT NO.    4", "ROOT NO.    5"), "@27 Root number out of sequence"},
    {"out", Mopac7("  S   H    3   0.33", "  S   H    4   0.33"), "@25"}, // the coefficient row of another atom
    // as many roots as filled levels: the lowest empty orbital is missing (named at the end of the listing)
    {"out", Mopac7("LEVELS    =          4", "LEVELS    =          6"), "@38"},
    {"out", Cycles() + "   NO. OF FILLED LEVELS  -\n", "@701"},
    {"out", Cycles() + kWaterXyz + "   CARTESIAN COORDINATES\n 1 O 0.0 0.0\n", "@706"},
    // MOPAC Z-matrix
    {"zmt", "x\nTitle: test\nMOPAC\n", "@2"},
    {"zmt", "x\nName: test\nAMPAC\n", "@3"},
    {"zmt", kZHead + "C\n", "@4"},
    {"zmt", kZHead + "C 0.0\n", "@4"},
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0\nC 1.5 1 0.0\n", "@5"},
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0\nC 1.5 1 0.0 0\n", "@5"},
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0\nC 1.5 x 0.0 0 0.0 0\n", "@5"},
    {"zmt", kZHead + kZTwo + "C 1.5 1 109.5 1 0.0 0 3 1 0\n", "@6 Invalid reference atom"},
    {"zmt", kZHead + kZTwo + "C 1.5 1 109.5 1 0.0 0 2 2 0\n", "@6 Invalid reference atom"},
    {"zmt", kZHead + kZTwo + "C 1.5 1 109.5 1 0.0 0 2 0 0\n", "@6 Invalid reference atom"},
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0 0 0 0\nC 1.5 1 0.0 0 0.0 0 1 1 0\n", "@5 Invalid reference atom"},
    // long distances add up: the atom that ends up beyond 10^6 angstrom is named
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0\nC 600000.0 1 0.0 0 0.0 0\nC 600000.0 1 180.0 1 0.0 0\n",
     "@6 Coordinate out of range"},
    {"zmt", kZHead + "C 0.0 0 0.0 0 0.0 0\nC 1" + std::string(300, '0') + ".0 1 0.0 0 0.0 0\n",
     "@5 Coordinate out of range"},
    {"zmt", "", "~"},
};

} // namespace

TEST(ReaderMessages, ABrokenStructureNamesFileLineReasonAndRecordAndTheNextOneIsRead) {
  TempFolder folder;
  int k = 0;
  for (const Broken& b : kBroken) {
    const std::string path = folder.Write(std::to_string(++k) + "." + b.ext, b.text);
    SCOPED_TRACE(path + "\n" + b.text.substr(0, 400));
    EXPECT_EQ(ReadThrough(path), Expected(b.passes, path));
  }
}

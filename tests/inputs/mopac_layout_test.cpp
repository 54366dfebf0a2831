// The MOPAC output reader on texts written for the tests: the layout of MOPAC 6/7 and AMPAC (column header over
// the coordinates, the lower-triangular bond order matrix, "ROOT NO." blocks) and that of MOPAC 22 (a second
// coordinates block without header, s- and p-populations after the electron count, the per-atom bond order
// list, "Root No." blocks with symmetry labels, roots around the gap only), every message, and the lines the
// messages name. Layouts follow the MOPAC 7 and MOPAC 22 output routines (J. J. P. Stewart).

#include "input_test_util.h"

#include "chem/completion.h"
#include "core/errors.h"
#include "core/numtext.h"
#include "inputs/mopac_input.h"

#include <cmath>
#include <sstream>

using namespace corvatin;
using namespace corvatin::test;

namespace {

const char* kFile = "test.out";

struct Read {
  Ptr<IMolecule> molecule = NewMolecule();
  std::vector<std::string> warnings;
  int progress = 0;
};

Read ReadText(const std::string& text) {
  Read r;
  auto tokenizer = NewTextParser(text);
  MopacReadHooks hooks;
  hooks.warning = [&r](const std::string& w) { r.warnings.push_back(w); };
  hooks.progress = [&r] { ++r.progress; };
  ReadMopacOutput(*tokenizer, *r.molecule, kFile, hooks);
  EXPECT_TRUE(tokenizer->AtEnd());
  return r;
}

std::string ErrorOf(const std::string& text) {
  return MessageOf<EInputError>([&] {
    auto molecule = NewMolecule();
    auto tokenizer = NewTextParser(text);
    ReadMopacOutput(*tokenizer, *molecule, kFile);
  });
}

std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(kFile, line, detail); }

// Water in the layout of MOPAC 7: keyword line with T=, title, coordinates with header, filled levels,
// eigenvectors, charges, the bond order matrix.
const std::string kHeader = " PM3 T=600 VECTORS BONDS\n water, old layout\n\n";
const std::string kCoordinates = "          CARTESIAN COORDINATES\n\n"
                                 "    NO.       ATOM         X         Y         Z\n\n"
                                 "     1         O        0.0000    0.0000    0.0000\n"
                                 "     2         H        0.9600    0.0000    0.0000\n"
                                 "     3         H       -0.2400    0.9300    0.0000\n\n";
const std::string kFilled = "          NO. OF FILLED LEVELS    =          4\n\n";
const std::string kVectors = "                EIGENVECTORS\n\n"
                             "    ROOT NO.    1           2           3\n\n"
                             "          -35.5          -18.25        -14.0\n\n"
                             "  S   O    1   0.85        0.0         -0.43\n"
                             "  PX  O    1   0.14        0.65         0.51\n"
                             "  PY  O    1   0.18       -0.50         0.66\n"
                             "  PZ  O    1   0.0         0.0          0.0\n"
                             "  S   H    2   0.33        0.40         0.26\n"
                             "  S   H    3   0.33       -0.40         0.26\n\n"
                             "    ROOT NO.    4           5           6\n\n"
                             "          -12.0           4.0          6.5\n\n"
                             "  S   O    1   0.0        -0.31        -0.0002\n"
                             "  PX  O    1   0.0        -0.31        -0.45\n"
                             "  PY  O    1   0.0        -0.40         0.35\n"
                             "  PZ  O    1   1.0         0.0          0.0\n"
                             "  S   H    2   0.0         0.57         0.58\n"
                             "  S   H    3   0.0         0.57        -0.58\n\n";
const std::string kCharges = "          NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS\n\n"
                             "  ATOM NO.   TYPE          CHARGE        ATOM  ELECTRON DENSITY\n"
                             "    1          O          -0.6481          6.6481\n"
                             "    2          H           0.3240          0.6760\n"
                             "    3          H           0.3241          0.6759\n"
                             " DIPOLE           X         Y         Z       TOTAL\n";
// Two column blocks (2 columns, then 1) so that the block walk is exercised.
const std::string kBondMatrix = "                    BOND ORDERS AND VALENCIES\n\n"
                                "              O  1       H  2\n"
                                "       ------------------------\n"
                                "   O  1     1.788\n"
                                "   H  2     0.894     0.895\n"
                                "   H  3     0.894     0.012\n\n"
                                "              H  3\n"
                                "       ------------\n"
                                "   H  3     0.895\n\n";

std::string OldWater() { return kHeader + kCoordinates + kFilled + kVectors + kCharges + kBondMatrix; }

double BondOrder(const IMolecule& m, int a, int b) {
  const IBond* bond = m.GetAtom(a)->GetBondTo(m.GetAtom(b));
  return bond ? bond->GetFloat(kParamBondOrder) : std::nan("");
}

} // namespace

// ------------------------------------------------------------------------------------------ the block

TEST(MopacReader, OnePassPerFileWithHeadingAndProgress) {
  TempFolder folder;
  ReaderHarness<TMOPACInput> h;
  // Two calculations in one file: still one structure.
  h.Start(folder.Write("w.out", OldWater() + OldWater()));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->VertexCount(), 3);
  EXPECT_EQ(h.molecule->GetName(), "water, old layout");
  EXPECT_TRUE(h.log->Contains("Reading MOPAC file...", lkHeading));
  ASSERT_FALSE(h.progress->positions.empty());
  EXPECT_EQ(h.progress->positions.back(), 100);
  EXPECT_TRUE(h.molecule->HasTransform()); // fitted into the view
}

// ------------------------------------------------------------------------------------------ MOPAC 7 layout

TEST(MopacReader, OldLayoutGivesAtomsChargesBondOrdersAndEigenvectors) {
  const Read r = ReadText(OldWater());
  const IMolecule& m = *r.molecule;
  ASSERT_EQ(m.VertexCount(), 3);
  EXPECT_EQ(m.GetAtom(0)->GetSymbol(), "O");
  EXPECT_DOUBLE_EQ(m.GetAtom(2)->GetX3D(), -0.24);
  EXPECT_DOUBLE_EQ(m.GetAtom(2)->GetY3D(), 0.93);
  EXPECT_DOUBLE_EQ(m.GetAtom(0)->GetFloat(kParamNetAtomicCharge), -0.6481);
  EXPECT_DOUBLE_EQ(m.GetAtom(0)->GetFloat(kParamElectronDensity), 6.6481);
  EXPECT_DOUBLE_EQ(m.GetAtom(2)->GetFloat(kParamElectronDensity), 0.6759);
  EXPECT_EQ(m.GetFloat(kParamFilledLevels), 4);
  // Only bonded pairs keep their value: H2-H3 (0.012) is no bond.
  ASSERT_EQ(m.EdgeCount(), 2);
  EXPECT_DOUBLE_EQ(BondOrder(m, 0, 1), 0.894);
  EXPECT_DOUBLE_EQ(BondOrder(m, 0, 2), 0.894);
  const auto energies = m.GetMatrix(kParamEigenvalues);
  ASSERT_TRUE(energies);
  ASSERT_EQ(energies->GetRowCount(), 1);
  ASSERT_EQ(energies->GetColumnCount(), 6);
  EXPECT_DOUBLE_EQ(energies->Get(0, 1), -18.25);
  EXPECT_DOUBLE_EQ(energies->Get(0, 5), 6.5);
  const auto oxygen = m.GetAtom(0)->GetMatrix(kParamEigenvectors);
  ASSERT_TRUE(oxygen);
  EXPECT_EQ(oxygen->GetRowCount(), 4);
  EXPECT_EQ(oxygen->GetColumnCount(), 6);
  EXPECT_DOUBLE_EQ(oxygen->Get(1, 1), 0.65);  // Px, root 2
  EXPECT_DOUBLE_EQ(oxygen->Get(3, 3), 1.0);   // Pz, root 4
  EXPECT_DOUBLE_EQ(oxygen->Get(0, 5), -0.0002);
  const auto hydrogen = m.GetAtom(2)->GetMatrix(kParamEigenvectors);
  ASSERT_TRUE(hydrogen);
  EXPECT_EQ(hydrogen->GetRowCount(), 1);
  EXPECT_DOUBLE_EQ(hydrogen->Get(0, 5), -0.58);
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_GE(r.progress, 6);
}

TEST(MopacReader, NameIsTheLineAfterTheKeywordLineWithTimeLimit) {
  EXPECT_EQ(ReadText(" PM7 T=1D\n  aspirin, final\n" + kCoordinates).molecule->GetName(), "aspirin, final");
  // "T=" in a keyword's description is not followed by a number: no title there.
  EXPECT_EQ(ReadText(" *  T=   - A TIME OF 60.0 SECONDS REQUESTED\n next\n" + kCoordinates).molecule->GetName(), "");
}

TEST(MopacReader, WithoutBondOrdersBondsComeFromDistancesWithoutValues) {
  const Read r = ReadText(kHeader + kCoordinates + kCharges);
  ASSERT_EQ(r.molecule->EdgeCount(), 2);
  EXPECT_FALSE(r.molecule->GetBond(0)->HasParam(kParamBondOrder));
  EXPECT_FALSE(r.molecule->HasParam(kParamEigenvalues));
  EXPECT_FALSE(r.molecule->GetAtom(0)->HasParam(kParamEigenvectors));
}

TEST(MopacReader, LaterCoordinatesOverwriteTheSameAtoms) {
  const std::string moved = "          CARTESIAN COORDINATES\n\n"
                            "    NO.       ATOM         X         Y         Z\n\n"
                            "     1         O        0.0000    0.0000    0.1000\n"
                            "     2         H        0.9500    0.0000    0.1000\n"
                            "     3         H       -0.2300    0.9200    0.1000\n\n";
  const Read r = ReadText(kHeader + kCoordinates + moved);
  ASSERT_EQ(r.molecule->VertexCount(), 3);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(1)->GetX3D(), 0.95);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(2)->GetZ3D(), 0.1);
}

TEST(MopacReader, ChargesBeforeCoordinatesCreateTheAtoms) {
  const Read r = ReadText(kHeader + kCharges);
  ASSERT_EQ(r.molecule->VertexCount(), 3);
  EXPECT_FALSE(r.molecule->GetAtom(0)->Has3D());
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(1)->GetFloat(kParamNetAtomicCharge), 0.324);
}

TEST(MopacReader, AtomsMayBeNamedByAtomicNumber) {
  const Read r = ReadText("          CARTESIAN COORDINATES\n\n"
                          "     1         8        0.0000    0.0000    0.0000\n"
                          "     2         1        0.9600    0.0000    0.0000\n");
  ASSERT_EQ(r.molecule->VertexCount(), 2);
  EXPECT_EQ(r.molecule->GetAtom(0)->GetSymbol(), "O");
  EXPECT_EQ(r.molecule->GetAtom(1)->GetSymbol(), "H");
}

TEST(MopacReader, HydrogensAreTakenAsCompleteAndRingsTurnAromatic) {
  // Benzene without its hydrogens: the file's atoms are all there is, and completion adds nothing.
  std::ostringstream text;
  text << "          CARTESIAN COORDINATES\n\n";
  for (int k = 0; k < 6; ++k) {
    const double a = k * 3.14159265358979 / 3;
    text << "  " << k + 1 << "  C  " << FormatFixed(1.39 * std::cos(a), 4) << "  " << FormatFixed(1.39 * std::sin(a), 4)
         << "  0.0000\n";
  }
  const Read r = ReadText(text.str());
  ASSERT_EQ(r.molecule->EdgeCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.molecule->GetBond(i)->GetBondType(), bkAromatic);
  EXPECT_EQ(r.molecule->GetFloat(kTagHydrogens), 1);
  EXPECT_FALSE(CompleteHydrogens(*r.molecule));
  EXPECT_EQ(r.molecule->VertexCount(), 6);
}

// ------------------------------------------------------------------------------------------ MOPAC 22 layout

const std::string kNewCharges = "              NET ATOMIC CHARGES AND DIPOLE CONTRIBUTIONS\n\n"
                                "  ATOM NO.   TYPE          CHARGE      No. of ELECS.   s-Pop       p-Pop       \n"
                                "    1          O          -0.648143        6.6481     1.81379     4.83435\n"
                                "    2          H           0.324053        0.6759     0.67595\n"
                                "    3          H           0.324090        0.6759     0.67591\n"
                                " DIPOLE           X         Y         Z       TOTAL\n";
const std::string kBondList = "            (VALENCIES)   BOND ORDERS\n\n"
                              "     1  O     (1.788)     2  H 0.894\n"
                              "                          3  H 0.893\n\n"
                              "     2  H     (0.895)     1  O 0.894\n\n"
                              "     3  H     (0.895)     1  O 0.893\n\n\n"
                              " **********************\n";
const std::string kNewVectors = "                EIGENVECTORS  \n\n\n"
                                "   Root No.       1         2         3\n\n"
                                "                 1 a1      1 b2      2 a1  \n\n"
                                "               -29.629   -17.825   -14.229\n  \n"
                                "  S   O    1    0.8513   -0.0001   -0.4269\n"
                                "  Px  O    1    0.1430    0.6497    0.5077\n"
                                "  Py  O    1    0.1845   -0.5034    0.6553\n"
                                "  Pz  O    1    0.0000   -0.0000   -0.0000\n"
                                "  S   H    2    0.3324    0.4027    0.2556\n"
                                "  S   H    3    0.3322   -0.4028    0.2556\n\n\n"
                                "   Root No.       4         5         6\n\n"
                                "                 1 b1      3 a1      2 b2  \n\n"
                                "               -12.114     4.055     6.344\n  \n"
                                "  S   O    1    0.0000   -0.3051   -0.0002\n"
                                "  Px  O    1    0.0000   -0.3111   -0.4504\n"
                                "  Py  O    1   -0.0000   -0.4020    0.3487\n"
                                "  Pz  O    1    1.0000    0.0000    0.0000\n"
                                "  S   H    2   -0.0000    0.5692    0.5815\n"
                                "  S   H    3   -0.0000    0.5697   -0.5809\n\n\n";

TEST(MopacReader, RootsThatStopShortOfTheLastOrbitalAreDroppedToo) {
  // Roots 1 to 3 of 6 orbitals: the empty orbitals are missing.
  const std::string firstBlock = kNewVectors.substr(0, kNewVectors.find("   Root No.       4"));
  const Read r = ReadText(kCoordinates + "   NO. OF FILLED LEVELS = 2\n" + firstBlock + kNewCharges);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find("roots 1 to 3 of 6"), std::string::npos);
  EXPECT_FALSE(r.molecule->HasParam(kParamEigenvalues));
}

TEST(MopacReader, AHeadingEarlierInTheTextWinsOverOneEarlierInTheList) {
  // The charges table ends within a few bytes of the coordinates heading: a search that preferred the earlier
  // heading of its list anywhere in a block of text would pass over the charges.
  const std::string charges = " NET ATOMIC CHARGES\n ATOM NO.\n 1 O -0.5 6.5\n 2 H 0.25 0.75\n"
                              " 3 H 0.25 0.75\n";
  const Read r = ReadText(charges + " CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0\n 2 H 0.96 0.0 0.0\n"
                                    " 3 H -0.24 0.93 0.0\n");
  ASSERT_EQ(r.molecule->VertexCount(), 3);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(0)->GetFloat(kParamNetAtomicCharge), -0.5);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(1)->GetX3D(), 0.96);
}

// ------------------------------------------------------------------------------------------ messages

TEST(MopacReaderErrors, EachBrokenSectionNamesItsTrueLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {kHeader + "   CARTESIAN COORDINATES\n\n NO.  ATOM  X  Y\n 1 O 0.0 0.0 0.0\n", At(6)},
      {kHeader + "   CARTESIAN COORDINATES\n\n 1 O 0.0 0.0 0.0\n 2 H 0.96 0.0\n", At(7)},
      {"   CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0 x\n", At(2)},
      {kHeader + "   NO. OF FILLED LEVELS  12\n", At(4)},
      {kHeader + "   NO. OF FILLED LEVELS  =  many\n", At(4)},
      {kHeader + "   NET ATOMIC CHARGES\n\n  TYPE  CHARGE\n", At(6)},
      {kHeader + "   NET ATOMIC CHARGES\n\n ATOM NO.\n 1 O -0.5\n", At(7)},
      {kHeader + kBondMatrix, At(4)},
      {kHeader + kBondList, At(4)},
      {"   CARTESIAN COORDINATES\n\n 1  200  0.0 0.0 0.0\n", At(3)},
      {"   CARTESIAN COORDINATES\n\n 2  O  0.0 0.0 0.0\n", At(3, "Atom number out of sequence")},
      {kCoordinates + " NET ATOMIC CHARGES\n ATOM NO.\n 4 O -0.5 6.5\n", At(11, "Atom number out of range")},
      {kCoordinates + "   (VALENCIES)   BOND ORDERS\n\n     1  O     (1.788)     9  H 0.894\n",
       At(11, "Atom number out of range")},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}

TEST(MopacReaderErrors, CoordinatesBeyondAnyStructure) {
  // Within 10^6 angstrom of the origin; farther is a broken number, not a molecule.
  EXPECT_EQ(ReadText("   CARTESIAN COORDINATES\n 1 O 999999.0 0.0 0.0\n").molecule->GetAtom(0)->GetX3D(), 999999.0);
  EXPECT_EQ(ErrorOf("   CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0\n 2 H 0.96 -1000001.0 0.0\n"),
            At(3, "Coordinate out of range"));
  // Found by the fuzzer: a z of 6.7e23 ended in an integer overflow of the distance grid of the bond perception.
  auto tokenizer = NewFileParser(std::string(CORVATIN_TEST_DATA_DIR) + "/mopac/fuzz/crash-huge-coordinate.out");
  auto molecule = NewMolecule();
  EXPECT_EQ(MessageOf<EInputError>([&] { ReadMopacOutput(*tokenizer, *molecule, kFile); }),
            At(11, "Coordinate out of range"));
}

TEST(MopacReaderErrors, AsManyRootsAsFilledLevelsFail) {
  // Six roots, six filled levels: the lowest empty orbital is missing. The message names the end of the listing.
  EXPECT_EQ(ErrorOf(kHeader + kCoordinates + "  NO. OF FILLED LEVELS    =          6\n" + kVectors), At(37));
  // Filled levels printed after the listing are checked at the end of the file.
  EXPECT_EQ(ErrorOf(kHeader + kCoordinates + kVectors + "  NO. OF FILLED LEVELS    =          6\n"), At(37));
  EXPECT_EQ(ReadText(kHeader + kCoordinates + "  NO. OF FILLED LEVELS    =          5\n" + kVectors)
                .molecule->GetMatrix(kParamEigenvalues)
                ->GetColumnCount(),
            6);
}

TEST(MopacReaderErrors, RootNumbersMustRunOn) {
  std::string text = OldWater();
  text.replace(text.find("ROOT NO.    4"), 13, "ROOT NO.    5");
  EXPECT_EQ(ErrorOf(text), At(27, "Root number out of sequence"));
}

TEST(MopacReaderErrors, CoefficientRowOfTheWrongAtom) {
  std::string text = OldWater();
  text.replace(text.find("  S   H    3   0.33"), 19, "  S   H    4   0.33");
  EXPECT_EQ(ErrorOf(text), At(25));
}

TEST(MopacReaderErrors, MessagesNameTheTrueLineAfterLongSkippedText) {
  // Hundreds of lines before the broken section: the block-wise heading search never loses count.
  std::string text;
  for (int i = 0; i < 700; ++i) text += " CYCLE: " + std::to_string(i) + " TIME: 0.001 GRAD.: 1.0 HEAT: -57.8\n";
  EXPECT_EQ(ErrorOf(text + "   NO. OF FILLED LEVELS  -\n"), At(701));
  EXPECT_EQ(ErrorOf(text + kCoordinates + "   CARTESIAN COORDINATES\n 1 O 0.0 0.0\n"), At(710));
}

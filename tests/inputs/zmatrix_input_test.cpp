// The MOPAC Z-matrix reader: the header, atom lines with and without reference atoms, the coordinates MOPAC 22
// itself computes from the same Z-matrices (handedness included), dummy atoms, bonds from distances, hydrogens
// taken as complete, and every message.

#include "input_test_util.h"

#include "chem/completion.h"
#include "chem/geometry.h"
#include "core/errors.h"
#include "inputs/zmatrix_input.h"

#include <cmath>

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::string ZMatrixFile(const std::string& name) {
  return std::string(CORVATIN_TEST_DATA_DIR) + "/zmatrix/" + name;
}

const char* kFile = "test.zmt";
const std::string kHeader = "written by hand\nName: test\nMOPAC\n";

Ptr<IMolecule> ReadText(const std::string& text) {
  auto molecule = NewMolecule();
  auto tokenizer = NewTextParser(text);
  ReadZMatrix(*tokenizer, *molecule, kFile);
  EXPECT_TRUE(tokenizer->AtEnd());
  return molecule;
}

std::string ErrorOf(const std::string& text) {
  return MessageOf<EInputError>([&] { ReadText(text); });
}

std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(kFile, line, detail); }

void ExpectAt(const IAtom* atom, double x, double y, double z, double tolerance = 1e-6) {
  EXPECT_NEAR(atom->GetX3D(), x, tolerance) << atom->GetSymbol() << " " << atom->GetIndex() + 1;
  EXPECT_NEAR(atom->GetY3D(), y, tolerance) << atom->GetSymbol() << " " << atom->GetIndex() + 1;
  EXPECT_NEAR(atom->GetZ3D(), z, tolerance) << atom->GetSymbol() << " " << atom->GetIndex() + 1;
}

// A chain of five carbons, written without references.
const std::string kChain = "C 0.0 0 0.0 0 0.0 0\n"
                           "C 1.54 1 0.0 0 0.0 0\n"
                           "C 1.54 1 109.5 1 0.0 0\n"
                           "C 1.54 1 109.5 1 60.0 1\n"
                           "C 1.54 1 109.5 1 -75.0 1\n";

} // namespace

// ------------------------------------------------------------------------------------------ the block

TEST(ZMatrixReader, AFileIsOnePassWithItsHeadingProgressAndViewFit) {
  TempFolder folder;
  ReaderHarness<TZMatrixInput> h;
  h.Start(ZMatrixFile("acetone.zmt"));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->GetName(), "acetone");
  EXPECT_EQ(h.molecule->VertexCount(), 10);
  EXPECT_TRUE(h.log->Contains("Reading MOPAC Z matrix file...", lkHeading));
  EXPECT_TRUE(h.molecule->HasTransform());
  EXPECT_EQ(h.progress->positions.back(), 100);
}

TEST(ZMatrixReader, NameIsTrimmed) {
  auto tokenizer = NewFileParser(ZMatrixFile("bromochlorofluoromethane.zmt"));
  auto molecule = NewMolecule();
  ReadZMatrix(*tokenizer, *molecule, "bromochlorofluoromethane.zmt");
  EXPECT_EQ(molecule->GetName(), "bromochlorofluoromethane");
  EXPECT_EQ(ReadText("x\n  name:  spaced out  \n  mopac pm7\n")->GetName(), "spaced out");
}

// ------------------------------------------------------------------------------------------ geometry

TEST(ZMatrixReader, ReferenceAtomsGiveMopacsOwnCoordinates) {
  // MOPAC 22's "CARTESIAN COORDINATES" for the same Z-matrix (PM7 1SCF INT run).
  const double expected[10][3] = {{0.000000000, 0.000000000, 0.000000000},   {1.505311055, 0.000000000, 0.000000000},
                                  {2.219514233, 1.325102571, 0.000000000},   {2.136851983, -1.057810455, 0.000011832},
                                  {-0.395749255, 1.018402710, 0.000000000},  {-0.359038361, -0.512328660, 0.896262077},
                                  {-0.359029862, -0.512342320, -0.896264571}, {1.510784699, 2.156654155, 0.000000000},
                                  {2.840857533, 1.398068655, -0.896262761},  {2.840849175, 1.398072649, 0.896261331}};
  auto tokenizer = NewFileParser(ZMatrixFile("acetone.zmt"));
  auto m = NewMolecule();
  ReadZMatrix(*tokenizer, *m, "acetone.zmt");
  ASSERT_EQ(m->VertexCount(), 10);
  for (int i = 0; i < 10; ++i) ExpectAt(m->GetAtom(i), expected[i][0], expected[i][1], expected[i][2]);
  EXPECT_EQ(m->EdgeCount(), 9);
  EXPECT_TRUE(m->GetAtom(1)->GetBondTo(m->GetAtom(3)));
}

TEST(ZMatrixReader, TorsionSignGivesTheRightEnantiomer) {
  // MOPAC: C 0 0 0; H 1.09 0 0; F -0.45 1.30 0; Cl -0.60 -0.88 1.46; Br -0.65 -0.98 -1.60. The mirror image
  // has the same distances: only the signs of z tell the enantiomers apart.
  auto tokenizer = NewFileParser(ZMatrixFile("bromochlorofluoromethane.zmt"));
  auto m = NewMolecule();
  ReadZMatrix(*tokenizer, *m, "x.zmt");
  ASSERT_EQ(m->VertexCount(), 5);
  ExpectAt(m->GetAtom(1), 1.09, 0.0, 0.0);
  ExpectAt(m->GetAtom(2), -0.45, 1.30, 0.0);
  ExpectAt(m->GetAtom(3), -0.60, -0.88, 1.46);
  ExpectAt(m->GetAtom(4), -0.65, -0.98, -1.60);
  EXPECT_EQ(m->GetAtom(3)->GetSymbol(), "Cl"); // right-aligned two-letter symbols
}

TEST(ZMatrixReader, LinesWithoutReferencesFollowTheChainConstruction) {
  const auto read = ReadText(kHeader + kChain);
  const auto chain = NewMolecule();
  const double values[5][3] = {{0, 0, 0}, {1.54, 0, 0}, {1.54, 109.5, 0}, {1.54, 109.5, 60}, {1.54, 109.5, -75}};
  for (const auto& v : values) {
    IAtom* atom = chain->AddAtom();
    atom->SetSymbol("C");
    atom->SetInternalCoords(v[0], v[1], v[2]);
  }
  BuildFromInternalCoords(*chain);
  ASSERT_EQ(read->VertexCount(), 5);
  for (int i = 0; i < 5; ++i) {
    const IAtom* a = chain->GetAtom(i);
    ExpectAt(read->GetAtom(i), a->GetX3D(), a->GetY3D(), a->GetZ3D(), 1e-12);
    double d = 0, angle = 0, torsion = 0;
    read->GetAtom(i)->GetInternalCoords(d, angle, torsion);
    EXPECT_EQ(d, values[i][0]);
    EXPECT_EQ(torsion, values[i][2]);
  }
  EXPECT_EQ(read->EdgeCount(), 4);
}

TEST(ZMatrixReader, ChainReferencesAndTheReferenceConstructionAgree) {
  // The same chain with its references written out (the chain ones), and with the third atom referred to
  // atom 1 then atom 2 instead: the last is built from the references and must keep the chain's distances.
  const std::string withRefs = "C 0.0 0 0.0 0 0.0 0 0 0 0\n"
                               "C 1.54 1 0.0 0 0.0 0 1 0 0\n"
                               "C 1.54 1 109.5 1 0.0 0 2 1 0\n"
                               "C 1.54 1 109.5 1 60.0 1 3 2 1\n"
                               "C 1.54 1 109.5 1 -75.0 1 4 3 2\n";
  const auto chain = ReadText(kHeader + kChain);
  const auto refs = ReadText(kHeader + withRefs);
  for (int i = 0; i < 5; ++i) {
    const IAtom* a = chain->GetAtom(i);
    ExpectAt(refs->GetAtom(i), a->GetX3D(), a->GetY3D(), a->GetZ3D(), 1e-12);
  }
  // Any line with other references switches to the reference construction; it places chain atoms alike.
  const std::string mixed = withRefs + "H 1.09 1 109.5 1 180.0 1 1 2 3\n";
  const auto both = ReadText(kHeader + mixed);
  for (int i = 0; i < 5; ++i) {
    const IAtom* a = chain->GetAtom(i);
    ExpectAt(both->GetAtom(i), a->GetX3D(), a->GetY3D(), a->GetZ3D(), 1e-9);
  }
  const IAtom* h = both->GetAtom(5);
  const IAtom* c1 = both->GetAtom(0);
  EXPECT_NEAR(std::hypot(h->GetX3D() - c1->GetX3D(), h->GetY3D() - c1->GetY3D(), h->GetZ3D() - c1->GetZ3D()), 1.09,
              1e-9);
}

TEST(ZMatrixReader, FieldsWhoseReferenceIsZeroAreIgnored) {
  // MOPAC may leave values in the fields of the first atoms that have no reference.
  const std::string text = "C 0.0 0 0.0 0 0.0 0 0 0 0\n"
                           "O 1.20 1 45.0 0 30.0 0 1 0 0\n"
                           "H 1.00 1 120.0 1 77.0 0 2 1 0\n";
  const auto m = ReadText(kHeader + text);
  ExpectAt(m->GetAtom(1), 1.2, 0.0, 0.0, 1e-12);
  ExpectAt(m->GetAtom(2), 1.2 + 0.5, std::sqrt(3.0) / 2, 0.0, 1e-12);
  double d = 0, angle = 0, torsion = 0;
  m->GetAtom(1)->GetInternalCoords(d, angle, torsion);
  EXPECT_EQ(angle, 0.0);
  EXPECT_EQ(torsion, 0.0);
}

TEST(ZMatrixReader, DummyAtomsPlaceOthersAndAreRemoved) {
  // Hydrogen cyanide with a dummy atom at right angles to the axis, as MOPAC Z-matrices write linear groups.
  const std::string text = "H  0.0  0   0.0  0    0.0  0  0 0 0\n"
                           "C  1.06 1   0.0  0    0.0  0  1 0 0\n"
                           "XX 1.0  0  90.0  0    0.0  0  2 1 0\n"
                           "N  1.15 1  90.0  0  180.0  0  2 3 1\n";
  const auto m = ReadText(kHeader + text);
  ASSERT_EQ(m->VertexCount(), 3);
  EXPECT_EQ(m->GetAtom(2)->GetSymbol(), "N");
  ExpectAt(m->GetAtom(2), 2.21, 0.0, 0.0, 1e-9);
  EXPECT_EQ(m->EdgeCount(), 2);
}

TEST(ZMatrixReader, HydrogensAreTakenAsCompleteAndBondsAreSingleOrAromatic) {
  const auto m = ReadText(kHeader + kChain);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1);
  EXPECT_FALSE(CompleteHydrogens(*m));
  EXPECT_EQ(m->VertexCount(), 5);
  for (int b = 0; b < m->EdgeCount(); ++b) EXPECT_EQ(m->GetBond(b)->GetBondType(), bkSingle);
}

TEST(ZMatrixReader, SignedFlagsAndALineWithoutLettersEndingTheAtoms) {
  const auto m = ReadText(kHeader + "C 0.0 +0 0.0 -1 0.0 +0\nO 1.2 +1 0.0 +0 0.0 +0\n\n0 end of atoms\nC 1 1 1 1 1 1\n");
  EXPECT_EQ(m->VertexCount(), 2);
}

// ------------------------------------------------------------------------------------------ messages

TEST(ZMatrixReaderErrors, EachBrokenLineNamesItsLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"x\nTitle: test\nMOPAC\n", At(2)},
      {"x\nName: test\nAMPAC\n", At(3)},
      {"", At(1)},
      {kHeader + "C\n", At(4)},
      {kHeader + "C 0.0\n", At(4)},
      {kHeader + "C 0.0 0 0.0 0 0.0 0\nC 1.5 1 0.0\n", At(5)},
      {kHeader + "C 0.0 0 0.0 0 0.0 0\nC 1.5 1 0.0 0\n", At(5)},
      {kHeader + "C 0.0 0 0.0 0 0.0 0\nC 1.5 x 0.0 0 0.0 0\n", At(5)},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(ErrorOf(text), message) << text;
}

TEST(ZMatrixReaderErrors, ReferencesThatNameNoEarlierAtom) {
  const std::string two = "C 0.0 0 0.0 0 0.0 0 0 0 0\nC 1.5 1 0.0 0 0.0 0 1 0 0\n";
  EXPECT_EQ(ErrorOf(kHeader + two + "C 1.5 1 109.5 1 0.0 0 3 1 0\n"), At(6, "Invalid reference atom"));
  EXPECT_EQ(ErrorOf(kHeader + two + "C 1.5 1 109.5 1 0.0 0 2 2 0\n"), At(6, "Invalid reference atom"));
  EXPECT_EQ(ErrorOf(kHeader + two + "C 1.5 1 109.5 1 0.0 0 2 0 0\n"), At(6, "Invalid reference atom"));
  EXPECT_EQ(ErrorOf(kHeader + "C 0.0 0 0.0 0 0.0 0 0 0 0\nC 1.5 1 0.0 0 0.0 0 1 1 0\n"), At(5, "Invalid reference atom"));
}

TEST(ZMatrixReaderErrors, AtomsPlacedBeyondAnyStructure) {
  // Chains of long distances add up; the atom that ends up farther than 10^6 angstrom is named.
  const std::string text = "C 0.0 0 0.0 0 0.0 0\nC 600000.0 1 0.0 0 0.0 0\nC 600000.0 1 180.0 1 0.0 0\n";
  EXPECT_EQ(ErrorOf(kHeader + text), At(6, "Coordinate out of range"));
  const std::string huge = "C 0.0 0 0.0 0 0.0 0\nC 1" + std::string(300, '0') + ".0 1 0.0 0 0.0 0\n";
  EXPECT_EQ(ErrorOf(kHeader + huge), At(5, "Coordinate out of range"));
}

// The MOPAC output reader on texts that repeat, order, name or leave out the sections otherwise than the files of
// mopac_files_test.cpp do (the water output in the MOPAC 7 layout, tests/data/mopac/water_mopac7.out, edited).
// Layouts follow the MOPAC 7 and MOPAC 22 output routines (J. J. P. Stewart).

#include "input_test_util.h"

#include "inputs/mopac_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

struct Read {
  Ptr<IMolecule> molecule = NewMolecule();
  std::vector<std::string> warnings;
};

Read ReadText(const std::string& text) {
  Read r;
  auto tokenizer = NewTextParser(text);
  MopacReadHooks hooks;
  hooks.warning = [&r](const std::string& w) { r.warnings.push_back(w); };
  ReadMopacOutput(*tokenizer, *r.molecule, "test.out", hooks);
  EXPECT_TRUE(tokenizer->AtEnd());
  return r;
}

const std::string kWater = DataText("mopac/water_mopac7.out");
const std::string kCoordinates = " CARTESIAN COORDINATES\n 1 O 0.0 0.0 0.0\n 2 H 0.96 0.0 0.0\n 3 H -0.24 0.93 0.0\n";
const std::string kCharges = " NET ATOMIC CHARGES\n ATOM NO.\n 1 O -0.5 6.5\n 2 H 0.25 0.75\n 3 H 0.25 0.75\n";

} // namespace

TEST(MopacReader, TwoCalculationsInOneFileAreOneStructureLaterCoordinatesWin) {
  TempFolder folder;
  ReaderHarness<TMOPACInput> h;
  std::string moved = kWater;
  moved.replace(moved.find("0.9600"), 6, "0.9500");
  h.Start(folder.Write("w.out", kWater + moved));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->VertexCount(), 3);
  EXPECT_DOUBLE_EQ(h.molecule->GetAtom(1)->GetX3D(), 0.95);
}

TEST(MopacReader, SectionsInAnyOrderOrMissing) {
  // No title without "T=" and a number; no bond orders: bonds from distances without values; no eigenvectors.
  Read r = ReadText(" *  T=   - A TIME OF 60.0 SECONDS REQUESTED\n next\n" + kCoordinates + kCharges);
  EXPECT_EQ(r.molecule->GetName(), "");
  ASSERT_EQ(r.molecule->EdgeCount(), 2);
  EXPECT_FALSE(r.molecule->GetBond(0)->HasParam(kParamBondOrder));
  EXPECT_FALSE(r.molecule->HasParam(kParamEigenvalues));
  EXPECT_FALSE(r.molecule->GetAtom(0)->HasParam(kParamEigenvectors));
  // Charges before coordinates create the atoms; a heading earlier in the text wins over one earlier in the
  // list of headings searched for, even when the sections lie within a few bytes.
  r = ReadText(kCharges);
  ASSERT_EQ(r.molecule->VertexCount(), 3);
  EXPECT_FALSE(r.molecule->GetAtom(0)->Has3D());
  r = ReadText(kCharges + kCoordinates);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(0)->GetFloat(kParamNetAtomicCharge), -0.5);
  EXPECT_DOUBLE_EQ(r.molecule->GetAtom(1)->GetX3D(), 0.96);
  // Atoms may be named by their atomic number; coordinates up to 10^6 angstrom are read.
  r = ReadText(" CARTESIAN COORDINATES\n 1 8 0.0 0.0 0.0\n 2 1 999999.0 0.0 0.0\n");
  EXPECT_EQ(r.molecule->GetAtom(0)->GetSymbol(), "O");
  EXPECT_EQ(r.molecule->GetAtom(1)->GetSymbol(), "H");
  EXPECT_EQ(r.molecule->GetAtom(1)->GetX3D(), 999999.0);
}

TEST(MopacReader, RootsThatStopShortOfTheLastOrbitalAreDroppedWithAWarning) {
  std::string text = kWater;
  text.erase(text.find("    ROOT NO.    4"), text.find("          NET ATOMIC") - text.find("    ROOT NO.    4"));
  const Read r = ReadText(text);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find("roots 1 to 3 of 6"), std::string::npos);
  EXPECT_FALSE(r.molecule->HasParam(kParamEigenvalues));
  EXPECT_FALSE(r.molecule->GetAtom(0)->HasParam(kParamEigenvectors));
  // One filled level fewer than the roots printed is enough for the lowest empty orbital.
  text = kWater;
  text.replace(text.find("LEVELS    =          4"), 22, "LEVELS    =          5");
  EXPECT_EQ(ReadText(text).molecule->GetMatrix(kParamEigenvalues)->GetColumnCount(), 6);
}

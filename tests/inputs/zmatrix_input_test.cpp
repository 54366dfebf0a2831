// The MOPAC Z-matrix reader: the coordinates MOPAC 22 itself computes from the same Z-matrices (handedness
// included, tests/data/zmatrix/mopac_cartesian.tsv), lines with and without reference atoms, dummy atoms, bonds
// from distances and hydrogens taken as complete.

#include "input_test_util.h"

#include "chem/completion.h"
#include "chem/geometry.h"
#include "inputs/zmatrix_input.h"

#include <cmath>
#include <map>

using namespace corvatin;
using namespace corvatin::test;

namespace {

const std::string kHeader = "written by hand\nName: test\nMOPAC\n";

Ptr<IMolecule> ReadText(const std::string& text) {
  auto molecule = NewMolecule();
  auto tokenizer = NewTextParser(text);
  ReadZMatrix(*tokenizer, *molecule, "test.zmt");
  EXPECT_TRUE(tokenizer->AtEnd());
  return molecule;
}

void ExpectAt(const IAtom* atom, double x, double y, double z, double tolerance) {
  EXPECT_LE(std::hypot(atom->GetX3D() - x, atom->GetY3D() - y, atom->GetZ3D() - z), tolerance)
      << atom->GetSymbol() << " " << atom->GetIndex() + 1 << " at " << atom->GetX3D() << " " << atom->GetY3D() << " "
      << atom->GetZ3D();
}

void ExpectSamePlaces(const IMolecule& a, const IMolecule& b, double tolerance) {
  ASSERT_LE(b.VertexCount(), a.VertexCount());
  for (int i = 0; i < b.VertexCount(); ++i)
    ExpectAt(a.GetAtom(i), b.GetAtom(i)->GetX3D(), b.GetAtom(i)->GetY3D(), b.GetAtom(i)->GetZ3D(), tolerance);
}

// A chain of five carbons, written without references.
const std::string kChain = "C 0.0 0 0.0 0 0.0 0\nC 1.54 1 0.0 0 0.0 0\nC 1.54 1 109.5 1 0.0 0\n"
                           "C 1.54 1 109.5 1 60.0 1\nC 1.54 1 109.5 1 -75.0 1\n";

} // namespace

TEST(ZMatrixReader, ReferenceAtomsGiveMopacsOwnCoordinatesAndTheRightEnantiomer) {
  // The mirror image of bromochlorofluoromethane has the same distances: only the signs of z tell them apart.
  std::istringstream table(DataText("zmatrix/mopac_cartesian.tsv"));
  std::map<std::string, Ptr<IMolecule>> read;
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.starts_with("#")) continue;
    std::istringstream row(line);
    std::string file, symbol;
    int atom = 0;
    double x = 0, y = 0, z = 0;
    row >> file >> atom >> symbol >> x >> y >> z;
    if (!read.count(file)) {
      read[file] = NewMolecule();
      ReadZMatrix(*NewFileParser(Data("zmatrix/" + file)), *read[file], file);
    }
    ASSERT_LE(atom, read[file]->VertexCount()) << file;
    const IAtom* a = read[file]->GetAtom(atom - 1);
    EXPECT_EQ(a->GetSymbol(), symbol) << file; // two-letter symbols right-aligned
    ExpectAt(a, x, y, z, 1e-6);
    ++rows;
  }
  EXPECT_EQ(rows, 15);
  EXPECT_EQ(read["acetone.zmt"]->EdgeCount(), 9);
  EXPECT_EQ(read["bromochlorofluoromethane.zmt"]->GetName(), "bromochlorofluoromethane"); // trimmed
}

TEST(ZMatrixReader, LinesWithoutReferencesFollowTheChainConstructionAndWithChainReferencesAlike) {
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
  ExpectSamePlaces(*read, *chain, 1e-12);
  double d = 0, angle = 0, torsion = 0;
  read->GetAtom(4)->GetInternalCoords(d, angle, torsion);
  EXPECT_EQ((std::vector<double>{d, angle, torsion}), (std::vector<double>{1.54, 109.5, -75}));
  EXPECT_EQ(read->EdgeCount(), 4);
  // The chain references written out, and then a line with other references, which switches to the
  // reference construction: it places the chain atoms alike.
  const std::string refs = "C 0.0 0 0.0 0 0.0 0 0 0 0\nC 1.54 1 0.0 0 0.0 0 1 0 0\nC 1.54 1 109.5 1 0.0 0 2 1 0\n"
                           "C 1.54 1 109.5 1 60.0 1 3 2 1\nC 1.54 1 109.5 1 -75.0 1 4 3 2\n";
  ExpectSamePlaces(*ReadText(kHeader + refs), *chain, 1e-12);
  const auto both = ReadText(kHeader + refs + "H 1.09 1 109.5 1 180.0 1 1 2 3\n");
  ExpectSamePlaces(*both, *chain, 1e-9);
  const IAtom* h = both->GetAtom(5);
  EXPECT_NEAR(std::hypot(h->GetX3D(), h->GetY3D(), h->GetZ3D()), 1.09, 1e-9); // from atom 1 at the origin
}

TEST(ZMatrixReader, FieldsWhoseReferenceIsZeroAreIgnoredDummyAtomsPlaceOthersAndAreRemoved) {
  // MOPAC may leave values in the fields of the first atoms that have no reference.
  auto m =
      ReadText(kHeader + "C 0.0 0 0.0 0 0.0 0 0 0 0\nO 1.20 1 45.0 0 30.0 0 1 0 0\nH 1.00 1 120.0 1 77.0 0 2 1 0\n");
  ExpectAt(m->GetAtom(1), 1.2, 0.0, 0.0, 1e-12);
  ExpectAt(m->GetAtom(2), 1.2 + 0.5, std::sqrt(3.0) / 2, 0.0, 1e-12);
  double d = 0, angle = 0, torsion = 0;
  m->GetAtom(1)->GetInternalCoords(d, angle, torsion);
  EXPECT_EQ((std::vector<double>{angle, torsion}), (std::vector<double>{0.0, 0.0}));
  // Hydrogen cyanide with a dummy atom at right angles to the axis, as MOPAC Z-matrices write linear groups.
  m = ReadText(kHeader + "H  0.0  0   0.0  0    0.0  0  0 0 0\nC  1.06 1   0.0  0    0.0  0  1 0 0\n"
                                    "XX 1.0  0  90.0  0    0.0  0  2 1 0\nN  1.15 1  90.0  0  180.0  0  2 3 1\n");
  ASSERT_EQ(m->VertexCount(), 3);
  EXPECT_EQ(m->GetAtom(2)->GetSymbol(), "N");
  ExpectAt(m->GetAtom(2), 2.21, 0.0, 0.0, 1e-9);
  EXPECT_EQ(m->EdgeCount(), 2);
}

TEST(ZMatrixReader, SignedFlagsALineWithoutLettersEndsTheAtomsAndHydrogensAreTakenAsComplete) {
  const auto m =
      ReadText(kHeader + "C 0.0 +0 0.0 -1 0.0 +0\nO 1.2 +1 0.0 +0 0.0 +0\n\n0 end of atoms\nC 1 1 1 1 1 1\n");
  EXPECT_EQ(m->VertexCount(), 2);
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkSingle);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1);
  EXPECT_FALSE(CompleteHydrogens(*m));
  EXPECT_EQ(m->VertexCount(), 2);
  EXPECT_EQ(ReadText("x\n  name:  spaced out  \n  mopac pm7\n")->GetName(), "spaced out");
}

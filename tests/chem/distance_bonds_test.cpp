// Bonds perceived from distances: two atoms are bonded when at most 1.1 x the sum of their covalent radii apart
// (H 0.32 in the element table, so 0.704 for H2; C 0.77, O 0.73). Atoms without coordinates keep their bonds.
#include "chem/distance_bonds.h"
#include "chem/molecule.h"
#include "core/errors.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

IAtom* AddAt(IMolecule& m, const char* symbol, double x, double y = 0, double z = 0) {
  IAtom* a = m.AddAtom();
  a->SetSymbol(symbol);
  a->SetX3D(x);
  a->SetY3D(y);
  a->SetZ3D(z);
  return a;
}

TEST(DistanceBonds, HydrogensAt070AreBondedAt071NotBonded) {
  auto near = NewMolecule();
  AddAt(*near, "H", 0);
  AddAt(*near, "H", 0.7);
  EXPECT_TRUE(ConnectByDistance(*near));
  EXPECT_EQ(near->EdgeCount(), 1);
  EXPECT_EQ(near->GetBond(0)->GetBondType(), bkSingle);

  auto far = NewMolecule();
  AddAt(*far, "H", 0);
  AddAt(*far, "H", 0, 0.71);
  EXPECT_FALSE(ConnectByDistance(*far));
  EXPECT_EQ(far->EdgeCount(), 0);
}

TEST(DistanceBonds, HugeCoordinatesAreHandledWithoutOverflow) {
  // Found by fuzzing the MOPAC reader: a coordinate of 6.7e23 overflowed the grid's integer cells.
  auto m = NewMolecule();
  AddAt(*m, "H", 6.7e23);
  AddAt(*m, "H", 6.7e23, 0, 0.7);
  AddAt(*m, "H", -1e300);
  AddAt(*m, "H", -1e300, 1e6);
  AddAt(*m, "H", 0);
  AddAt(*m, "H", 0.7);
  EXPECT_NO_THROW(ConnectByDistance(*m));
  EXPECT_NE(m->GetEdgeBetween(0, 1), nullptr);
  EXPECT_EQ(m->GetEdgeBetween(2, 3), nullptr);
  EXPECT_NE(m->GetEdgeBetween(4, 5), nullptr);
}

TEST(DistanceBonds, BondsBeyondTheToleranceAreRemovedAndKeptOnesKeepTheirKind) {
  // C=O at 1.2 (within 1.1 x 1.50) stays double; a C-C "bond" stretched to 3 A goes.
  auto m = NewMolecule();
  AddAt(*m, "C", 0);
  AddAt(*m, "O", 1.2);
  AddAt(*m, "C", -3);
  m->ConnectAtoms(m->GetAtom(0), m->GetAtom(1))->SetBondType(bkDouble);
  m->ConnectAtoms(m->GetAtom(0), m->GetAtom(2));
  EXPECT_TRUE(ConnectByDistance(*m));
  ASSERT_EQ(m->EdgeCount(), 1);
  EXPECT_EQ(m->GetBond(0)->GetBondType(), bkDouble);
  EXPECT_FALSE(ConnectByDistance(*m)) << "nothing left to change";
}

TEST(DistanceBonds, NewBondsComeInPairOrder) {
  // Water drawn as H, H, O: the bonds are made for the pairs (0, 2) and (1, 2) in that order.
  auto m = NewMolecule();
  AddAt(*m, "H", 0.96);
  AddAt(*m, "H", -0.24, 0.93);
  AddAt(*m, "O", 0);
  ASSERT_TRUE(ConnectByDistance(*m));
  ASSERT_EQ(m->EdgeCount(), 2);
  EXPECT_EQ(m->GetBond(0)->GetAtom1()->GetIndex(), 0);
  EXPECT_EQ(m->GetBond(0)->GetAtom2()->GetIndex(), 2);
  EXPECT_EQ(m->GetBond(1)->GetAtom1()->GetIndex(), 1);
}

TEST(DistanceBonds, AtomsWithoutCoordinatesAreLeftAlone) {
  // A MOPAC charges table read before any coordinates makes atoms without positions: they sit at the origin
  // only by default and must neither bond to each other nor lose the bonds they have.
  auto m = NewMolecule();
  for (int i = 0; i < 4; ++i)
    m->AddAtom()->SetSymbol("C");
  m->ConnectIndices(0, 1);
  EXPECT_FALSE(ConnectByDistance(*m));
  EXPECT_EQ(m->EdgeCount(), 1);
}

TEST(DistanceBonds, NeighboursAcrossGridCellsAreAllFound) {
  // A chain of 2000 carbons 1.5 A apart: only neighbours bond (the grid must not miss pairs across cells).
  auto m = NewMolecule();
  m->BeginUpdate();
  for (int i = 0; i < 2000; ++i)
    AddAt(*m, "C", 1.5 * (i % 40), 1.5 * (i / 40), 0);
  m->EndUpdate();
  ASSERT_TRUE(ConnectByDistance(*m));
  // 40 x 50 grid at 1.5 A: 39 x 50 + 40 x 49 bonds; the diagonals (2.12 A) exceed 1.1 x 1.54.
  EXPECT_EQ(m->EdgeCount(), 39 * 50 + 40 * 49);
}

TEST(DistanceBonds, OverlappingAtomsFailWithoutChangingTheMolecule) {
  auto m = NewMolecule();
  m->BeginUpdate();
  for (int i = 0; i < 100; ++i)
    AddAt(*m, "C", 0.001 * i);
  m->EndUpdate();
  m->ConnectIndices(0, 1);
  EXPECT_THROW(ConnectByDistance(*m), EChemError);
  EXPECT_EQ(m->EdgeCount(), 1);
}

} // namespace
} // namespace corvatin

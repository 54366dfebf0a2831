// Bonds perceived from distances: two atoms are bonded when at most 1.1 x the sum of their covalent radii apart
// (H 0.32 in the element table, so 0.704 for H2; C 0.77, O 0.73). Atoms without coordinates keep their bonds.
#include "chem/distance_bonds.h"
#include "chem/molecule.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

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

/// The bonds in order as "a-b" ("=" for a double bond).
std::string Bonds(const IMolecule& m) {
  std::string s;
  for (int i = 0; i < m.EdgeCount(); ++i)
    s += (i ? " " : "") + std::to_string(m.GetBond(i)->GetAtom1()->GetIndex()) +
         (m.GetBond(i)->GetBondType() == bkDouble ? "=" : "-") + std::to_string(m.GetBond(i)->GetAtom2()->GetIndex());
  return s;
}

TEST(DistanceBonds, PairsWithinTheToleranceAreBondedInPairOrderAndBondsBeyondItRemoved) {
  const double none = std::nan("");
  const struct {
    const char* why;
    std::vector<std::tuple<const char*, double, double>> atoms; // symbol, x, y; x NaN: no coordinates
    std::vector<std::pair<int, int>> bonds;                    // before; the first one double
    bool changed;
    const char* after;
  } cases[] = {
      {"H2 at 0.70", {{"H", 0, 0}, {"H", 0.7, 0}}, {}, true, "0-1"},
      {"H2 at 0.71", {{"H", 0, 0}, {"H", 0, 0.71}}, {}, false, ""},
      // Found by fuzzing the MOPAC reader: a coordinate of 6.7e23 overflowed the grid's integer cells.
      {"huge coordinates", {{"H", 6.7e23, 0}, {"H", 6.7e23, 0.7}, {"H", -1e300, 0}, {"H", -1e300, 1e6}, {"H", 0, 0},
                            {"H", 0.7, 0}}, {}, true, "0-1 4-5"},
      // C=O at 1.2 (within 1.1 x 1.50) stays double; a C-C "bond" stretched to 3 A goes.
      {"a stretched bond", {{"C", 0, 0}, {"O", 1.2, 0}, {"C", -3, 0}}, {{0, 1}, {0, 2}}, true, "0=1"},
      {"water drawn as H, H, O", {{"H", 0.96, 0}, {"H", -0.24, 0.93}, {"O", 0, 0}}, {}, true, "0-2 1-2"},
      // A MOPAC charges table read before any coordinates makes atoms without positions: they sit at the origin
      // only by default and must neither bond to each other nor lose the bonds they have.
      {"no coordinates", {{"C", none, 0}, {"C", none, 0}, {"C", none, 0}}, {{0, 1}}, false, "0=1"},
  };
  for (const auto& c : cases) {
    auto m = NewMolecule();
    for (const auto& [symbol, x, y] : c.atoms) {
      if (std::isnan(x))
        m->AddAtom()->SetSymbol(symbol);
      else
        AddAt(*m, symbol, x, y);
    }
    for (size_t k = 0; k < c.bonds.size(); ++k)
      m->ConnectAtoms(m->GetAtom(c.bonds[k].first), m->GetAtom(c.bonds[k].second))
          ->SetBondType(k == 0 ? bkDouble : bkSingle);
    EXPECT_EQ(ConnectByDistance(*m), c.changed) << c.why;
    EXPECT_EQ(Bonds(*m), c.after) << c.why;
    EXPECT_FALSE(ConnectByDistance(*m)) << c.why << ": nothing left to change";
  }
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

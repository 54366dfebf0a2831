// Model geometry: fitting into the view (its limits and when it scales), the construction from internal
// coordinates (checked against distances, angles and torsions worked out by hand and by the standard NeRF
// construction, Parsons et al., J. Comput. Chem. 26 (2005) 1063), and coordinates generated from topology:
// bond lengths as sums of covalent radii (C 0.77, H 0.32, N 0.74, O 0.73 of the element table), flat aromatic
// rings, the VSEPR angles (tetrahedral 109.47, trigonal 120, linear 180 degrees) and no close contacts.
#include "chem/geometry.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/numtext.h"
#include "graph/math3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>
#include <utility>

namespace corvatin {
namespace {

struct Point {
  double x, y, z;
};

Point ModelOf(const IAtom* a) { return {a->GetX3D(), a->GetY3D(), a->GetZ3D()}; }
Point Sub(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double DotP(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Norm(const Point& a) { return std::sqrt(DotP(a, a)); }
Point CrossP(const Point& a, const Point& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double DistanceOf(const IAtom* a, const IAtom* b) { return Norm(Sub(ModelOf(a), ModelOf(b))); }
/// The angle a-b-c in degrees.
double AngleOf(const IAtom* a, const IAtom* b, const IAtom* c) {
  const Point u = Sub(ModelOf(a), ModelOf(b)), v = Sub(ModelOf(c), ModelOf(b));
  return std::acos(std::clamp(DotP(u, v) / Norm(u) / Norm(v), -1.0, 1.0)) * 180.0 / std::numbers::pi;
}
/// The torsion a-b-c-d in degrees (IUPAC sign convention).
double TorsionOf(const IAtom* a, const IAtom* b, const IAtom* c, const IAtom* d) {
  const Point b0 = Sub(ModelOf(a), ModelOf(b)), b1 = Sub(ModelOf(c), ModelOf(b)), b2 = Sub(ModelOf(d), ModelOf(c));
  const double l = Norm(b1);
  const Point n1{b1.x / l, b1.y / l, b1.z / l};
  const Point v = Sub(b0, {n1.x * DotP(b0, n1), n1.y * DotP(b0, n1), n1.z * DotP(b0, n1)});
  const Point w = Sub(b2, {n1.x * DotP(b2, n1), n1.y * DotP(b2, n1), n1.z * DotP(b2, n1)});
  return std::atan2(DotP(CrossP(n1, v), w), DotP(v, w)) * 180.0 / std::numbers::pi;
}

IAtom* AddAt(IMolecule& m, const char* symbol, double x, double y, double z) {
  IAtom* a = m.AddAtom();
  a->SetSymbol(symbol);
  a->SetX3D(x);
  a->SetY3D(y);
  a->SetZ3D(z);
  return a;
}

double LargestViewCoordinate(const IMolecule& m) {
  double largest = 0;
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IVertex* v = m.GetVertex(i);
    largest = std::max({largest, std::fabs(v->GetX()), std::fabs(v->GetY()), std::fabs(v->GetZ())});
  }
  return largest;
}

// ------------------------------------------------------------------------------------------------ FitView

TEST(FitViewScaling, TheLargestViewCoordinateIsBroughtTo035Or045AboveAThousandAtoms) {
  // Centred on the atoms with model coordinates; scaled only when the largest coordinate is at least the limit
  // or at most 0.3; atoms without coordinates are left out. "x0 y0 xn yn | s": the first and last atoms' view
  // coordinates and the transform's scale.
  const double none = std::nan("");
  const struct {
    std::vector<std::array<double, 3>> atoms;
    const char* view;
  } cases[] = {
      {{{4.9, 5, 5}, {5.1, 5, 5}}, "-0.35 0 0.35 0 | 3.5"}, // within 0.1 of the centre: the floor 0.1 counts
      {{{1.68, 2, 0}, {2.32, 2, 0}}, "-0.32 0 0.32 0 | 1"},
      {{{-0.3, 0, 0}, {0.3, 0, 0}}, "-0.35 0 0.35 0 | 1.166667"},
      {{{-7, 0, 1}, {3, 4, 1}}, "-0.35 -0.14 0.35 0.14 | 0.07"},
      {{{10, 0, 0}, {none, 0, 0}, {12, 0, 0}}, "-0.35 0 0.35 0 | 0.35"},
  };
  for (const auto& c : cases) {
    auto m = NewMolecule();
    for (const auto& [x, y, z] : c.atoms) {
      if (std::isnan(x))
        m->AddAtom()->SetSymbol("O");
      else
        AddAt(*m, "C", x, y, z);
    }
    FitView(*m);
    const IVertex* first = m->GetVertex(0);
    const IVertex* last = m->GetVertex(m->VertexCount() - 1);
    auto text = [](double v) { return FloatToText(std::round(v * 1e6) / 1e6 + 0.0); };
    EXPECT_EQ(text(first->GetX()) + " " + text(first->GetY()) + " " + text(last->GetX()) + " " + text(last->GetY()) +
                  " | " + text(m->GetTransform()[0]),
              c.view);
  }
  for (int count : {1000, 1001}) {
    auto m = NewMolecule();
    m->BeginUpdate();
    for (int i = 0; i < count; ++i) AddAt(*m, "H", i * 0.01, 0, 0);
    m->EndUpdate();
    FitView(*m);
    EXPECT_NEAR(LargestViewCoordinate(*m), count > 1000 ? 0.45 : 0.35, 1e-6) << count << " atoms";
  }
  auto m = NewMolecule();
  AddAt(*m, "C", 4.9, 5, 5);
  AddAt(*m, "C", 5.1, 5, 5);
  FitView(*m);
  EXPECT_NEAR(m->GetTransform()[12], -3.5f * 5.0f, 1e-4f) << "the translation row holds -s c";
  EXPECT_NEAR(m->GetTransform()[13], -3.5f * 5.0f, 1e-4f);
}

// --------------------------------------------------------------------------------- internal coordinates

TEST(InternalCoordinates, OneAtomAtDistance1Angle90Torsion0LiesAt010) {
  auto m = NewMolecule();
  IAtom* a = m->AddAtom();
  a->SetSymbol("C");
  a->SetInternalCoords(1, 90, 0);
  BuildFromInternalCoords(*m);
  EXPECT_TRUE(a->Has3D());
  EXPECT_NEAR(a->GetX3D(), 0.0, 1e-12);
  EXPECT_NEAR(a->GetY3D(), 1.0, 1e-12);
  EXPECT_NEAR(a->GetZ3D(), 0.0, 1e-12);
}

TEST(InternalCoordinates, ChainKeepsEveryDistanceAngleAndTorsion) {
  // A Z-matrix chain, each atom referring to the three before it. The construction must keep the frames
  // orthonormal, or the distances and angles drift from the fourth atom on.
  struct Z {
    double d, a, t;
  };
  const std::vector<Z> z = {{0, 0, 0}, {1.5, 0, 0}, {1.4, 109.5, 0}, {1.3, 120, 60}, {1.2, 100, -120},
                            {1.1, 115, 180}, {1.0, 95, 35}};
  auto m = NewMolecule();
  for (const Z& row : z) {
    IAtom* a = m->AddAtom();
    a->SetSymbol("C");
    a->SetInternalCoords(row.d, row.a, row.t);
  }
  m->BuildFromInternalCoords(); // through the molecule, as the Z-matrix reader calls it
  EXPECT_NEAR(m->GetAtom(0)->GetX3D(), 0.0, 1e-12);
  for (size_t i = 1; i < z.size(); ++i)
    EXPECT_NEAR(DistanceOf(m->GetAtom(static_cast<int>(i) - 1), m->GetAtom(static_cast<int>(i))), z[i].d, 1e-9)
        << "distance of atom " << i;
  for (size_t i = 2; i < z.size(); ++i) {
    const int k = static_cast<int>(i);
    EXPECT_NEAR(AngleOf(m->GetAtom(k - 2), m->GetAtom(k - 1), m->GetAtom(k)), z[i].a, 1e-7) << "angle " << i;
  }
  for (size_t i = 3; i < z.size(); ++i) {
    const int k = static_cast<int>(i);
    double torsion = TorsionOf(m->GetAtom(k - 3), m->GetAtom(k - 2), m->GetAtom(k - 1), m->GetAtom(k));
    if (z[i].t == 180 && torsion < 0) torsion += 360;
    EXPECT_NEAR(torsion, z[i].t, 1e-7) << "torsion " << i;
  }
}

// ---------------------------------------------------------------------------------- generated geometry

Ptr<IMolecule> Generated(const char* smiles) {
  auto m = NewMolecule();
  ParseSMILES(smiles, *m);
  m->GenerateGeometry();
  return m;
}

void ExpectBondsFromCovalentRadii(const IMolecule& m, double tolerance) {
  for (int b = 0; b < m.EdgeCount(); ++b) {
    const IBond* bond = m.GetBond(b);
    const double target = bond->GetAtom1()->CovalentRadius() + bond->GetAtom2()->CovalentRadius();
    EXPECT_NEAR(DistanceOf(bond->GetAtom1(), bond->GetAtom2()), target, tolerance * target)
        << bond->GetAtom1()->GetSymbol() << bond->GetAtom1()->GetIndex() << "-" << bond->GetAtom2()->GetSymbol()
        << bond->GetAtom2()->GetIndex();
  }
}

double ClosestNonBonded(const IMolecule& m) {
  double closest = 1e9;
  for (int i = 0; i < m.VertexCount(); ++i)
    for (int j = i + 1; j < m.VertexCount(); ++j)
      if (!m.GetAtom(i)->IsAdjacent(m.GetAtom(j)))
        closest = std::min(closest, DistanceOf(m.GetAtom(i), m.GetAtom(j)));
  return closest;
}

/// Largest distance of the atoms from the plane through the first three.
double OffPlane(const std::vector<const IAtom*>& atoms) {
  const Point n0 = CrossP(Sub(ModelOf(atoms[1]), ModelOf(atoms[0])), Sub(ModelOf(atoms[2]), ModelOf(atoms[0])));
  const double l = Norm(n0);
  double worst = 0;
  for (const IAtom* a : atoms)
    worst = std::max(worst, std::fabs(DotP(Sub(ModelOf(a), ModelOf(atoms[0])), n0) / l));
  return worst;
}

TEST(GeneratedGeometry, BenzeneIsAFlatRegularHexagonWithItsHydrogensInThePlane) {
  auto m = Generated("c1ccccc1");
  ASSERT_EQ(m->VertexCount(), 12);
  std::vector<const IAtom*> all;
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(m->GetAtom(i)->Has3D());
    all.push_back(m->GetAtom(i));
  }
  EXPECT_LT(OffPlane(all), 1e-6);
  ExpectBondsFromCovalentRadii(*m, 1e-6);
  for (int i = 0; i < 6; ++i)
    EXPECT_NEAR(AngleOf(m->GetAtom((i + 5) % 6), m->GetAtom(i), m->GetAtom((i + 1) % 6)), 120.0, 1e-6);
}

TEST(GeneratedGeometry, AlkaneChainIsTetrahedralAndExtended) {
  auto m = Generated("CCCCCC");
  ExpectBondsFromCovalentRadii(*m, 1e-6);
  for (int i = 1; i < 5; ++i)
    EXPECT_NEAR(AngleOf(m->GetAtom(i - 1), m->GetAtom(i), m->GetAtom(i + 1)), 109.47, 0.01);
  // The heavy-atom chain is all trans (the zigzag): every C-C-C-C torsion is 180 degrees.
  for (int i = 3; i < 6; ++i)
    EXPECT_NEAR(std::fabs(TorsionOf(m->GetAtom(i - 3), m->GetAtom(i - 2), m->GetAtom(i - 1), m->GetAtom(i))), 180.0,
                0.01);
  EXPECT_GT(ClosestNonBonded(*m), 1.5);
}

TEST(GeneratedGeometry, TripleBondIsLinearAndDoubleBondTrigonal) {
  auto m = Generated("CC#CC=C");
  EXPECT_NEAR(AngleOf(m->GetAtom(0), m->GetAtom(1), m->GetAtom(2)), 180.0, 1e-6);
  EXPECT_NEAR(AngleOf(m->GetAtom(1), m->GetAtom(2), m->GetAtom(3)), 180.0, 1e-6);
  EXPECT_NEAR(AngleOf(m->GetAtom(2), m->GetAtom(3), m->GetAtom(4)), 120.0, 1e-6);
}

TEST(GeneratedGeometry, FusedAromaticRingsStayInOnePlane) {
  auto m = Generated("c1ccc2cc3ccccc3cc2c1"); // anthracene
  std::vector<const IAtom*> all;
  for (int i = 0; i < m->VertexCount(); ++i)
    all.push_back(m->GetAtom(i));
  EXPECT_LT(OffPlane(all), 1e-6);
  ExpectBondsFromCovalentRadii(*m, 1e-6);
  EXPECT_GT(ClosestNonBonded(*m), 1.5);
}

TEST(GeneratedGeometry, BridgedCagedAndSpiroSystemsAreFoldedIn3D) {
  // Norbornane and adamantane cannot be drawn as flat polygons; their bonds still come out near their lengths.
  // Spiro rings share their atom with bonds at their lengths.
  for (const auto& [smiles, tolerance] : {std::pair{"C1CC2CCC1C2", 0.1}, std::pair{"C1C2CC3CC1CC(C2)C3", 0.1},
                                          std::pair{"C12C3C4C1C5C2C3C45", 0.1}, std::pair{"C1CCC2(CC1)CCCC2", 0.02}}) {
    auto m = Generated(smiles);
    ExpectBondsFromCovalentRadii(*m, tolerance);
    EXPECT_GT(ClosestNonBonded(*m), 0.8) << smiles;
  }
}

TEST(GeneratedGeometry, FragmentsAreSetApart) {
  auto m = Generated("CCO.[Na+].[Cl-]");
  ASSERT_EQ(m->VertexCount(), 11); // C2H6O, Na, Cl
  ASSERT_EQ(m->GetAtom(3)->GetSymbol() + m->GetAtom(4)->GetSymbol(), "NaCl");
  for (int ion : {3, 4})
    for (int i = 0; i < m->VertexCount(); ++i) {
      EXPECT_TRUE(m->GetAtom(i)->Has3D());
      if (i != ion) {
        EXPECT_GE(DistanceOf(m->GetAtom(i), m->GetAtom(ion)), 3.0 - 1e-9) << i << " " << ion;
      }
    }
}

TEST(GeneratedGeometry, CrowdedMoleculesHaveNoCloseContacts) {
  // Hexa-substituted benzene, a quaternary carbon of tert-butyls, a steroid with angular methyls, and
  // hexahelicene, whose sixth ring would fall onto the first if drawn flat.
  for (const char* smiles : {"Cc1c(C)c(C(C)(C)C)c(C)c(C(C)(C)C)c1C", "CC(C)(C)C(C(C)(C)C)(C(C)(C)C)C(C)(C)C",
                             "CC12CCC3C(CCC4=CC(=O)CCC34C)C1CCC2O", "c1ccc2c(c1)ccc1ccc3ccc4ccc5ccccc5c4c3c12"}) {
    auto m = Generated(smiles);
    ExpectBondsFromCovalentRadii(*m, 0.1);
    EXPECT_GT(ClosestNonBonded(*m), 0.8) << smiles;
  }
}

TEST(GeneratedGeometry, UnknownElementsAndLoneAtomsGetCoordinatesToo) {
  auto empty = NewMolecule();
  EXPECT_NO_THROW(empty->GenerateGeometry());
  auto m = NewMolecule();
  m->AddAtom()->SetSymbol("Xx");
  m->AddAtom()->SetSymbol("Xx");
  m->ConnectIndices(0, 1);
  m->AddAtom()->SetSymbol("Fe");
  m->GenerateGeometry();
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(m->GetAtom(i)->Has3D());
  EXPECT_GT(DistanceOf(m->GetAtom(0), m->GetAtom(1)), 1.0) << "an element without a radius still gets a bond";
}

TEST(GeneratedGeometry, ViewCoordinatesFollowWhenTheMoleculeHasATransform) {
  auto m = NewMolecule();
  ParseSMILES("CCO", *m);
  m->SetTransform(ScaleMatrix(0.1f, 0.1f, 0.1f));
  m->GenerateGeometry();
  for (int i = 0; i < m->VertexCount(); ++i) {
    EXPECT_TRUE(m->GetVertex(i)->GetPositioned());
    EXPECT_NEAR(m->GetVertex(i)->GetX(), 0.1 * m->GetAtom(i)->GetX3D(), 1e-6);
  }
  EXPECT_GT(m->GetBond(0)->GetFloat("Distance"), 1.0);
}

} // namespace
} // namespace corvatin

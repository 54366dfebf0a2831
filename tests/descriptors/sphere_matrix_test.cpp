// Sphere matrices: the Gaussian similarity exp(-d^2 / (2 s^2)) of every pair of points published by the reader of
// point sets, 0 on the diagonal, with the width rounded to an integer (halves to even).

#include "descriptors/matrix_test.h"
#include "quantum_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvatin {
namespace {

using test::RowsMatrix;

/// Publishes an empty structure carrying points, as the reader of point sets does, and the points in the shared
/// data space.
Ptr<IMolecule> PublishPoints(const std::vector<std::vector<double>>& points) {
  Ptr<IMolecule> structure = NewMolecule();
  Ptr<TMatrixParameter> coordinates = RowsMatrix(points);
  if (points.empty()) coordinates = std::make_shared<TMatrixParameter>(NewMatrix(3, 0));
  SharedDataSpace()->AddParam(kSphereCoordinates, coordinates, nullptr, true);
  structure->AddParam(kSphereCoordinates, std::make_shared<TMatrixParameter>(coordinates->GetMatrix()), nullptr, true);
  test::PublishMolecule(structure);
  return structure;
}

class SphereMatrix : public ::testing::Test {
protected:
  void TearDown() override {
    for (const char* name : {kSphereCoordinates, kResultExpMatrix, test::kQuantumPort})
      SharedDataSpace()->DeleteParam(name);
  }
  Ptr<IDoubleMatrix> Run(double width) {
    TMatrixTest block;
    block.SetPortName(0, test::kQuantumPort);
    block.SetFloat(kParamSphereWidth, width);
    bool more = false;
    block.Execute(more);
    return SharedDataSpace()->GetMatrix(kResultExpMatrix);
  }
};

TEST_F(SphereMatrix, TwoPointsOneApart) {
  Ptr<IMolecule> structure = PublishPoints({{0, 0, 0}, {1, 0, 0}});
  const Ptr<IDoubleMatrix> g = Run(1);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->GetRowCount(), 2);
  ASSERT_EQ(g->GetColumnCount(), 2);
  EXPECT_NEAR(g->Get(0, 1), std::exp(-0.5), 1e-15); // 0.60653
  EXPECT_NEAR(g->Get(1, 0), 0.60653, 1e-5);
  EXPECT_EQ(g->Get(0, 0), 0.0);
  EXPECT_EQ(g->Get(1, 1), 0.0);
  // The structure carries the same matrix.
  const Ptr<IMatrixParameter> onStructure = structure->QueryParam<IMatrixParameter>(kResultExpMatrix);
  ASSERT_TRUE(onStructure);
  EXPECT_EQ(onStructure->GetMatrix(), g);
  EXPECT_EQ(onStructure->GetShortCaption(), "");
  EXPECT_TRUE(onStructure->GetReadOnly());
}

TEST_F(SphereMatrix, WidthIsRoundedHalvesToEven) {
  PublishPoints({{0, 0, 0}, {0, 2, 0}, {3, 4, 0}});
  const Ptr<IDoubleMatrix> narrow = Run(0.4); // rounds to 0: everything 0
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(narrow->Get(i, j), 0.0);
  const Ptr<IDoubleMatrix> half = Run(2.5); // rounds to 2
  EXPECT_NEAR(half->Get(0, 1), std::exp(-4.0 / 8), 1e-15);
  EXPECT_NEAR(half->Get(0, 2), std::exp(-25.0 / 8), 1e-15);
  EXPECT_NEAR(half->Get(2, 1), std::exp(-13.0 / 8), 1e-15);
  EXPECT_NEAR(Run(3.5)->Get(0, 1), std::exp(-4.0 / 32), 1e-15); // rounds to 4
  EXPECT_EQ(Run(-2)->Get(0, 1), 0.0);
}

TEST_F(SphereMatrix, AnEmptyPointSetGivesAnEmptyMatrix) {
  PublishPoints({});
  const Ptr<IDoubleMatrix> g = Run(1);
  ASSERT_TRUE(g);
  EXPECT_EQ(g->GetRowCount(), 0);
}

TEST_F(SphereMatrix, NothingIsStoredWithoutPublishedPoints) {
  Ptr<IMolecule> molecule = NewMolecule();
  test::PublishMolecule(molecule);
  SharedDataSpace()->AddParam(kResultExpMatrix, std::make_shared<TMatrixParameter>(NewMatrix(2, 2)), nullptr, true);
  EXPECT_FALSE(Run(1));
  EXPECT_FALSE(molecule->HasParam(kResultExpMatrix));
}

TEST_F(SphereMatrix, PointsOfAnEarlierFileAreNotTakenForAStructureFromAnotherReader) {
  PublishPoints({{0, 0, 0}, {1, 0, 0}});
  ASSERT_TRUE(Run(1));
  Ptr<IMolecule> fromMolFile = NewMolecule();
  fromMolFile->AddAtom()->SetSymbol("C");
  test::PublishMolecule(fromMolFile);
  EXPECT_FALSE(Run(1));
  EXPECT_FALSE(fromMolFile->HasParam(kResultExpMatrix));
}

TEST_F(SphereMatrix, TooManyPointsFailForThisStructureOnly) {
  std::vector<std::vector<double>> points(static_cast<size_t>(kMaxExpMatrixPoints) + 1, {0, 0, 0});
  for (size_t i = 0; i < points.size(); ++i) points[i][0] = static_cast<double>(i);
  PublishPoints(points);
  SharedDataSpace()->AddParam(kResultExpMatrix, std::make_shared<TMatrixParameter>(NewMatrix(2, 2)), nullptr, true);
  EXPECT_THROW(Run(1), EChemError);
  EXPECT_FALSE(SharedDataSpace()->HasParam(kResultExpMatrix)); // the earlier set's matrix is not left behind
}

} // namespace
} // namespace corvatin

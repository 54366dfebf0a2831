// The sphere matrix block after the reader of point sets: each set read gives its own Gaussian matrix, and a
// structure from another reader afterwards gets none (the shared coordinates are then those of the earlier file).

#include "descriptors/matrix_test.h"
#include "inputs/xyz_input.h"
#include "quantum_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvatin {
namespace {

class SphereAfterReader : public ::testing::Test {
protected:
  void SetUp() override {
    reader->SetPortName(0, test::kQuantumPort);
    block.SetPortName(0, test::kQuantumPort);
    reader->SetFileName(std::string(CORVATIN_TEST_DATA_DIR) + "/quantum/points.xyz");
    reader->Start(nullptr);
  }
  void TearDown() override {
    reader->Stop();
    for (const char* name : {kParamCoordMatrix, kParamSphereVertexMatrix, kParamSphereVertexMatrixInv,
                             kResultExpMatrix, test::kQuantumPort})
      SharedDataSpace()->DeleteParam(name);
  }
  /// Publishes a fresh structure, as the input block does, and runs the reader's next pass and the block.
  Ptr<IMolecule> Next(bool& more) {
    Ptr<IMolecule> structure = NewMolecule();
    test::PublishMolecule(structure);
    reader->Execute(more);
    bool unused = false;
    block.Execute(unused);
    return structure;
  }

  Ptr<TXYZSphereInput> reader = std::make_shared<TXYZSphereInput>();
  TMatrixTest block;
};

TEST_F(SphereAfterReader, EachPointSetGetsItsMatrix) {
  bool more = false;
  Ptr<IMolecule> first = Next(more);
  EXPECT_TRUE(more);
  // (0, 0, 0) and (3, 4, 0) are 5 apart: exp(-25 / 2).
  Ptr<IDoubleMatrix> g = first->GetMatrix(kResultExpMatrix);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->GetRowCount(), 2);
  EXPECT_NEAR(g->Get(0, 1), std::exp(-12.5), 1e-18);
  EXPECT_EQ(SharedDataSpace()->GetMatrix(kResultExpMatrix), g);

  Ptr<IMolecule> second = Next(more);
  EXPECT_FALSE(more);
  g = second->GetMatrix(kResultExpMatrix);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->GetRowCount(), 3);
  EXPECT_NEAR(g->Get(0, 1), std::exp(-0.5), 1e-15);
  EXPECT_NEAR(g->Get(2, 1), std::exp(-2.5), 1e-15);
  EXPECT_EQ(g->Get(2, 2), 0.0);
}

TEST_F(SphereAfterReader, AStructureFromAnotherReaderGetsNoMatrix) {
  bool more = false;
  Next(more);
  ASSERT_TRUE(SharedDataSpace()->GetMatrix(kResultExpMatrix));
  Ptr<IMolecule> other = NewMolecule();
  other->AddAtom()->SetSymbol("C");
  test::PublishMolecule(other);
  bool unused = false;
  block.Execute(unused);
  EXPECT_FALSE(other->HasParam(kResultExpMatrix));
  EXPECT_FALSE(SharedDataSpace()->HasParam(kResultExpMatrix));
}

} // namespace
} // namespace corvatin

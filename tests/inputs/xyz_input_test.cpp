// The XYZ reader: point sets into coordinate, distance and inverse-distance matrices, published in the shared
// data space and on the structure, several sets per file; and the element-first XYZ files of the fixture set,
// which are molecules.

#include "input_test_util.h"

#include "inputs/xyz_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

Ptr<IDoubleMatrix> Shared(const char* name) { return SharedDataSpace()->GetMatrix(name); }

} // namespace

TEST(XYZSphere, APointSetGivesCoordinatesDistancesAndInverseDistancesOnTheStructureWhichStaysEmpty) {
  TempFolder folder;
  ReaderHarness<TXYZSphereInput> h;
  h.Start(folder.Write("points.xyz", "2 points\n0.0 0.0 0.0\n3.0 4.0 0.0\n"));
  EXPECT_FALSE(h.Pass());
  const auto coords = Shared(kParamCoordMatrix), d = Shared(kParamSphereVertexMatrix),
             inv = Shared(kParamSphereVertexMatrixInv);
  ASSERT_TRUE(coords && d && inv);
  EXPECT_EQ(coords->GetRowCount(), 2);
  EXPECT_EQ(coords->GetColumnCount(), 3);
  EXPECT_DOUBLE_EQ(coords->Get(1, 1), 4.0);
  EXPECT_EQ((std::vector<double>{d->Get(0, 0), d->Get(0, 1), d->Get(1, 0), d->Get(1, 1)}),
            (std::vector<double>{0.0, 5.0, 5.0, 0.0}));
  EXPECT_EQ((std::vector<double>{inv->Get(0, 0), inv->Get(0, 1), inv->Get(1, 0), inv->Get(1, 1)}),
            (std::vector<double>{0.0, 0.2, 0.2, 0.0}));
  EXPECT_EQ((std::vector<Ptr<IDoubleMatrix>>{h.molecule->GetMatrix(kParamCoordMatrix), h.molecule->GetMatrix(
                 kParamSphereVertexMatrix), h.molecule->GetMatrix(kParamSphereVertexMatrixInv)}),
            (std::vector<Ptr<IDoubleMatrix>>{coords, d, inv}));
  EXPECT_EQ(h.molecule->VertexCount(), 0);
}

TEST(XYZSphere, SeveralSetsOnePerPassAnEmptyOneIncluded) {
  TempFolder folder;
  ReaderHarness<TXYZSphereInput> h;
  h.Start(folder.Write("sets.xyz", "0\n1\n1 1 1\n2\n0 0 0 extra columns\n\t1.5 0 0\n\n\n"));
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 0);
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetColumnCount(), 3);
  EXPECT_EQ(Shared(kParamSphereVertexMatrix)->GetColumnCount(), 0);
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 1);
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 2);
  EXPECT_DOUBLE_EQ(Shared(kParamSphereVertexMatrix)->Get(0, 1), 1.5);
}

TEST(XYZSphere, TooManyPointsAreAChemistryErrorNotABrokenFileAndTheNextSetIsRead) {
  TempFolder folder;
  std::string text = std::to_string(kMaxSpherePoints + 1) + "\n";
  for (int i = 0; i <= kMaxSpherePoints; ++i) text += std::to_string(i) + " 0 0\n";
  ReaderHarness<TXYZSphereInput> h;
  h.Start(folder.Write("big.xyz", text + "1\n5 5 5\n"));
  bool more = false;
  EXPECT_EQ(MessageOf<EChemError>([&] { h.reader->Execute(more); }),
            "Too many points for the sphere matrices: 4001 (at most 4000)"); // no file-and-line message
  EXPECT_TRUE(more);
  EXPECT_FALSE(h.Pass());
  EXPECT_DOUBLE_EQ(Shared(kParamCoordMatrix)->Get(0, 2), 5.0);
}

TEST(XYZSphere, AnElementFirstXYZIsAMoleculeWithBondsFromDistancesOnePerPass) {
  // Count, comment line (the name), then "C  0.11380 ..." lines: Open Babel's XYZ of the fixture set.
  ReaderHarness<TXYZSphereInput> h;
  h.Start(Data("formats/five.xyz"));
  EXPECT_EQ(h.ReadAll(),
            (Names{"CS_ethanol", "CS_pyridine-2-thiol", "BZR_Diazepam", "NCI_3", "CHEMBL2321810_1520011"}));
  h.Start(Data("formats/CS_ethanol.xyz"));
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(h.molecule->VertexCount(), 9);
  EXPECT_EQ(h.molecule->EdgeCount(), 8); // C-C, C-O, O-H and five C-H
  EXPECT_EQ(Shared(kParamSphereVertexMatrix)->GetRowCount(), 9);
}

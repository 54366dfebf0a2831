// The XYZ sphere reader: point sets into coordinate, distance and inverse-distance matrices, published in the
// shared data space and on the structure; several sets per file; the messages, and the chemistry XYZ files of
// the fixture set (element symbol first), which are not point sets.

#include "input_test_util.h"

#include "core/errors.h"
#include "inputs/xyz_input.h"

using namespace corvatin;
using namespace corvatin::test;

namespace {

std::string FormatsFile(const std::string& name) { return std::string(CORVATIN_TEST_DATA_DIR) + "/formats/" + name; }

class XYZSphere : public ::testing::Test {
protected:
  bool ReadFirst(const std::string& text) {
    h.Start(folder.Write("points.xyz", text));
    return h.Pass();
  }
  std::string ErrorOf(const std::string& text) {
    h.reader->Stop(); // the file is written anew for every case
    folder.Write("broken.xyz", text);
    h.Start(file);
    return MessageOf<EInputError>([&] { h.Pass(); });
  }
  std::string At(int line, const std::string& detail = {}) { return FileErrorMessage(file, line, detail); }
  Ptr<IDoubleMatrix> Shared(const char* name) { return SharedDataSpace()->GetMatrix(name); }

  TempFolder folder;
  ReaderHarness<TXYZSphereInput> h;
  std::string file = folder.Path() + "broken.xyz";
};

} // namespace

TEST_F(XYZSphere, TheHeadingIsLogged) {
  ReadFirst("1\n0 0 0\n");
  EXPECT_TRUE(h.log->Contains("Reading XYZ structure...", lkHeading));
}

TEST_F(XYZSphere, TwoPointsFiveApart) {
  EXPECT_FALSE(ReadFirst("2 points\n0.0 0.0 0.0\n3.0 4.0 0.0\n"));
  const auto coords = Shared(kParamCoordMatrix);
  const auto d = Shared(kParamSphereVertexMatrix);
  const auto inv = Shared(kParamSphereVertexMatrixInv);
  ASSERT_TRUE(coords && d && inv);
  EXPECT_EQ(coords->GetRowCount(), 2);
  EXPECT_EQ(coords->GetColumnCount(), 3);
  EXPECT_DOUBLE_EQ(coords->Get(1, 1), 4.0);
  EXPECT_DOUBLE_EQ(d->Get(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(d->Get(0, 1), 5.0);
  EXPECT_DOUBLE_EQ(d->Get(1, 0), 5.0);
  EXPECT_DOUBLE_EQ(inv->Get(0, 1), 0.2);
  EXPECT_DOUBLE_EQ(inv->Get(1, 0), 0.2);
  EXPECT_DOUBLE_EQ(inv->Get(1, 1), 0.0);
  // The same matrices on the structure, which itself stays empty and is not fitted into the view.
  EXPECT_EQ(h.molecule->GetMatrix(kParamSphereVertexMatrix), d);
  EXPECT_EQ(h.molecule->GetMatrix(kParamCoordMatrix), coords);
  EXPECT_EQ(h.molecule->GetMatrix(kParamSphereVertexMatrixInv), inv);
  EXPECT_EQ(h.molecule->VertexCount(), 0);
  EXPECT_FALSE(h.molecule->HasTransform());
}

TEST_F(XYZSphere, EmptySet) {
  ReadFirst("0\n");
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 0);
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetColumnCount(), 3);
  EXPECT_EQ(Shared(kParamSphereVertexMatrix)->GetRowCount(), 0);
  EXPECT_EQ(Shared(kParamSphereVertexMatrix)->GetColumnCount(), 0);
}

TEST_F(XYZSphere, SeveralSetsOnePerPass) {
  h.Start(folder.Write("sets.xyz", "1\n1 1 1\n2\n0 0 0 extra columns\n\t1.5 0 0\n\n\n"));
  EXPECT_TRUE(h.Pass());
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 1);
  EXPECT_FALSE(h.Pass());
  EXPECT_EQ(Shared(kParamCoordMatrix)->GetRowCount(), 2);
  EXPECT_DOUBLE_EQ(Shared(kParamSphereVertexMatrix)->Get(0, 1), 1.5);
}

TEST_F(XYZSphere, Messages) {
  EXPECT_EQ(ErrorOf("\n\npoints\n"), At(3, "Atom count expected"));
  EXPECT_EQ(ErrorOf("-2\n"), At(1, "Atom count expected"));
  EXPECT_EQ(ErrorOf("2\n0 0 0\n1 1\n"), At(3));      // a coordinate missing
  EXPECT_EQ(ErrorOf("2\n0 0 0\n1 1 x1\n"), At(3));  // ...or malformed
  EXPECT_EQ(ErrorOf("3\n0 0 0\n1 1 1\n"), At(4));    // a point missing
}

TEST_F(XYZSphere, ChemistryXYZFailsAtItsFirstPointLine) {
  // Count, comment line, then "C  0.11380 ..." lines: the line after the count is read as the first point.
  for (const char* name : {"CS_ethanol.xyz", "five.xyz"}) {
    h.Start(FormatsFile(name));
    EXPECT_EQ(MessageOf<EInputError>([&] { h.Pass(); }), FileErrorMessage(FormatsFile(name), 2)) << name;
  }
  // Without a comment line the first point line is the first atom line, and it fails there too.
  EXPECT_EQ(ErrorOf("1\nC 0.0 0.0 0.0\n"), At(2));
}

TEST_F(XYZSphere, CoincidingPointsNameTheLaterOne) {
  EXPECT_EQ(ErrorOf("3\n0 0 0\n1 0 0\n0 0 0\n"), At(4, "Points 1 and 3 coincide"));
}

TEST_F(XYZSphere, TooManyPointsFailAloneAndTheNextSetIsRead) {
  std::string text = std::to_string(kMaxSpherePoints + 1) + "\n";
  for (int i = 0; i <= kMaxSpherePoints; ++i) text += std::to_string(i) + " 0 0\n";
  text += "1\n5 5 5\n";
  h.Start(folder.Write("big.xyz", text));
  bool more = false;
  EXPECT_THROW(
      {
        try {
          h.reader->Execute(more);
        } catch (const EInputError&) {
          FAIL() << "not an input error";
        }
      },
      EChemError);
  EXPECT_TRUE(more);
  EXPECT_FALSE(h.Pass());
  EXPECT_DOUBLE_EQ(Shared(kParamCoordMatrix)->Get(0, 2), 5.0);
}

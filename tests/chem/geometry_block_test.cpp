// The geometry block as a procedure runs it: structures without coordinates get a generated geometry fitted
// into the view, announced by a transient log line; structures whose atoms are all positioned pass untouched.
#include "chem/geometry_block.h"
#include "chem/molecule.h"
#include "chem/smiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace corvatin {
namespace {

constexpr const char* kPort = "GeometryBlockTest.Molecule";

class RecordingLog : public IProgressLog {
public:
  void Clear() override { lines.clear(); }
  void AddMessage(const std::string& text, int kind, bool transient) override {
    lines.push_back({text, kind, transient});
  }
  struct Line {
    std::string text;
    int kind;
    bool transient;
  };
  std::vector<Line> lines;
};

class GeometryBlock : public ::testing::Test {
protected:
  void SetUp() override {
    block->SetPortName(0, kPort);
    block->SetLog(log);
  }
  void TearDown() override { SharedDataSpace()->DeleteParam(kPort); }
  void Publish(const Ptr<IMolecule>& m) {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(std::static_pointer_cast<IGraph>(m)), nullptr,
                                true);
  }
  void Run() {
    bool more = true;
    block->Execute(more);
  }

  Ptr<TGeometryTransformation> block = std::make_shared<TGeometryTransformation>();
  Ptr<RecordingLog> log = std::make_shared<RecordingLog>();
};

TEST_F(GeometryBlock, MoleculeWithoutCoordinatesGetsAGeometryFittedIntoTheView) {
  auto m = NewMolecule();
  ParseSMILES("c1ccccc1CCO", *m);
  Publish(m);
  Run();
  ASSERT_EQ(log->lines.size(), 1u);
  EXPECT_EQ(log->lines[0].text, "Optimizing graph geometry...");
  EXPECT_EQ(log->lines[0].kind, lkPlain);
  EXPECT_TRUE(log->lines[0].transient);
  double largest = 0;
  for (int i = 0; i < m->VertexCount(); ++i) {
    EXPECT_TRUE(m->GetAtom(i)->Has3D());
    EXPECT_TRUE(m->GetVertex(i)->GetPositioned());
    largest = std::max({largest, std::fabs(m->GetVertex(i)->GetX()), std::fabs(m->GetVertex(i)->GetY()),
                        std::fabs(m->GetVertex(i)->GetZ())});
  }
  EXPECT_NEAR(largest, 0.35, 1e-6);
}

TEST_F(GeometryBlock, OneUnpositionedAtomIsEnoughAndAPositionedMoleculePassesUntouchedWithoutMessage) {
  auto m = NewMolecule();
  ParseSMILES("CCO", *m);
  for (int i = 0; i < m->VertexCount(); ++i) {
    m->GetVertex(i)->SetX(0.02 * i);
    m->GetVertex(i)->SetY(-0.01 * i);
  }
  Publish(m);
  Run();
  EXPECT_TRUE(log->lines.empty());
  for (int i = 0; i < m->VertexCount(); ++i) {
    EXPECT_FALSE(m->GetAtom(i)->Has3D());
    EXPECT_DOUBLE_EQ(m->GetVertex(i)->GetX(), 0.02 * i);
  }
  EXPECT_FALSE(m->HasTransform());
  m->AddAtom()->SetSymbol("H");
  Run();
  EXPECT_EQ(log->lines.size(), 1u);
  EXPECT_TRUE(m->GetAtom(m->VertexCount() - 1)->Has3D());
}

TEST_F(GeometryBlock, EmptyMoleculeOrNothingPublishedIsNothingToDo) {
  EXPECT_TRUE(block->IsDisplayOnly()); // shown only when structures are
  Run();
  Publish(NewMolecule());
  Run();
  EXPECT_TRUE(log->lines.empty());
}

} // namespace
} // namespace corvatin

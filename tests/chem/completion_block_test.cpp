// The completion block as a procedure runs it on the published molecule: aromaticity first, then hydrogens
// (counts from the molecular formulas: benzene C6H6, methane CH4, pyridine C5H5N, pyrrole C4H5N), the tags that
// make a second run a no-op, and what an error leaves behind.
#include "chem/completion.h"
#include "chem/completion_block.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/errors.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace corvatin {
namespace {

constexpr const char* kPort = "CompletionBlockTest.Molecule";

/// Publishes a molecule under the test port for the lifetime of the fixture and runs the block on it.
class CompletionBlock : public ::testing::Test {
protected:
  void SetUp() override { block->SetPortName(0, kPort); }
  void TearDown() override { SharedDataSpace()->DeleteParam(kPort); }

  void Publish(const Ptr<IMolecule>& m) {
    SharedDataSpace()->AddParam(kPort, MakeInterfaceParam<IGraph>(std::static_pointer_cast<IGraph>(m)), nullptr,
                                true);
  }
  void Run() {
    bool more = true;
    block->Execute(more);
    EXPECT_TRUE(more) << "a completion block does not end the run";
  }

  Ptr<TMoleculeCompletion> block = std::make_shared<TMoleculeCompletion>();
};

/// The molecule as written, without the parser's own completion.
Ptr<IMolecule> AsWritten(const std::string& smiles) {
  auto m = NewMolecule();
  auto tokenizer = NewTextParser(smiles);
  TSMILESParser(true, nullptr, false).Parse(*tokenizer, *m);
  return m;
}

int Count(const IMolecule& m, const std::string& symbol) {
  int n = 0;
  for (int i = 0; i < m.VertexCount(); ++i)
    n += m.GetAtom(i)->GetSymbol() == symbol;
  return n;
}

TEST_F(CompletionBlock, BenzeneIsCompletedOnceAndASecondRunChangesNothing) {
  Run(); // nothing published: nothing to do
  auto m = AsWritten("C1:C:C:C:C:C:1");
  Publish(m);
  Run();
  EXPECT_EQ(Count(*m, "H"), 6);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1.0);
  EXPECT_EQ(m->GetFloat(kTagAromaticity), 0.0) << "adding the hydrogens reset it";
  Run();
  EXPECT_EQ(m->VertexCount(), 12);
  EXPECT_EQ(Count(*m, "H"), 6);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1.0) << "restored after perception ran again";
  EXPECT_EQ(m->GetFloat(kTagAromaticity), 1.0) << "perceived again, and nothing changed after it";
}

TEST_F(CompletionBlock, MethaneWithSixHydrogensLosesItsLastTwo) {
  auto m = NewMolecule();
  IAtom* c = m->AddAtom();
  c->SetSymbol("C");
  for (int i = 0; i < 6; ++i) {
    IAtom* h = m->AddAtom();
    h->SetSymbol("H");
    h->SetFloat("written", i);
    m->ConnectAtoms(c, h);
  }
  Publish(m);
  Run();
  ASSERT_EQ(m->VertexCount(), 5);
  EXPECT_EQ(m->GetAtom(4)->GetFloat("written"), 3.0);
  EXPECT_FALSE(m->AnyVertexHasParam(kParamToDeleteH));
}

TEST_F(CompletionBlock, IronKeepsItsHydrogensAndABareIronGetsNone) {
  // Iron has no normal valence to complete: the hydrogens it was given are all it has.
  auto m = AsWritten("[FeH2]");
  Publish(m);
  Run();
  EXPECT_EQ(m->VertexCount(), 3);
  auto bare = AsWritten("[Fe]");
  Publish(bare);
  Run();
  EXPECT_EQ(bare->VertexCount(), 1);
}

TEST_F(CompletionBlock, KekuleRingsBecomeAromaticBeforeHydrogensAreCounted) {
  // Pyridine's nitrogen gets no hydrogen, pyrrole's keeps its one (C5H5N, C4H5N).
  for (auto [smiles, nitrogen, hydrogens] : {std::tuple{"C1=CC=NC=C1", 3, 0}, {"C1=CC=C[NH]1", 4, 1}}) {
    auto m = AsWritten(smiles);
    Publish(m);
    Run();
    EXPECT_EQ(Count(*m, "H"), 5) << smiles;
    EXPECT_TRUE(m->GetAtom(nitrogen)->IsAromatic()) << smiles;
    EXPECT_EQ(m->GetAtom(nitrogen)->HydrogenCount(), hydrogens) << smiles;
  }
}

TEST_F(CompletionBlock, HydrogensMarkedCompleteStaySoThroughPerception) {
  // A Z-matrix molecule's hydrogens are taken as given: the block must not add any, even when perception turns
  // its Kekule ring aromatic (which resets the tags).
  auto m = AsWritten("C1=CC=CC=C1");
  MarkHydrogensDone(*m);
  Publish(m);
  Run();
  EXPECT_EQ(Count(*m, "H"), 0);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1.0);
}

TEST_F(CompletionBlock, ChangingAChargeAfterwardsMakesTheNextRunComplete) {
  auto m = AsWritten("CC");
  Publish(m);
  Run();
  EXPECT_EQ(Count(*m, "H"), 6);
  m->GetAtom(0)->SetCharge(1);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 0.0);
  EXPECT_EQ(m->GetFloat(kTagAromaticity), 0.0);
  Run();
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1.0);
}

TEST_F(CompletionBlock, AnErrorLeavesNeitherMarksNorTagsThatClaimTooMuch) {
  // Fourteen mutually bonded carbons hold far more depth-first rings than perception will judge.
  auto m = NewMolecule();
  constexpr int kAtoms = 14;
  for (int i = 0; i < kAtoms; ++i)
    m->AddAtom()->SetSymbol("C");
  for (int i = 0; i < kAtoms; ++i)
    for (int j = i + 1; j < kAtoms; ++j)
      m->ConnectIndices(i, j);
  m->GetAtom(0)->SetFloat(kParamToDeleteH, 1.0); // a mark left over from an interrupted run
  m->SetFloat(kTagHydrogens, 1.0);
  Publish(m);
  bool more = true;
  EXPECT_THROW(block->Execute(more), EChemError);
  EXPECT_FALSE(m->AnyVertexHasParam(kParamToDeleteH));
  EXPECT_EQ(m->GetFloat(kTagAromaticity), 0.0);
  EXPECT_EQ(m->GetFloat(kTagHydrogens), 1.0) << "the hydrogens' step never ran, so their state stands";
  EXPECT_EQ(m->VertexCount(), kAtoms);
}

} // namespace
} // namespace corvatin

// The classifier on an edited molecule: which classifications run or lose their values at each update level,
// the reaction to each kind of molecule change, the value-name lists and the selection.
#include "classify_test_util.h"

#include "classify/classifier.h"
#include "classify/gasteiger.h"
#include "classify/std_classification.h"

#include <gtest/gtest.h>

namespace corvatin {
namespace {

using test::LoadText;
using test::Mol;

/// A classification of any level that counts its runs and writes "Runs" on the molecule.
class TCounting : public TBlock, public virtual IClassification {
public:
  explicit TCounting(std::uint8_t level) : TBlock(1), level_(level) {}
  void Classify(const Ptr<ISubGraph>& structure) override {
    ++runs;
    if (auto g = std::dynamic_pointer_cast<IGraph>(structure)) g->SetFloat("Runs", runs);
  }
  std::uint8_t GetUpdateLevel() const override { return level_; }
  int GetValueCount(int kind) const override { return kind == ekMolecule ? 1 : 0; }
  std::string GetValueName(int, int) const override { return "Runs"; }
  int runs = 0;

private:
  std::uint8_t level_;
};

class TCountingListener : public IListener {
public:
  void Notify(int eventCode, IObject*, const std::any&) override {
    if (eventCode == ceClassifierChanged) ++count;
  }
  int count = 0;
};

struct Fixture : testing::Test {
  Ptr<IMolecule> molecule = Mol("CCO");
  Ptr<TStdClassification> std = std::make_shared<TStdClassification>();
  Ptr<TSMILESClassification> file = LoadText("O = 1\nC = 2\n", {"W"});
  Ptr<TGasteigerChargesClassification> charges = std::make_shared<TGasteigerChargesClassification>();
  Ptr<TCounting> reader = std::make_shared<TCounting>(ulReader);
  Ptr<TClassifier> classifier = std::make_shared<TClassifier>();

  void SetUp() override {
    classifier->SetClassifications({std, file, charges, reader, std::make_shared<TParameters>()});
  }
  const IAtom& Oxygen() const { return *molecule->GetAtom(2); }
};

TEST_F(Fixture, OnlyClassificationBlocksAreListed) {
  EXPECT_EQ(classifier->GetClassifications().size(), 4u);
  classifier->AddClassification(std);
  EXPECT_EQ(classifier->GetClassifications().size(), 4u);
}

TEST_F(Fixture, SetGraphUpdatesAtLevelTwo) {
  classifier->SetGraph(molecule);
  EXPECT_TRUE(Oxygen().HasParam("Atomic number"));
  EXPECT_EQ(Oxygen().GetFloat("W"), 1);
  EXPECT_TRUE(Oxygen().HasParam(kGasteigerChargeName));
  EXPECT_EQ(reader->runs, 0); // level 1 only when everything is recomputed
  EXPECT_EQ(classifier->GetValidLevel(), 2);
}

TEST_F(Fixture, TopologyChangeKeepsStandardValuesAndRemovesComputedOnes) {
  classifier->SetGraph(molecule);
  IAtom* added = molecule->AddAtom();
  added->SetSymbol("N");
  EXPECT_EQ(classifier->GetValidLevel(), 3);
  EXPECT_EQ(added->GetFloat("Atomic number"), 7);
  EXPECT_FALSE(Oxygen().HasParam("W"));
  EXPECT_FALSE(Oxygen().HasParam(kGasteigerChargeName));
  EXPECT_EQ(reader->runs, 0);
  // Refresh brings them back and tells the observers.
  TCountingListener listener;
  classifier->Notifier().Subscribe(ceClassifierChanged, &listener);
  classifier->Refresh();
  EXPECT_EQ(Oxygen().GetFloat("W"), 1);
  EXPECT_TRUE(added->HasParam(kGasteigerChargeName));
  EXPECT_EQ(listener.count, 1);
  classifier->Notifier().RemoveListener(&listener);
}

TEST_F(Fixture, ElementChangeUpdatesAtLevelThree) {
  classifier->SetGraph(molecule);
  molecule->GetAtom(2)->SetSymbol("S");
  EXPECT_EQ(Oxygen().GetFloat("Atomic number"), 16);
  EXPECT_FALSE(Oxygen().HasParam("W"));
}

TEST_F(Fixture, BondKindChangeUpdatesAtLevelThree) {
  classifier->SetGraph(molecule);
  molecule->GetBond(0)->SetBondType(bkDouble);
  EXPECT_EQ(classifier->GetValidLevel(), 3);
  EXPECT_FALSE(Oxygen().HasParam(kGasteigerChargeName));
}

TEST_F(Fixture, ValueAndCoordinateChangesAreIgnored) {
  classifier->SetGraph(molecule);
  molecule->GetAtom(2)->SetCharge(-1);
  molecule->GetAtom(2)->SetX(1.0);
  EXPECT_EQ(classifier->GetValidLevel(), 2);
  EXPECT_TRUE(Oxygen().HasParam("W"));
}

TEST_F(Fixture, ChangesInsideAnUpdateBracketAreReportedOnce) {
  classifier->SetGraph(molecule);
  const int before = reader->runs;
  molecule->BeginUpdate();
  molecule->AddAtom()->SetSymbol("C");
  molecule->GetAtom(0)->SetSymbol("N");
  EXPECT_TRUE(Oxygen().HasParam("W")); // nothing yet
  molecule->EndUpdate();
  EXPECT_FALSE(Oxygen().HasParam("W"));
  EXPECT_EQ(molecule->GetAtom(0)->GetFloat("Atomic number"), 7);
  EXPECT_EQ(reader->runs, before);
}

TEST_F(Fixture, ClearedMoleculeIsRecomputedAtLevelOne) {
  classifier->SetGraph(molecule);
  molecule->Clear();
  EXPECT_EQ(classifier->GetValidLevel(), 1);
  EXPECT_EQ(reader->runs, 1);
}

TEST_F(Fixture, UpdateAtAHigherLevelAfterALowerOneDoesNothing) {
  classifier->SetGraph(molecule);
  classifier->Update(ulReader);
  EXPECT_EQ(reader->runs, 1);
  classifier->Update(ulComputed);
  classifier->Update(ulStandard);
  EXPECT_EQ(reader->runs, 1);
  EXPECT_EQ(classifier->GetValidLevel(), 1);
}

TEST_F(Fixture, ReaderValuesAreNeverRemoved) {
  classifier->SetGraph(molecule);
  classifier->Update(ulReader);
  molecule->AddAtom()->SetSymbol("C");
  EXPECT_TRUE(molecule->HasParam("Runs"));
}

TEST_F(Fixture, AddedClassificationRunsAtOnce) {
  classifier->SetGraph(molecule);
  auto extra = LoadText("C = 5\n", {"V"});
  classifier->AddClassification(extra);
  EXPECT_EQ(molecule->GetAtom(0)->GetFloat("V"), 5);
}

TEST_F(Fixture, ValueNamesSkipTheBondType) {
  std::vector<std::string> atoms;
  classifier->GetValueNames(ekAtoms, atoms);
  EXPECT_EQ(atoms, (std::vector<std::string>{"Symbol", "Atomic number", "Hybridation", "Charge", "Atomic weight", "W",
                                             "Gasteiger-Marsili charge"}));
  std::vector<std::string> bonds;
  classifier->GetValueNames(ekBonds, bonds);
  EXPECT_EQ(bonds, (std::vector<std::string>{"Distance"}));
}

TEST_F(Fixture, SelectionPublishesTheNamesOfItsKind) {
  classifier->SetGraph(molecule);
  TCountingListener listener;
  classifier->Notifier().Subscribe(ceClassifierChanged, &listener);
  Ptr<IObject> atom = molecule->GetAtom(0)->SelfAs<IObject>();
  Ptr<IObject> other = molecule->GetAtom(1)->SelfAs<IObject>();
  Ptr<IObject> bond = molecule->GetBond(0)->SelfAs<IObject>();
  classifier->Select(atom, ekAtoms); // nothing selected before
  EXPECT_EQ(listener.count, 1);
  EXPECT_EQ(classifier->GetSelection(), atom);
  EXPECT_EQ(classifier->GetNames().size(), 7u);
  classifier->Select(atom, ekBonds); // same source: nothing
  EXPECT_EQ(classifier->GetSelectedKind(), ekAtoms);
  classifier->Select(other, ekAtoms); // same kind: no notification
  EXPECT_EQ(listener.count, 1);
  classifier->Select(bond, ekBonds);
  EXPECT_EQ(listener.count, 2);
  EXPECT_EQ(classifier->GetNames(), (std::vector<std::string>{"Distance"}));
  classifier->ClearSelection();
  EXPECT_EQ(classifier->GetSelection(), nullptr);
  EXPECT_TRUE(classifier->GetNames().empty());
  classifier->Notifier().RemoveListener(&listener);
}

TEST_F(Fixture, SetGraphClearsTheSelectionAndLeavesTheOldMolecule) {
  classifier->SetGraph(molecule);
  classifier->Select(molecule->GetAtom(0)->SelfAs<IObject>(), ekAtoms);
  auto next = Mol("N");
  classifier->SetGraph(next);
  EXPECT_EQ(classifier->GetSelection(), nullptr);
  EXPECT_EQ(next->GetAtom(0)->GetFloat("Atomic number"), 7);
  molecule->AddAtom()->SetSymbol("C"); // no longer observed
  EXPECT_FALSE(molecule->GetAtom(molecule->VertexCount() - 1)->HasParam("Atomic number"));
}

TEST_F(Fixture, ClassifierGoneBeforeTheMolecule) {
  classifier->SetGraph(molecule);
  classifier.reset();
  molecule->AddAtom()->SetSymbol("C"); // must not reach a dead listener (the sanitizer build would see it)
  EXPECT_FALSE(molecule->GetAtom(molecule->VertexCount() - 1)->HasParam("Atomic number"));
}

TEST_F(Fixture, ErrorDuringAChangeIsKeptNotRaised) {
  // An update caused by a change runs inside the code that made the change; its error is kept for the caller.
  class TFailing : public TCounting {
  public:
    TFailing() : TCounting(ulStandard) {}
    void Classify(const Ptr<ISubGraph>&) override {
      if (armed) throw EChemError("too big");
    }
    bool armed = false;
  };
  auto failing = std::make_shared<TFailing>();
  classifier->SetClassifications({failing});
  classifier->SetGraph(molecule);
  failing->armed = true;
  EXPECT_NO_THROW(molecule->AddAtom()->SetSymbol("C"));
  EXPECT_EQ(classifier->GetLastError(), "too big");
  EXPECT_FALSE(classifier->IsValid());
  // A direct request raises.
  EXPECT_THROW(classifier->Refresh(), EChemError);
  failing->armed = false;
  molecule->AddAtom()->SetSymbol("C");
  EXPECT_EQ(classifier->GetLastError(), "");
  EXPECT_TRUE(classifier->IsValid());
}

} // namespace
} // namespace corvatin

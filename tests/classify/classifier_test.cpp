// The classifier on an edited molecule: which classifications run or lose their values at each update level,
// the reaction to each kind of molecule change, the value-name lists and the selection.
#include "classify_test_util.h"

#include "classify/classifier.h"
#include "classify/gasteiger.h"
#include "classify/std_classification.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvatin {
namespace {

using test::LoadText;
using test::Mol;

/// A classification of any level that counts its runs and writes "Runs" on the molecule, or fails when told.
class TCounting : public TBlock, public virtual IClassification {
public:
  explicit TCounting(std::uint8_t level) : TBlock(1), level_(level) {}
  void Classify(const Ptr<ISubGraph>& structure) override {
    if (fail) throw EChemError("too big");
    ++runs;
    if (auto g = std::dynamic_pointer_cast<IGraph>(structure)) g->SetFloat("Runs", runs);
  }
  std::uint8_t GetUpdateLevel() const override { return level_; }
  int GetValueCount(int kind) const override { return kind == ekMolecule ? 1 : 0; }
  std::string GetValueName(int, int) const override { return "Runs"; }
  int runs = 0;
  bool fail = false;

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
  TCountingListener listener;

  void SetUp() override {
    // Only classification blocks are listed, each once.
    classifier->SetClassifications({std, file, charges, reader, std::make_shared<TParameters>()});
    classifier->AddClassification(std);
    EXPECT_EQ(classifier->GetClassifications().size(), 4u);
    classifier->Notifier().Subscribe(ceClassifierChanged, &listener);
  }
  void TearDown() override {
    if (classifier) classifier->Notifier().RemoveListener(&listener);
  }
  /// The valid level, then the atomic number, file value and charge of atom 2, then the reader's runs.
  std::string State() const {
    std::string s = "level " + std::to_string(classifier->GetValidLevel());
    if (molecule->VertexCount() > 2) {
      const IAtom* a = molecule->GetAtom(2);
      s += ", Z " + (a->HasParam("Atomic number") ? std::to_string(a->GetInt("Atomic number")) : "-");
      s += std::string(", W ") + (a->HasParam("W") ? "yes" : "-");
      s += std::string(", q ") + (a->HasParam(kGasteigerChargeName) ? "yes" : "-");
    }
    return s + ", reader " + std::to_string(reader->runs);
  }
};

TEST_F(Fixture, EachKindOfChangeUpdatesAtItsLevel) {
  // Level 2 (standard and computed values) after identity and topology changes, level 1 (everything, the
  // reader's values too) after a clear; values and coordinates change nothing; computed values go until Refresh.
  const struct {
    const char* what;
    std::function<void(IMolecule&)> edit;
    const char* state;
  } cases[] = {
      {"nothing", [](IMolecule&) {}, "level 2, Z 8, W yes, q yes, reader 0"},
      {"an atom added",
       [](IMolecule& m) {
         IAtom* added = m.AddAtom();
         added->SetSymbol("N");
         EXPECT_EQ(added->GetFloat("Atomic number"), 7);
       },
       "level 3, Z 8, W -, q -, reader 0"},
      {"an element changed", [](IMolecule& m) { m.GetAtom(2)->SetSymbol("S"); }, "level 3, Z 16, W -, q -, reader 0"},
      {"a bond kind changed", [](IMolecule& m) { m.GetBond(0)->SetBondType(bkDouble); },
       "level 3, Z 8, W -, q -, reader 0"},
      {"a charge and a coordinate changed",
       [](IMolecule& m) {
         m.GetAtom(2)->SetCharge(-1);
         m.GetAtom(2)->SetX(1.0);
       },
       "level 2, Z 8, W yes, q yes, reader 0"},
      {"changes in a bracket, reported once when it closes",
       [](IMolecule& m) {
         m.BeginUpdate();
         m.GetAtom(2)->SetSymbol("N");
         EXPECT_TRUE(m.GetAtom(2)->HasParam("W"));
         m.EndUpdate();
       },
       "level 3, Z 7, W -, q -, reader 0"},
      {"cleared", [](IMolecule& m) { m.Clear(); }, "level 1, reader 1"},
  };
  for (const auto& c : cases) {
    molecule = Mol("CCO");
    classifier->SetGraph(molecule);
    reader->runs = 0;
    c.edit(*molecule);
    EXPECT_EQ(State(), c.state) << c.what;
  }
  // Refresh brings the computed values back and tells the observers.
  molecule = Mol("CCO");
  classifier->SetGraph(molecule);
  molecule->AddAtom()->SetSymbol("C");
  reader->runs = 0;
  listener.count = 0;
  classifier->Refresh();
  EXPECT_EQ(State(), "level 2, Z 8, W yes, q yes, reader 0");
  EXPECT_EQ(listener.count, 1);
}

TEST_F(Fixture, LowerLevelsStandReaderValuesStayAndAddedClassificationsRunAtOnce) {
  classifier->SetGraph(molecule);
  classifier->Update(ulReader);
  classifier->Update(ulComputed);
  classifier->Update(ulStandard);
  EXPECT_EQ(reader->runs, 1);
  EXPECT_EQ(classifier->GetValidLevel(), 1);
  molecule->AddAtom()->SetSymbol("C");
  EXPECT_TRUE(molecule->HasParam("Runs"));
  classifier->AddClassification(LoadText("C = 5\n", {"V"}));
  EXPECT_EQ(molecule->GetAtom(0)->GetFloat("V"), 5);
}

TEST_F(Fixture, SelectionPublishesTheValueNamesOfItsKindWithoutTheBondTypeUntilANewMolecule) {
  std::vector<std::string> atoms;
  classifier->GetValueNames(ekAtoms, atoms);
  EXPECT_EQ(atoms.size(), 7u);
  classifier->SetGraph(molecule);
  Ptr<IObject> atom = molecule->GetAtom(0)->SelfAs<IObject>();
  classifier->Select(atom, ekAtoms); // nothing selected before
  EXPECT_EQ(listener.count, 1);
  EXPECT_EQ(classifier->GetSelection(), atom);
  EXPECT_EQ(classifier->GetNames(), atoms);
  classifier->Select(atom, ekBonds); // same source: nothing
  EXPECT_EQ(classifier->GetSelectedKind(), ekAtoms);
  classifier->Select(molecule->GetAtom(1)->SelfAs<IObject>(), ekAtoms); // same kind: no notification
  EXPECT_EQ(listener.count, 1);
  classifier->Select(molecule->GetBond(0)->SelfAs<IObject>(), ekBonds);
  EXPECT_EQ(listener.count, 2);
  EXPECT_EQ(classifier->GetNames(), (std::vector<std::string>{"Distance"}));
  classifier->ClearSelection();
  EXPECT_EQ(classifier->GetSelection(), nullptr);
  EXPECT_TRUE(classifier->GetNames().empty());
  // A new molecule clears the selection and leaves the old one unobserved.
  classifier->Select(atom, ekAtoms);
  classifier->SetGraph(Mol("N"));
  EXPECT_EQ(classifier->GetSelection(), nullptr);
  molecule->AddAtom()->SetSymbol("C");
  EXPECT_FALSE(molecule->GetAtom(molecule->VertexCount() - 1)->HasParam("Atomic number"));
}

TEST_F(Fixture, ErrorDuringAChangeIsKeptNotRaisedAndAClassifierGoneBeforeTheMoleculeHearsNothing) {
  // An update caused by a change runs inside the code that made the change; its error is kept for the caller.
  auto failing = std::make_shared<TCounting>(ulStandard);
  classifier->SetClassifications({failing});
  classifier->SetGraph(molecule);
  failing->fail = true;
  EXPECT_NO_THROW(molecule->AddAtom()->SetSymbol("C"));
  EXPECT_EQ(classifier->GetLastError(), "too big");
  EXPECT_FALSE(classifier->IsValid());
  EXPECT_THROW(classifier->Refresh(), EChemError); // a direct request raises
  failing->fail = false;
  molecule->AddAtom()->SetSymbol("C");
  EXPECT_EQ(classifier->GetLastError(), "");
  EXPECT_TRUE(classifier->IsValid());
  const int runs = failing->runs;
  classifier->Notifier().RemoveListener(&listener);
  classifier.reset();
  molecule->AddAtom()->SetSymbol("C"); // must not reach a dead listener (the sanitizer build would see it)
  EXPECT_EQ(failing->runs, runs);
}

} // namespace
} // namespace corvatin

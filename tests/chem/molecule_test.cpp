// The molecule model: atoms and bonds mirroring their data into parameters, bond-order sums and hybridisation,
// the completion tags reset by every change, the "Bond Type" parameter hook, and the view transform.

#include "chem/elements.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "core/errors.h"
#include "graph/rings.h"

#include <gtest/gtest.h>

#include <any>
#include <vector>
#include <utility>

using namespace corvatin;

namespace {

/// Counts the molecule's change announcements and remembers the kinds.
class ChangeRecorder : public IListener {
public:
  explicit ChangeRecorder(IGraph& graph) : graph_(graph) {
    dynamic_cast<INotifierHost&>(graph_).Notifier().Subscribe(geGraphChanged, this);
  }
  ~ChangeRecorder() override { dynamic_cast<INotifierHost&>(graph_).Notifier().RemoveListener(this); }
  void Notify(int, IObject*, const std::any& data) override { kinds.push_back(std::any_cast<int>(data)); }
  std::vector<int> kinds;

private:
  IGraph& graph_;
};

IAtom* AddAtom(IMolecule& m, const char* symbol) {
  IAtom* a = m.AddAtom();
  a->SetSymbol(symbol);
  return a;
}

IBond* Bond(IMolecule& m, IAtom* a, IAtom* b, int type = bkSingle) {
  IBond* bond = m.ConnectAtoms(a, b);
  bond->SetBondType(type);
  return bond;
}

} // namespace

// --- atoms ---

TEST(Atom, SetSymbolWritesElementDataAndReportsIdentityOnceAndUnchangedValuesReportNothing) {
  auto m = NewMolecule();
  IAtom* a = m->AddAtom();
  ChangeRecorder rec(*m);
  a->SetSymbol("C");
  EXPECT_EQ(a->GetAtomicNumber(), 6);
  EXPECT_EQ(a->GetString("Symbol"), "C");
  EXPECT_FLOAT_EQ(static_cast<float>(a->GetFloat("Atomic weight")), 12.0107f); // element table, IUPAC 2005
  ASSERT_FALSE(rec.kinds.empty());
  EXPECT_EQ(rec.kinds.back(), gcIdentity);
  rec.kinds.clear();
  a->SetSymbol("C");
  a->SetCharge(0);
  a->SetAtomicWeight(a->GetAtomicWeight());
  EXPECT_TRUE(rec.kinds.empty());
  a->SetCharge(1);
  EXPECT_EQ(rec.kinds, std::vector<int>{gcValue});
  EXPECT_EQ(a->GetFloat("Charge"), 1.0);
}

TEST(Atom, OnlySetX3DMarksModelCoordinates) {
  auto m = NewMolecule();
  IAtom* a = m->AddAtom();
  a->SetY3D(1);
  a->SetZ3D(2);
  EXPECT_FALSE(a->Has3D());
  a->SetX3D(1);
  EXPECT_TRUE(a->Has3D());
  EXPECT_FALSE(a->HasParam("X")); // model coordinates are stored only
}

// --- bond-order sums and hybridisation (valence-shell counting as in the VSEPR model) ---

TEST(BondOrderSum, AndHybridisationOfCommonAtoms) {
  // "bond-order sum, hybridisation, hydrogens, heavy neighbours": an aromatic carbon or pyridine-type nitrogen
  // counts one more than its bonds show, a pyrrole-type nitrogen or a furan oxygen does not (its lone pair makes
  // it sp3 in this counting); a lone carbon has no hybridisation.
  const struct {
    const char* smiles;
    int atom;
    const char* expected;
  } cases[] = {
      {"O", 0, "2 sp3 2 0"},         {"O=C=O", 1, "4 sp 0 2"},      {"[C]", 0, "0  0 0"},
      {"c1ccccc1", 0, "4 sp2 1 2"},  {"c1ccncc1", 3, "3 sp2 0 2"},  {"c1cc[nH]c1", 3, "3 sp3 1 2"},
      {"o1cccc1", 0, "2 sp3 0 2"},
  };
  for (const auto& c : cases) {
    auto m = NewMolecule();
    ParseSMILES(c.smiles, *m);
    const IAtom* a = m->GetAtom(c.atom);
    EXPECT_EQ(std::to_string(a->BondOrderSum()) + " " + a->GetString("Hybridation") + " " +
                  std::to_string(a->HydrogenCount()) + " " + std::to_string(a->HeavyNeighbourCount()),
              c.expected)
        << c.smiles;
  }
}

TEST(BondOrderSum, HybridisationFollowsBondChangesAndDeletions) {
  auto m = NewMolecule();
  IAtom* c = AddAtom(*m, "C");
  IAtom* o = AddAtom(*m, "O");
  IBond* b = Bond(*m, c, o, bkDouble);
  for (int i = 0; i < 2; ++i)
    Bond(*m, c, AddAtom(*m, "H"));
  EXPECT_EQ(c->GetString("Hybridation"), "sp2"); // formaldehyde
  b->SetBondType(bkSingle);
  Bond(*m, c, AddAtom(*m, "H")); // methanol's carbon
  EXPECT_EQ(c->GetHybridisation(), hySp3);
  EXPECT_EQ(c->GetString("Hybridation"), "sp3");
  m->DeleteVertex(o);
  EXPECT_EQ(c->BondOrderSum(), 3);
  EXPECT_EQ(c->GetString("Hybridation"), "sp2");
  EXPECT_EQ(c->CountBondsOfType(bkSingle), 3);
}

// --- bonds ---

TEST(Bond, BondTypeTextFollowsTheKindAndSelectsItByItsFirstCharacter) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  IBond* b = Bond(*m, a, AddAtom(*m, "C"));
  for (int t = 0; t <= 4; ++t) {
    b->SetBondType(t);
    EXPECT_EQ(b->GetString("Bond Type"), std::string(1, "-=#:?"[t]));
  }
  b->SetBondType(bkSingle);
  ChangeRecorder rec(*m);
  // A text not starting with a bond character keeps the kind.
  for (auto [text, kind] : {std::pair{"=x", bkDouble}, {"x", bkDouble}, {"#", bkTriple}, {":", bkAromatic},
                            {"-", bkSingle}, {"", bkSingle}}) {
    b->SetString("Bond Type", text);
    EXPECT_EQ(b->GetBondType(), kind) << text;
    EXPECT_EQ(b->GetString("Bond Type"), std::string(1, "-=#:?"[kind])) << text;
    if (kind == bkDouble) {
      EXPECT_EQ(a->BondOrderSum(), 2);
    }
  }
  EXPECT_EQ(rec.kinds.front(), gcIdentity);
}

namespace {
/// A stand-in for the inspector's list editor: stores a text and reports the edit.
class FakeEditor : public IParamEdit {
public:
  IParameter* GetParam() const override { return param_; }
  void SetParam(IParameter* param) override { param_ = param; }
  TNotifier& Notifier() override { return notifier_; }
  void Edit(const std::string& text) {
    dynamic_cast<IStringParameter*>(param_)->SetValue(text);
    notifier_.Notify(peValueEdited);
  }

private:
  IParameter* param_ = nullptr;
  TNotifier notifier_{this};
};
} // namespace

TEST(Bond, EditorEditOfBondTypeChangesTheKind) {
  auto m = NewMolecule();
  IBond* b = Bond(*m, AddAtom(*m, "C"), AddAtom(*m, "C"));
  auto editor = std::make_shared<FakeEditor>();
  b->GetParam("Bond Type")->SetEditor(editor);
  editor->Notifier().Subscribe(peValueEdited, dynamic_cast<IListener*>(b));
  editor->Edit("#");
  EXPECT_EQ(b->GetBondType(), bkTriple);
  b->GetParam("Bond Type")->SetEditor(nullptr);
  editor->Notifier().RemoveListener(dynamic_cast<IListener*>(b));
}

TEST(Bond, DistanceOnlyBetweenAtomsWithModelCoordinates) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  IAtom* b = AddAtom(*m, "C");
  IBond* bond = Bond(*m, a, b);
  a->SetX3D(0);
  bond->UpdateDistance();
  EXPECT_FALSE(bond->HasParam("Distance"));
  b->SetX3D(3);
  b->SetY3D(4);
  bond->UpdateDistance();
  EXPECT_DOUBLE_EQ(bond->GetFloat("Distance"), 5.0);
  b->SetY3D(0);
  m->SetTransform(IdentityMatrix()); // a new transform updates the distances
  EXPECT_DOUBLE_EQ(bond->GetFloat("Distance"), 3.0);
}

// --- molecule ---

TEST(Molecule, EveryChangeResetsTheCompletionTags) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  m->SetFloat("TagAromaticy", 1);
  m->SetFloat("TagHydrogens", 1);
  a->SetCharge(1);
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0);
  EXPECT_EQ(m->GetFloat("TagHydrogens"), 0.0);
  m->SetFloat("TagAromaticy", 1);
  m->BeginUpdate();
  a->SetX(0.1);
  m->EndUpdate();
  EXPECT_EQ(m->GetFloat("TagAromaticy"), 0.0);
}

TEST(Molecule, ClearForgetsNameAndTransform) {
  auto m = NewMolecule();
  AddAtom(*m, "C");
  m->SetName("methane");
  EXPECT_EQ(m->GetString("Name"), "methane");
  Matrix4f t = IdentityMatrix();
  t[12] = 1;
  m->SetTransform(t);
  m->Clear();
  EXPECT_EQ(m->VertexCount(), 0);
  EXPECT_EQ(m->GetName(), "");
  EXPECT_FALSE(m->HasTransform());
  EXPECT_EQ(m->GetTransform(), IdentityMatrix());
}

TEST(Molecule, AddGraphCopiesAtomsAndBondKinds) {
  auto a = NewMolecule();
  ParseSMILES("C=O", *a);
  auto b = NewMolecule();
  b->AddGraph(*a, nullptr);
  ASSERT_EQ(b->VertexCount(), 4);
  EXPECT_EQ(b->GetAtom(1)->GetSymbol(), "O");
  EXPECT_EQ(b->GetBond(0)->GetBondType(), bkDouble);
  EXPECT_THROW(b->GetAtom(4), std::out_of_range);
}

TEST(Structure, CountsBondsBetweenItsAtomsListedOrNot) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  IAtom* b = AddAtom(*m, "C");
  IAtom* c = AddAtom(*m, "C");
  Bond(*m, a, b, bkDouble);
  Bond(*m, b, c, bkDouble);
  Bond(*m, a, c, bkSingle);
  Ptr<IStructure> s = m->CreateStructure();
  s->AddVertex(c);
  s->AddVertex(a);
  s->AddVertex(b);
  EXPECT_EQ(s->EdgeCount(), 0);
  EXPECT_EQ(s->CountBondsOfType(bkDouble), 2);
  EXPECT_EQ(s->CountBondsOfType(bkSingle), 1);
  EXPECT_EQ(s->CountBondsOfType(bkTriple), 0);
}

// --- the view transform ---

TEST(Transform, ReprojectsModelCoordinatesAndDisplayRadius) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  a->SetX3D(1);
  a->SetY3D(2);
  a->SetZ3D(3);
  IAtom* b = AddAtom(*m, "O"); // no model coordinates: keeps its view position
  Matrix4f t = IdentityMatrix();
  t[0] = t[5] = t[10] = 2; // scale 2
  t[12] = 1;               // then translate x by 1 (translation in the last row)
  m->SetTransform(t);
  EXPECT_DOUBLE_EQ(a->GetX(), 3.0);
  EXPECT_DOUBLE_EQ(a->GetY(), 4.0);
  EXPECT_DOUBLE_EQ(a->GetZ(), 6.0);
  EXPECT_TRUE(a->GetPositioned());
  EXPECT_EQ(a->GetFloat("X"), 3.0);
  EXPECT_FALSE(b->GetPositioned());
  // |M (r, 0, 0)| / 4 with r the covalent radius (0.77 for carbon, 0.73 for oxygen in the element table).
  EXPECT_NEAR(a->GetDisplayRadius(), 2 * 0.77 / 4, 1e-6);
  EXPECT_NEAR(b->GetDisplayRadius(), 2 * 0.73 / 4, 1e-6);
}

TEST(Transform, NewAtomsAndNewElementsAreReprojected) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "C");
  a->SetX3D(1);
  Matrix4f t = IdentityMatrix();
  t[13] = 5;
  m->SetTransform(t);
  EXPECT_DOUBLE_EQ(a->GetY(), 5.0);
  a->SetY3D(1);
  IAtom* b = AddAtom(*m, "C"); // topology change: every atom again
  EXPECT_DOUBLE_EQ(a->GetY(), 6.0);
  b->SetSymbol("Cl"); // identity change: that atom again
  EXPECT_NEAR(b->GetDisplayRadius(), 0.99 / 4, 1e-6);
  // Inside a bracket the re-projection happens once, when it closes.
  m->BeginUpdate();
  a->SetZ3D(2);
  AddAtom(*m, "C");
  m->EndUpdate();
  EXPECT_DOUBLE_EQ(a->GetZ(), 2.0);
}

TEST(Geometry, BuildersAbsentRaiseAChemError) {
  SetGeometryBuilders(nullptr, nullptr);
  auto m = NewMolecule();
  EXPECT_THROW(m->GenerateGeometry(), EChemError);
  EXPECT_THROW(m->BuildFromInternalCoords(), EChemError);
  SetGeometryBuilders([](IMolecule& mol) { mol.SetName("generated"); }, nullptr);
  m->GenerateGeometry();
  EXPECT_EQ(m->GetName(), "generated");
  SetGeometryBuilders(nullptr, nullptr);
}

TEST(Transform, AgreesWithTheViewersPointTransform) {
  auto m = NewMolecule();
  IAtom* a = AddAtom(*m, "N");
  a->SetX3D(0.5);
  a->SetY3D(-1.25);
  a->SetZ3D(2.0);
  const Matrix4f t = MatrixProduct(MatrixProduct(RotationX(0.3f), RotationZ(1.1f)), TranslationMatrix(1, 2, 3));
  m->SetTransform(t);
  const Vector3f p = TransformPoint(MakeVector(0.5f, -1.25f, 2.0f), t);
  EXPECT_NEAR(a->GetX(), p.x, 1e-5);
  EXPECT_NEAR(a->GetY(), p.y, 1e-5);
  EXPECT_NEAR(a->GetZ(), p.z, 1e-5);
}

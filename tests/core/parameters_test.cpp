#include "core/parameters.h"

#include <gtest/gtest.h>

using namespace corvatin;

namespace {
struct Observer : IListener, IParamObserver {
  int changed = 0;
  int edited = 0;
  IParameter* last = nullptr;
  void Notify(int, IObject*, const std::any&) override {}
  void ParametersChanged() override { ++changed; }
  void ParameterChanged(IParameter* p) override {
    ++edited;
    last = p;
  }
};

struct Editor : IParamEdit {
  TNotifier notifier{this};
  IParameter* param = nullptr;
  IParameter* GetParam() const override { return param; }
  void SetParam(IParameter* p) override { param = p; }
  TNotifier& Notifier() override { return notifier; }
};

Ptr<TParameters> Observed(Observer& o) {
  auto p = std::make_shared<TParameters>();
  p->Notifier().Subscribe(peParametersChanged, &o);
  return p;
}
} // namespace

TEST(ParameterReads, MissingNamesReadAsZeroFalseEmptyOrNone) {
  TParameters p;
  EXPECT_EQ(p.GetFloat("x"), 0.0);
  EXPECT_EQ(p.GetInt("x"), 0);
  EXPECT_FALSE(p.GetBool("x"));
  EXPECT_EQ(p.GetString("x"), "");
  EXPECT_EQ(p.GetMatrix("x"), nullptr);
  EXPECT_EQ(p.GetParam("x"), nullptr);
  EXPECT_EQ(p.GetInterface<IParameters>("x"), nullptr);
}

TEST(ParameterReads, GetIntRoundsHalvesToEven) {
  TParameters p;
  p.SetFloat("a", 2.5);
  p.SetFloat("b", 3.5);
  EXPECT_EQ(p.GetInt("a"), 2);
  EXPECT_EQ(p.GetInt("b"), 4);
}

TEST(ParameterWrites, SetFloatCreatesOnceThenChangesInPlaceSilently) {
  Observer o;
  auto p = Observed(o);
  p->SetFloat("w", 1.0);
  EXPECT_EQ(o.changed, 1);
  auto param = p->GetParam("w");
  EXPECT_TRUE(param->GetReadOnly());
  EXPECT_EQ(param->GetEditor(), nullptr);
  EXPECT_EQ(param->GetName(), "w");
  p->SetFloat("w", 2.0);
  EXPECT_EQ(o.changed, 1);
  EXPECT_EQ(p->GetParam("w"), param);
  EXPECT_EQ(p->GetFloat("w"), 2.0);
  p->Notifier().RemoveListener(&o);
}

TEST(ParameterWrites, AddParamUnderAnExistingNameKeepsThePosition) {
  Observer o;
  auto p = Observed(o);
  p->SetFloat("a", 1);
  p->SetFloat("b", 2);
  p->SetFloat("c", 3);
  o.changed = 0;
  p->AddParam("b", std::make_shared<TStringParameter>("b", "text"), nullptr, true);
  EXPECT_EQ(o.changed, 1);
  EXPECT_EQ(p->Count(), 3);
  EXPECT_EQ(p->GetNameAt(1), "b");
  EXPECT_EQ(p->GetString("b"), "text");
  EXPECT_EQ(p->GetFloat("b"), 0.0);
}

TEST(ParameterWrites, DeleteParamOfAMissingNameSendsNothing) {
  Observer o;
  auto p = Observed(o);
  p->DeleteParam("missing");
  EXPECT_EQ(o.changed, 0);
  p->SetBool("x", true);
  p->SetBool("y", true);
  p->DeleteParam("x");
  EXPECT_EQ(o.changed, 3);
  EXPECT_EQ(p->GetNameAt(0), "y");
  EXPECT_THROW(p->GetNameAt(1), std::out_of_range);
}

TEST(ParameterKinds, TextForms) {
  EXPECT_EQ(TBoolParameter("b", true).GetText(), "yes");
  EXPECT_EQ(TBoolParameter("b", false).GetText(), "no");
  EXPECT_EQ(TNumberParameter("n", 1.0 / 7.0).GetText(), "0.142857");
  auto m = std::make_shared<TDoubleMatrix>(2, 2);
  m->Set(0, 0, 1);
  m->Set(0, 1, 2);
  m->Set(1, 0, 3);
  m->Set(1, 1, 4);
  EXPECT_EQ(TMatrixParameter(m).GetText(), "(1, 2)(3, 4)");
  EXPECT_EQ(TMatrixParameter(nullptr).GetText(), "");
}

TEST(ParameterKinds, MatrixAndInterfaceParametersStayReadOnly) {
  TMatrixParameter m(nullptr);
  m.SetReadOnly(false);
  EXPECT_TRUE(m.GetReadOnly());
  TInterfaceParameter i(typeid(IParameters), nullptr);
  i.SetReadOnly(false);
  EXPECT_TRUE(i.GetReadOnly());
}

TEST(ParameterKinds, MatrixLabelsFallBackToFormatThenNumber) {
  TMatrixParameter withFormat(std::make_shared<TDoubleMatrix>(2, 2), "", "Atom %d", {"a"}, {"r0"}, {false, true});
  EXPECT_EQ(withFormat.GetColumnLabel(0), "a");
  EXPECT_EQ(withFormat.GetColumnLabel(1), "1");
  EXPECT_EQ(withFormat.GetRowLabel(0, 9), "r0");
  EXPECT_EQ(withFormat.GetRowLabel(1, 9), "Atom 9");
  TMatrixParameter plain(nullptr);
  EXPECT_EQ(plain.GetRowLabel(3, 12), "12");
  EXPECT_TRUE(withFormat.GetMask(0, 1));
  EXPECT_FALSE(withFormat.GetMask(1, 1));
}

TEST(ParameterEditors, AnEditReachesObserversAsParameterChanged) {
  Observer o;
  auto p = Observed(o);
  auto edit = std::make_shared<Editor>();
  auto param = std::make_shared<TNumberParameter>("n", 1.0);
  p->AddParam("n", param, edit, false);
  EXPECT_EQ(edit->param, param.get());
  EXPECT_FALSE(param->GetReadOnly());
  edit->notifier.Notify(peValueEdited);
  EXPECT_EQ(o.edited, 1);
  EXPECT_EQ(o.last, param.get());
  p->DeleteParam("n");
  edit->notifier.Notify(peValueEdited);
  EXPECT_EQ(o.edited, 1);
}

TEST(ParameterEditors, ReplacingAnEditorDetachesTheOldOne) {
  auto param = std::make_shared<TStringParameter>("s", "v");
  auto first = std::make_shared<Editor>();
  auto second = std::make_shared<Editor>();
  param->SetEditor(first);
  param->SetEditor(second);
  EXPECT_EQ(first->param, nullptr);
  EXPECT_EQ(second->param, param.get());
}

TEST(ParameterAssign, CopiesValuesWithoutSharingThem) {
  TParameters a, b;
  a.SetFloat("x", 1.0);
  b.AssignParams(a);
  b.SetFloat("x", 5.0);
  EXPECT_EQ(a.GetFloat("x"), 1.0);
  EXPECT_EQ(b.GetFloat("x"), 5.0);
}

TEST(ParameterValues, ValueAndObjectFacesStayOneEntry) {
  // Values written by name are kept without an object until one is asked for; from then on both faces agree.
  TParameters p;
  p.SetFloat("n", 1.5);
  p.SetBool("b", true);
  p.SetString("s", "x");
  auto n = p.GetNumberParam("n");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(p.GetParamAt(1)->GetText(), "yes");
  EXPECT_EQ(p.GetNameAt(2), "s");
  n->SetValue(2.5);
  EXPECT_EQ(p.GetFloat("n"), 2.5);
  p.SetFloat("n", 3.5);
  EXPECT_EQ(n->GetValue(), 3.5);
  // A write of another kind replaces the entry where it stands.
  p.SetString("n", "text");
  EXPECT_EQ(p.GetNameAt(0), "n");
  EXPECT_EQ(p.GetFloat("n"), 0.0);
  EXPECT_EQ(p.GetString("n"), "text");
}

TEST(ParameterValues, PositionedWritesFollowTheEntryWhenItMoves) {
  TParameters p;
  int hint = -1;
  p.SetFloat("a", 1.0);
  p.SetFloatAt(hint, "t", 2.0);
  EXPECT_EQ(hint, 1);
  p.DeleteParam("a"); // "t" moves to position 0: the stale hint must not write into another entry
  p.SetFloat("c", 7.0);
  p.SetFloatAt(hint, "t", 3.0);
  EXPECT_EQ(p.GetFloat("t"), 3.0);
  EXPECT_EQ(p.GetFloat("c"), 7.0);
  int text = -1;
  p.SetStringAt(text, "t", "now a text"); // another kind: replaced in place, as SetString does
  EXPECT_EQ(p.GetString("t"), "now a text");
  EXPECT_EQ(p.Count(), 2);
}

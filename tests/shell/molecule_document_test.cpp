// The workbench's molecule: every edit is one undo step that restores the molecule exactly; a run's structure
// replaces it without history; a locked document refuses edits.
#include "shell/molecule_document.h"
#include "test_support.h"

#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {
// Atom count, bond count and every atom's coordinates: what an undo must bring back.
QString Fingerprint(const IMolecule& m) {
  QString s = QString("%1/%2/%3").arg(m.VertexCount()).arg(m.EdgeCount()).arg(QString::fromStdString(m.GetName()));
  for (int i = 0; i < m.VertexCount(); ++i) {
    const IAtom* a = m.GetAtom(i);
    s += QString(" %1,%2,%3").arg(a->GetX3D()).arg(a->GetY3D()).arg(a->GetZ3D());
  }
  return s;
}
} // namespace

class MoleculeDocumentTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void UndoAndRedoRestoreExactCopies() {
    TMoleculeDocument doc;
    int changes = 0;
    connect(&doc, &TMoleculeDocument::changed, this, [&] { ++changes; });
    QVERIFY(doc.Edit("Add atoms", [](IMolecule& m) {
      m.SetName("ethane");
      IAtom* a = m.AddAtom();
      IAtom* b = m.AddAtom();
      b->SetX3D(1.54);
      m.ConnectAtoms(a, b);
    }));
    const QString two = Fingerprint(*doc.Molecule());
    QVERIFY(doc.Edit("Move", [](IMolecule& m) { m.GetAtom(1)->SetY3D(2); }));
    const QString moved = Fingerprint(*doc.Molecule());
    QVERIFY(moved != two);

    doc.UndoStack()->undo();
    QCOMPARE(Fingerprint(*doc.Molecule()), two);
    doc.UndoStack()->undo();
    QCOMPARE(doc.Molecule()->VertexCount(), 0);
    doc.UndoStack()->redo();
    doc.UndoStack()->redo();
    QCOMPARE(Fingerprint(*doc.Molecule()), moved);
    QCOMPARE(changes, 6);
  }

  void FailedEditLeavesNothingBehind() {
    TMoleculeDocument doc;
    QVERIFY(doc.Edit("One", [](IMolecule& m) { m.AddAtom(); }));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, doc.Edit("Half", [](IMolecule& m) {
      m.AddAtom();
      throw std::runtime_error("refused");
    }));
    QCOMPARE(doc.Molecule()->VertexCount(), 1);
    QCOMPARE(doc.UndoStack()->count(), 1);
  }

  void ReplaceClearsHistoryAndLockRefusesEdits() {
    TMoleculeDocument doc;
    QVERIFY(doc.Edit("One", [](IMolecule& m) { m.AddAtom(); }));
    auto incoming = NewMolecule();
    incoming->SetName("from a run");
    incoming->AddAtom();
    incoming->AddAtom();
    doc.Replace(*incoming);
    QCOMPARE(Fingerprint(*doc.Molecule()), Fingerprint(*incoming));
    QCOMPARE(doc.UndoStack()->count(), 0);

    doc.SetLocked(true);
    QVERIFY(!doc.Edit("Refused", [](IMolecule& m) { m.AddAtom(); }));
    QCOMPARE(doc.Molecule()->VertexCount(), 2);
  }
};

QTEST_MAIN(MoleculeDocumentTest)
#include "molecule_document_test.moc"

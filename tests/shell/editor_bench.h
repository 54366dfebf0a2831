#pragma once
// A molecule editor in a 400 x 400 window over a fresh document, driven by a small script of synthetic events:
//   draw | select | modify      the mode commands
//   el:SYMBOL | bond:KIND       a palette entry (by symbol) or a bond tool (0 single .. 3 aromatic)
//   cmd:ID                      any command of the editor's table
//   L:x,y  S:x,y  R:x,y         left click, Shift+left click, right click (the item menu answers "&Delete")
//   drag:x1,y1,x2,y2 (band:)    press, move, release with the left button
//   key:Delete | key:Escape     a key;  ctrl:A, ctrl:Z ...  a key with Ctrl
//   no                          the next question is answered No (unanswered ones are Yes)
//   paste:SMILES                adds a SMILES string as the paste command does
#include "shell/editor_widget.h"
#include "test_support.h"

#include "chem/smiles_writer.h"

#include <QAction>
#include <QMenu>
#include <QtTest>

namespace corvatin::test {

class TEditorBench {
public:
  TEditorBench() : editor(doc) {
    editor.resize(400, 400);
    editor.SetGraph(doc.Molecule());
    editor.runMenu = [](QMenu& menu, QPoint) {
      for (QAction* a : menu.actions())
        if (a->text() == "&Delete") a->trigger();
    };
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    if (!QTest::qWaitForWindowExposed(&editor)) qWarning("the editor window was not exposed");
  }

  IMolecule& M() { return *doc.Molecule(); }
  shell::TEditorController& Controller() { return editor.Controller(); }

  /// SMILES and every atom's symbol and view coordinates: what an undo step must restore.
  QString Fingerprint() {
    QString s = QString::fromStdString(WriteSMILES(M()));
    for (int i = 0; i < M().VertexCount(); ++i) {
      const IAtom* a = M().GetAtom(i);
      s += QString(" %1(%2,%3)")
               .arg(QString::fromStdString(a->GetSymbol()))
               .arg(a->GetX(), 0, 'g', 17)
               .arg(a->GetY(), 0, 'g', 17);
    }
    return s;
  }

  void Run(const QString& script) {
    for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
      const QString op = step.section(':', 0, 0), arg = step.section(':', 1);
      QList<int> n;
      for (const QString& v : arg.split(','))
        n << v.toInt();
      const QPoint p = n.size() >= 2 ? QPoint(n[0], n[1]) : QPoint();
      if (op == "draw" || op == "select" || op == "modify") {
        Trigger(op == "draw" ? "modeDrawing" : op == "select" ? "modeSelecting" : "modeModifying");
      } else if (op == "el") {
        const auto& palette = Controller().Palette();
        const auto it = std::find(palette.begin(), palette.end(), arg.toStdString());
        QVERIFY2(it != palette.end(), qPrintable(step));
        Trigger(QString("element%1").arg(it - palette.begin()));
      } else if (op == "bond") {
        const char* ids[] = {"bondSingle", "bondDouble", "bondTriple", "bondAromatic"};
        Trigger(ids[n[0]]);
      } else if (op == "cmd") {
        Trigger(arg);
      } else if (op == "L" || op == "S") {
        QTest::mouseClick(&editor, Qt::LeftButton, op == "S" ? Qt::ShiftModifier : Qt::NoModifier, p);
      } else if (op == "R") {
        QTest::mouseClick(&editor, Qt::RightButton, Qt::NoModifier, p);
      } else if (op == "drag" || op == "band") {
        QTest::mousePress(&editor, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseMove(&editor, QPoint(n[2], n[3]));
        QTest::mouseRelease(&editor, Qt::LeftButton, Qt::NoModifier, QPoint(n[2], n[3]));
      } else if (op == "key") {
        QTest::keyClick(&editor, arg == "Delete" ? Qt::Key_Delete : Qt::Key_Escape);
      } else if (op == "ctrl") {
        QTest::keyClick(&editor, static_cast<Qt::Key>(Qt::Key_A + (arg[0].unicode() - 'A')), Qt::ControlModifier);
      } else if (op == "no") {
        dialogs.answers.push_back(false);
      } else if (op == "paste") {
        QVERIFY(Controller().AddSmiles(arg.toStdString()));
      } else {
        QFAIL(qPrintable("unknown script step " + step));
      }
    }
  }

  TScriptedDialogs dialogs;
  shell::TMoleculeDocument doc;
  shell::TGraphEditor editor;

private:
  void Trigger(const QString& id) {
    QAction* action = editor.Commands()->Action(id);
    QVERIFY2(action, qPrintable(id));
    action->trigger();
  }
};

} // namespace corvatin::test

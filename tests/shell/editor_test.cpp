// The molecule editor driven by synthetic mouse and key events in a 400 x 400 window (scale 400 pixels per view
// unit, origin at the centre): drawing, modifying, selecting, moving, deleting with the confirmations' texts,
// undo and redo (every edit one step that restores the molecule exactly; a failed edit leaves nothing, a run's
// structure comes without history), SMILES through the clipboard, the palette and the periodic table window it is
// chosen in (every element on the grid once, the palette limit, "&Default list", confirmed and cancelled choices,
// colours that change only on OK), and the command states while a run holds the molecule. What the drawing is
// worth: benzene drawn by mouse and completed is the molecule of its SMILES, and the picture (bond kinds, selection,
// colours) stays as it was.
#include "editor_bench.h"

#include "chem/smiles_writer.h"
#include "core/settings.h"
#include "shell/editor_palette.h"
#include "shell/periodic_table.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#include <QtTest>

#include <cmath>

using namespace corvatin;
using namespace corvatin::shell;
using corvatin::test::TEditorBench;

namespace {
/// A regular hexagon of radius 80 pixels around the window's centre, as a script of clicks.
QString Hexagon() {
  QStringList points;
  for (int i = 0; i < 6; ++i)
    points << QString("%1,%2")
                  .arg(200 + std::lround(80 * std::cos(i * M_PI / 3)))
                  .arg(200 + std::lround(80 * std::sin(i * M_PI / 3)));
  // Single, double, single, double, single, double: the last click closes the ring on the first atom.
  return QString("el:C L:%1 L:%2 bond:1 L:%3 bond:0 L:%4 bond:1 L:%5 bond:0 L:%6 bond:1 L:%1 R:395,395")
      .arg(points[0], points[1], points[2], points[3], points[4], points[5]);
}

void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
QPushButton* Command(const char* name) { return PeriodicTableForm()->findChild<QPushButton*>(name); }
} // namespace

class EditorTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void MouseAndKeyScripts_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("smiles");
    QTest::addColumn<QString>("asked");
    const auto row = [](const char* name, const QString& script, const char* smiles, const char* asked) {
      QTest::newRow(name) << script << QString(smiles) << QString(asked);
    };
    const QString two = "draw L:100,200 L:200,200 R:300,300 ";
    const char* sure = "Are you sure you want to delete selected items?";
    row("two clicks join two atoms, a right click ends the chain", two + "L:300,300", "CC.C", "");
    row("a bond from an atom to empty space ends in the current element",
        "draw L:100,200 R:300,300 el:N L:100,200 L:200,200", "CN", "");
    row("drawing over a bond raises it to double and triple, then leaves it and the chain start",
        "el:N L:100,200 el:C L:200,200 L:100,200 L:200,200 L:100,200 L:300,200", "CC#N", "");
    row("the double-bond tool leaves an existing bond alone", "draw L:100,200 L:200,200 bond:1 L:100,200 R:300,300",
        "CC", "");
    row("Modifying gives an atom the current symbol and a bond the bond tool",
        two + "modify el:O L:100,200 bond:1 L:150,200", "C=O", "");
    row("a band around both ends selects the bond; Delete removes all", two + "select band:50,150,250,250 key:Delete",
        "", sure);
    row("a band around one end selects that atom; its bond goes with it", two + "select band:50,150,150,250 key:Delete",
        "C", sure);
    row("answering No deletes nothing", two + "select band:50,150,250,250 no key:Delete", "CC", sure);
    row("the item menu deletes an atom, then a bond",
        "draw L:100,200 L:200,200 L:300,200 R:350,350 R:300,200 R:150,200", "C.C",
        "Are you sure you want to delete this vertex?|Are you sure you want to delete this edge?");
    row("Delete all on an empty drawing asks nothing", "cmd:editDeleteAll", "", "");
    row("Delete all asks, then clears", "draw L:100,200 L:200,200 cmd:editDeleteAll", "",
        "Are you sure you want to delete the graph?");
    row("Escape ends the chain, Ctrl+A selects everything",
        "draw L:100,200 L:200,200 key:Escape L:300,300 R:390,390 ctrl:A key:Delete", "", sure);
    row("Shift-click adds an atom to the selection in Drawing mode", two + "S:100,200 key:Delete", "C", sure);
    row("Selecting a bond and Shift-clicking it again leaves nothing selected",
        two + "select L:150,200 S:150,200 key:Delete", "CC", "");
  }

  void MouseAndKeyScripts() {
    QFETCH(QString, script);
    QFETCH(QString, smiles);
    QFETCH(QString, asked);
    TEditorBench bench;
    bench.Run(script);
    QCOMPARE(QString::fromStdString(WriteSMILES(bench.M())), smiles);
    QCOMPARE(bench.dialogs.asked.join('|'), asked);
  }

  void HitTestingPrefersAtomsAndTheFirstInIndexOrder() {
    auto m = NewMolecule();
    IAtom* a = m->AddAtom();
    IAtom* b = m->AddAtom();
    IAtom* c = m->AddAtom();
    IAtom* hidden = m->AddAtom(); // never given coordinates
    for (IAtom* x : {a, b, c})
      x->SetSymbol("C");
    a->SetX(-0.25), a->SetY(0);
    b->SetX(-0.25), b->SetY(0); // on top of a
    c->SetX(0.25), c->SetY(0);
    m->ConnectAtoms(a, c);
    m->ConnectAtoms(hidden, c);
    const TScreenMapping map{400, 400, 1.0, {}};
    QCOMPARE(HitAtom(*m, map, QPoint(104, 203), {}), a);
    QCOMPARE(HitAtom(*m, map, QPoint(107, 200), {}), nullptr);       // beyond 6 pixels in x
    QCOMPARE(HitBond(*m, map, QPoint(200, 206), {}), m->GetBond(0)); // within 6 pixels of the line
    QCOMPARE(HitBond(*m, map, QPoint(200, 207), {}), nullptr);
    QCOMPARE(HitBond(*m, map, QPoint(296, 199), {}), m->GetBond(0)); // but the atom wins there:
    QCOMPARE(HitAtom(*m, map, QPoint(296, 199), {}), c);
    QCOMPARE(HitAtom(*m, map, QPoint(200, 200), {}), nullptr); // the unpositioned atom is nowhere
    QCOMPARE(SegmentDistance(QPoint(0, 10), QPoint(5, 0), QPoint(5, 0)), -1.0);
    // Steep segments measure horizontally; beyond an end the distance is city-block.
    QCOMPARE(SegmentDistance(QPoint(3, 50), QPoint(0, 0), QPoint(0, 100)), 3.0);
    QCOMPARE(SegmentDistance(QPoint(3, 104), QPoint(0, 0), QPoint(0, 100)), 7.0);
  }

  void TheSelectionListenerHearsOfTheSingleItemOrTheGraph() {
    struct : ISelectionListener {
      QStringList heard;
      void SelectionChanged(const Ptr<IParameters>& item, SelectionKind kind) override {
        heard << QString("%1:%2").arg(kind).arg(item ? QString::fromStdString(item->GetString("Symbol")) : "none");
      }
    } listener;
    TEditorBench bench;
    bench.Run("el:N L:100,200 el:O L:200,200 R:300,300 select");
    bench.editor.SetSelectionListener(&listener);
    bench.Run("L:100,200 S:200,200 L:150,200 key:Delete");
    bench.editor.SetGraph(nullptr);
    QCOMPARE(listener.heard.join(' '), QString("0:N 2: 1: 2: 2:none"));
  }

  void ZoomKeepsThePointUnderTheCursorAndFitCentresTheDrawing() {
    TEditorBench bench;
    bench.Run("draw L:100,100 L:140,120 R:390,390");
    TScreenMapping& map = bench.Controller().Mapping();
    const QPointF under = map.ToModel(QPoint(300, 50));
    QWheelEvent wheel(QPointF(300, 50), bench.editor.mapToGlobal(QPointF(300, 50)), {}, QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bench.editor, &wheel);
    QCOMPARE(map.zoom, 1.25 * 1.25);
    QCOMPARE(map.ToScreen(under.x(), under.y()), QPoint(300, 50));
    bench.Run("cmd:viewFit");
    const QPoint a = map.ToScreen(bench.M().GetAtom(0)->GetX(), bench.M().GetAtom(0)->GetY());
    const QPoint b = map.ToScreen(bench.M().GetAtom(1)->GetX(), bench.M().GetAtom(1)->GetY());
    QVERIFY(std::abs((a + b).x() / 2 - 200) <= 1 && std::abs((a + b).y() / 2 - 200) <= 1);
    QVERIFY(std::abs(b.x() - a.x()) >= 240 && std::abs(b.x() - a.x()) <= 320); // 80 % of the width with the atoms
    bench.Run("L:" + QString("%1,%2").arg(b.x()).arg(b.y()) + " L:200,350");   // drawing goes on at the new scale
    QCOMPARE(bench.M().EdgeCount(), 2);
  }

  void MovingIsRefusedForThreeDimensionalAtomsWhileLocked() {
    TEditorBench bench;
    bench.Run("draw L:100,200 L:200,200 R:300,300 select band:50,150,250,250");
    QVERIFY(bench.doc.Edit("3D", [](IMolecule& m) { m.GetAtom(0)->SetX3D(1.0); }));
    bench.Run("band:50,150,250,250");
    const QString before = bench.Fingerprint();
    QTest::mousePress(&bench.editor, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&bench.editor, QPoint(240, 260));
    QVERIFY(bench.Controller().MoveRefused());
    QCOMPARE(bench.editor.cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseRelease(&bench.editor, Qt::LeftButton, {}, QPoint(240, 260));
    QCOMPARE(bench.Fingerprint(), before);

    bench.Run("cmd:editLock3D band:50,150,250,250");
    QTest::mousePress(&bench.editor, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&bench.editor, QPoint(240, 260));
    QCOMPARE(bench.Controller().Moving().atoms.size(), size_t(2));
    QTest::mouseRelease(&bench.editor, Qt::LeftButton, {}, QPoint(240, 260));
    QCOMPARE(bench.M().GetAtom(1)->GetX(), 40.0 / 400);
    QCOMPARE(bench.M().GetAtom(1)->GetY(), 60.0 / 400);
    QCOMPARE(bench.M().GetAtom(0)->GetX(), -100.0 / 400 + 40.0 / 400);
  }

  void EveryStepUndoesExactlyAndRedoes() {
    TEditorBench bench;
    QStringList states = {bench.Fingerprint()};
    const QStringList steps = {"draw L:100,200",
                               "L:200,200",
                               "L:100,200",
                               "R:300,300 modify el:O L:200,200",
                               "select L:200,200 drag:200,200,240,260",
                               "cmd:editHydrogenCompletion",
                               "paste:c1ccncc1",
                               "ctrl:A key:Delete"};
    for (const QString& step : steps) {
      bench.Run(step);
      QCOMPARE(bench.doc.UndoStack()->count(), states.size());
      states << bench.Fingerprint();
    }
    QVERIFY(bench.M().VertexCount() == 0);
    for (qsizetype i = states.size() - 2; i >= 0; --i) {
      bench.Run("ctrl:Z");
      QCOMPARE(bench.Fingerprint(), states[i]);
    }
    for (qsizetype i = 1; i < states.size(); ++i) {
      bench.Run("ctrl:Y");
      QCOMPARE(bench.Fingerprint(), states[i]);
    }
  }

  void AFailedEditLeavesNothingAndARunsStructureReplacesTheMoleculeWithoutHistory() {
    TMoleculeDocument doc;
    QVERIFY(doc.Edit("One", [](IMolecule& m) { m.AddAtom(); }));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, doc.Edit("Half", [](IMolecule& m) {
      m.AddAtom();
      throw std::runtime_error("refused");
    }));
    QCOMPARE(doc.Molecule()->VertexCount(), 1);
    QCOMPARE(doc.UndoStack()->count(), 1);
    auto incoming = NewMolecule();
    incoming->SetName("from a run");
    incoming->AddAtom()->SetX3D(1.5);
    incoming->AddAtom();
    doc.Replace(*incoming);
    QCOMPARE(doc.Molecule()->GetName(), std::string("from a run"));
    QCOMPARE(doc.Molecule()->GetAtom(0)->GetX3D(), 1.5);
    QCOMPARE(doc.Molecule()->VertexCount(), 2);
    QCOMPARE(doc.UndoStack()->count(), 0);
  }

  void ALockedOrReadOnlyEditorChangesNothing() {
    TEditorBench bench;
    bench.Run("draw L:100,200 L:200,200");
    const QString drawn = bench.Fingerprint();
    bench.doc.SetLocked(true); // a run holds the molecule
    bench.Run("L:300,200 R:390,390 L:300,300 ctrl:A key:Delete ctrl:Z cmd:editHydrogenCompletion");
    QCOMPARE(bench.Fingerprint(), drawn);
    TCommandActions& commands = *bench.editor.Commands();
    for (const char* id : {"editDeleteAll", "editUndo", "editHydrogenCompletion", "modeDrawing", "editPasteSmiles"})
      QVERIFY2(!commands.Action(id)->isEnabled(), id);
    QVERIFY(!commands.Action("editLock3D")->isChecked());
    QVERIFY(!commands.Action("element0")->isVisible());
    QVERIFY(commands.Action("viewHydrogens")->isEnabled());
    bench.doc.SetLocked(false); // the run paused
    bench.Run("draw L:300,300");
    QCOMPARE(bench.M().VertexCount(), 3);
    bench.editor.SetReadOnly(true);
    bench.Run("L:300,100");
    QCOMPARE(bench.M().VertexCount(), 3);
    bench.editor.SetGraph(nullptr);
    QVERIFY(!commands.Action("editDeleteAll")->isVisible());
    QVERIFY(!commands.Action("modeDrawing")->isVisible());
  }

  void SmilesGoThroughTheClipboard() {
    TEditorBench bench;
    bench.Run("draw L:100,200 L:200,200 el:O L:300,200 ctrl:C");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("CCO"));
    QGuiApplication::clipboard()->setText("c1ccccc1\n");
    bench.Run("ctrl:V");
    QCOMPARE(bench.M().VertexCount(), 3 + 12);
    for (int i = 0; i < bench.M().VertexCount(); ++i)
      QVERIFY(bench.M().GetAtom(i)->GetPositioned());
    QCOMPARE(bench.doc.UndoStack()->count(), 4);
    QGuiApplication::clipboard()->setText("C1CC(");
    bench.Run("ctrl:V");
    QCOMPARE(bench.M().VertexCount(), 15);
    QCOMPARE(bench.dialogs.asked.size(), 1);
    QVERIFY(bench.dialogs.asked[0].startsWith("\"C1CC(\" is not a SMILES string: "));
  }

  void ThePaletteComesFromToolsAndCustomizeStoresTheChoice() {
    Registry().WriteStringList(kPalettePath, {});
    TEditorBench bench;
    const std::vector<std::string> defaults = {"H", "C", "N", "O", "S", "F", "Cl", "Br"};
    QCOMPARE(bench.Controller().Palette(), defaults);
    TCommandActions& commands = *bench.editor.Commands();
    QTimer::singleShot(0, [] {
      TPeriodicTableForm* form = PeriodicTableForm();
      QTest::mouseClick(form->Button(14), Qt::LeftButton); // Si
      QTest::mouseClick(form->Button(1), Qt::LeftButton);  // H released
      QTest::mouseClick(form->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    commands.Action("elementCustomize")->trigger();
    const std::vector<std::string> chosen = {"C", "N", "O", "F", "Si", "S", "Cl", "Br"};
    QCOMPARE(bench.Controller().Palette(), chosen);
    std::vector<std::string> stored;
    Registry().ReadStringList(kPalettePath, stored);
    QCOMPARE(stored, chosen);
    QCOMPARE(commands.Action("element4")->text(), QString("Si"));
    bench.Run("el:Si");
    QVERIFY(commands.Action("element4")->isChecked());
    bench.Run("select");
    QVERIFY(!commands.Action("element4")->isChecked());
    QCOMPARE(TEditorBench().Controller().Palette(), chosen); // the next editor starts with it
    Registry().WriteStringList(kPalettePath, {});
  }

  void BenzeneDrawnByMouseAndCompletedIsTheMoleculeOfItsSmiles() {
    TEditorBench bench;
    bench.Run(Hexagon() + " cmd:editAromaticityCompletion cmd:editHydrogenCompletion");
    QCOMPARE(QString::fromStdString(WriteSMILES(bench.M())), QString("c1ccccc1"));
    QCOMPARE(bench.M().VertexCount(), 12);
    for (int i = 0; i < bench.M().VertexCount(); ++i)
      QVERIFY(bench.M().GetAtom(i)->GetPositioned());
    const int steps = bench.doc.UndoStack()->count();
    bench.Run("cmd:editAromaticityCompletion cmd:editHydrogenCompletion"); // nothing left to do: no steps
    QCOMPARE(bench.doc.UndoStack()->count(), steps);
    test::SaveScreenshot(bench.editor.grab().toImage(), "editor_benzene");
  }

  void ThePictureShowsBondKindsSelectionAndElementColours() {
    TEditorBench bench;
    bench.Run("el:N L:60,200 el:C L:140,200 L:60,200 L:140,200 bond:1 L:220,140 bond:3 L:300,200 bond:0 "
              "el:O L:220,260 L:140,200 R:395,395 select L:300,200 S:260,170");
    QCOMPARE(bench.Controller().Selection().Count(), 2);
    QImage image(400, 400, QImage::Format_ARGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    TPaintOptions options;
    options.focused = true;
    TEditorPainter(bench.M(), bench.Controller().Mapping(), options)
        .Paint(p, bench.Controller().Selection(), bench.Controller().Moving());
    p.end();
    QVERIFY(test::MatchesReferenceImage(image, "editor_bond_kinds.png", 0.002));
    // The same drawing while the selection is dragged, for the screenshots.
    QTest::mousePress(&bench.editor, Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(&bench.editor, QPoint(320, 240));
    test::SaveScreenshot(bench.editor.grab().toImage(), "editor_moving_selection");
    QTest::mouseRelease(&bench.editor, Qt::LeftButton, {}, QPoint(320, 240));
    test::SaveScreenshot(bench.editor.grab().toImage(), "editor_molecule_selection");
  }

  void cleanupTestCase() { delete PeriodicTableForm(); }

  void EveryElementHasOneCellAndRowEightIsEmpty() {
    QList<int> seen(kMaxAtomicNumber + 1, 0);
    for (int r = 1; r <= 10; ++r)
      for (int c = 1; c <= 18; ++c)
        ++seen[GridElement(r, c)];
    for (int z = 1; z <= kMaxAtomicNumber; ++z)
      QVERIFY2(seen[z] == 1, qPrintable(QString::number(z)));
    for (int c = 1; c <= 18; ++c)
      QCOMPARE(GridElement(8, c), 0);
    QCOMPARE(GridElement(6, 3), 71); // Lu after Ba; La heads row 9
    QCOMPARE(GridElement(9, 3), 57);
  }

  void AtTheLimitNoFurtherButtonGoesDown() {
    TPeriodicTableForm* form = PeriodicTableForm();
    std::vector<std::string> many;
    for (int z = 1; z <= 16; ++z)
      many.emplace_back(ElementSymbol(z)); // more than the limit, as stored
    form->Prepare(many, 15);
    Click(form->Button(26));
    QVERIFY(!form->Button(26)->isChecked());
    Click(form->Button(16));
    Click(form->Button(15)); // two released: one may go down again, the second not
    Click(form->Button(26));
    Click(form->Button(29));
    QVERIFY(form->Button(26)->isChecked());
    QVERIFY(!form->Button(29)->isChecked());
    QCOMPARE(form->PressedSymbols().size(), size_t(15));
    Click(Command("defaultList"));
    const std::vector<std::string> defaults = {"H", "C", "N", "O", "F", "S", "Cl", "Br"}; // grid order
    QCOMPARE(form->PressedSymbols(), defaults);
  }

  void ConfirmingReturnsThePressedSymbolsAndCancelLeavesTheList() {
    std::vector<std::string> list = {"C", "Fe"};
    QTimer::singleShot(0, [] {
      Click(PeriodicTableForm()->Button(6));
      Click(PeriodicTableForm()->Button(26));
      Click(Command("ok"));
    });
    QVERIFY(PeriodicTableForm()->ChoosePalette(list, 15));
    QVERIFY(list.empty());
    list = {"O"};
    QTimer::singleShot(0, [] {
      Click(PeriodicTableForm()->Button(7));
      Click(Command("cancel"));
    });
    QVERIFY(!PeriodicTableForm()->ChoosePalette(list, 15));
    QCOMPARE(list, std::vector<std::string>{"O"});
  }

  void ColoursChangeOnlyOnOk() {
    test::TScriptedDialogs dialogs;
    TPeriodicTableForm* form = PeriodicTableForm();
    const Color oxygen = GetElementColor(8);
    const Color blue = MakeColor(0, 0, 255);
    form->Prepare({}, 0);
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(8);
    QCOMPARE(form->WorkingColor(8), blue);
    // The element's colour went into the shared custom colours first (it was not among them).
    QCOMPARE(CustomColors().value(0), QString("ColorA=%1").arg(oxygen, 0, 16));
    QCOMPARE(CustomColors().value(15), QString("ColorP=ffffff"));
    QTimer::singleShot(0, [] { Click(Command("cancel")); });
    form->exec();
    QCOMPARE(GetElementColor(8), oxygen);

    form->Prepare({}, 0);
    QCOMPARE(form->WorkingColor(8), oxygen); // the cancelled change is not offered again
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(8);
    form->ResetColor(8);
    QCOMPARE(form->WorkingColor(8), DefaultColor(8));
    dialogs.colors = {QColor(0, 0, 255)};
    form->ChangeColor(6);
    test::SaveScreenshot(form->grab().toImage(), "periodic_table");
    QTimer::singleShot(0, [] { Click(Command("ok")); });
    form->exec();
    QCOMPARE(GetElementColor(6), blue);
    Click(Command("defaultColors"));
    QCOMPARE(GetElementColor(6), blue); // the table changes on OK only
    QTimer::singleShot(0, [] { Click(Command("ok")); });
    form->exec();
    QCOMPARE(GetElementColor(6), DefaultColor(6));
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"

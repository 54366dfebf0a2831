// What the editor's drawing is worth: benzene drawn by mouse and completed gives the TOPS-MODE moments of its
// SMILES through the batch tool's path, and the picture (bond kinds, selection, colours) stays as it was.
#include "editor_bench.h"

#include "blocks/dispatcher.h"
#include "core/paths.h"
#include "procedures/batch.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>
#include <sstream>

using namespace corvatin;
using namespace corvatin::shell;
using corvatin::test::TEditorBench;

namespace {
struct TQuietRun : IRunFinished, IProgressLog, IProgressCallback {
  std::string last;
  void RunFinished() override {}
  void Clear() override {}
  void AddMessage(const std::string& text, int, bool transient) override {
    if (!transient) last = text;
  }
  void Progress(int, bool&, bool& refresh) override { refresh = false; }
  void ProgressText(int, bool&, const std::string&, bool& refresh) override { refresh = false; }
};

/// The data lines of a result file without their first cell (the structure's name).
QList<QByteArray> ValueLines(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QList<QByteArray> lines = f.readAll().split('\n');
  QList<QByteArray> values;
  for (qsizetype i = 1; i < lines.size(); ++i)
    if (!lines[i].trimmed().isEmpty()) values << lines[i].mid(lines[i].indexOf('\t')).trimmed();
  return values;
}

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
} // namespace

class EditorDrawingTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { test::InitWorkbenchTest(); }

  void DrawnBenzeneGivesTheMomentsOfItsSmiles() {
    TEditorBench bench;
    bench.Run(Hexagon() + " cmd:editAromaticityCompletion cmd:editHydrogenCompletion");
    QCOMPARE(QString::fromStdString(WriteSMILES(bench.M())), QString("c1ccccc1"));
    for (int i = 0; i < bench.M().VertexCount(); ++i)
      QVERIFY(bench.M().GetAtom(i)->GetPositioned());
    const int steps = bench.doc.UndoStack()->count();
    bench.Run("cmd:editAromaticityCompletion cmd:editHydrogenCompletion"); // nothing left to do: no steps
    QCOMPARE(bench.doc.UndoStack()->count(), steps);
    test::SaveScreenshot(bench.editor.grab().toImage(), "editor_benzene");

    // The catalogue as the batch tool builds it, its editor block working on a copy of the drawing.
    SetDataFolder(CORVATIN_DATA_DIR);
    auto dispatcher = std::make_shared<TConsoleDispatcher>();
    SetMainDispatcher(dispatcher);
    Ptr<IMolecule> drawn = NewMolecule();
    CopyMolecule(bench.M(), *drawn);
    TCatalogue catalogue({drawn, {}, dispatcher, [](const std::string& m) { QFAIL(m.c_str()); }});
    Ptr<TPackage> package = catalogue.FindPackage("TOPS-MODE");
    SelectWeights(*package, "all");
    QTemporaryDir dir;
    QFile smiles(dir.filePath("benzene.sml"));
    QVERIFY(smiles.open(QIODevice::WriteOnly));
    smiles.write("c1ccccc1\n");
    smiles.close();
    TBatchOptions options;
    options.files = {smiles.fileName().toStdString()};
    options.resultsDir = dir.filePath("results").toStdString();
    std::ostringstream log;
    QCOMPARE(RunProcedure(*package, options, log, false), int(beSuccess));

    // No file: the chain processes the structure the editor block hands over.
    package->GetInput()->SetFileName("");
    package->SetShowStructures(true);
    auto run = std::make_shared<TQuietRun>();
    QVERIFY(package->Execute(false, run, run, run));
    package->WaitForRun();
    QCOMPARE(run->last, std::string("Procedure execution successfully finished"));
    const QList<QByteArray> values = ValueLines(dir.filePath("results/TOPS-MODE.txt"));
    QCOMPARE(values.size(), 2);
    QVERIFY(values[0].count('\t') >= 15 * 15); // the moments of every weight
    QCOMPARE(values[1], values[0]);
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
};

QTEST_MAIN(EditorDrawingTest)
#include "editor_drawing_test.moc"

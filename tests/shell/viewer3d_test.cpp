// The 3D viewer: where the projection puts atoms, what a click picks, how a drag turns the view, the command
// states, the contribution colouring, the exported pictures; three molecules in two styles each against reference
// images (drawn by this viewer and checked by eye when they were made), and the screenshots of every style.
#include "shell/viewer3d_widget.h"
#include "test_support.h"
#include "viewer3d_test_util.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <numbers>

using namespace corvatin;
using namespace corvatin::shell;

namespace {

struct PlacedAtom {
  const char* symbol;
  double x, y, z;
};

/// Atoms at given view coordinates (display radius 0.02), joined by the given bonds.
Ptr<IMolecule> Placed(std::initializer_list<PlacedAtom> atoms, std::initializer_list<std::pair<int, int>> bonds) {
  Ptr<IMolecule> m = NewMolecule();
  for (const PlacedAtom& a : atoms) {
    IAtom* atom = m->AddAtom();
    atom->SetSymbol(a.symbol);
    atom->SetX(a.x);
    atom->SetY(a.y);
    atom->SetZ(a.z);
    atom->SetDisplayRadius(0.02);
  }
  for (auto [a, b] : bonds)
    m->ConnectIndices(a, b);
  return m;
}

/// "O" for an atom, "C-H" for a bond, "" for nothing.
QString Describe(const TPick& pick) {
  if (pick.atom) return QString::fromStdString(pick.atom->GetSymbol());
  if (pick.bond)
    return QString::fromStdString(pick.bond->GetAtom1()->GetSymbol() + "-" + pick.bond->GetAtom2()->GetSymbol());
  return {};
}

class TRecorder : public ISelectionListener {
public:
  void SelectionChanged(const Ptr<IParameters>& item, SelectionKind kind) override { seen.emplace_back(item, kind); }
  std::vector<std::pair<Ptr<IParameters>, SelectionKind>> seen;
};

const CommandRow& Row(TGraph3DViewer& viewer, const QString& id) {
  for (const CommandRow& row : viewer.Commands()->Table())
    if (row.id == id) return row;
  throw std::out_of_range(id.toStdString());
}

bool SameColour(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8 && std::abs(a.blue() - b.blue()) <= 8;
}

struct Style {
  const char* name;
  DrawStyle draw;
  AtomStyle atom;
  BondStyle bond;
};

const Style kBallsAndSticks{"balls", DrawStyle::BallAndSticks, AtomStyle::Balls, BondStyle::Sticks};
const Style kSymbols{"symbols", DrawStyle::BallAndSticks, AtomStyle::Symbols, BondStyle::Sticks};
const Style kSticks{"sticks", DrawStyle::Sticks, AtomStyle::Balls, BondStyle::Sticks};
const Style kBondTypes{"bond-types", DrawStyle::Sticks, AtomStyle::Balls, BondStyle::BondTypes};
const Style kBondNumbers{"bond-numbers", DrawStyle::BallAndSticks, AtomStyle::Balls, BondStyle::BondNumber};

/// Haloperidol: a drug with a fluorine and a chlorine.
const char* kHaloperidol = "OC1(CCN(CCCC(=O)c2ccc(F)cc2)CC1)c1ccc(Cl)cc1";

/// The viewer's picture of molecule in style at size, turned a little so that depth shows, fitted to the size.
QImage Draw(const Ptr<IMolecule>& molecule, const Style& style, QSize size, ColourMode colours = ColourMode::Elements) {
  TGraph3DViewer viewer;
  viewer.resize(size);
  viewer.SetGraph(molecule);
  TViewer3DScene& scene = viewer.Scene();
  scene.SetViewMatrix(MatrixProduct(RotationX(0.5f), RotationY(0.3f)));
  scene.SetDrawStyle(style.draw);
  scene.SetAtomStyle(style.atom);
  scene.SetBondStyle(style.bond);
  scene.SetColourMode(colours);
  scene.Fit(size);
  return viewer.Picture();
}

} // namespace

class Viewer3DTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { corvatin::test::InitWorkbenchTest(); }

  void ProjectionPutsAnAtomWhereViewMatrixAndPerspectiveSay() {
    // Expected screen points worked by hand: (x', y', z') = view (x, y, -z); w = (1.4 - z') / 1.4;
    // screen = round(S x'/w + width/2), S = min(width, height); radius round(S r).
    struct Case {
      const char* what;
      Matrix4f view;
      double x, y, z;
      int sx, sy;
    } cases[] = {
        {"identity at depth 0", IdentityMatrix(), 0.1, -0.2, 0.0, 230, 90},
        {"identity, farther away: drawn nearer the centre", IdentityMatrix(), 0.1, -0.2, 0.35, 224, 102},
        {"quarter turn about z, nearer: drawn farther out", RotationZ(std::numbers::pi_v<float> / 2), 0.1, -0.2, -0.35,
         120, 110},
    };
    for (const Case& c : cases) {
      Ptr<IMolecule> m = Placed({{"C", c.x, c.y, c.z}}, {});
      TViewer3DScene scene;
      scene.SetMolecule(m.get());
      scene.SetViewMatrix(c.view);
      scene.Project(QSize(400, 300));
      const TAtomRecord* r = scene.RecordOf(m->GetAtom(0));
      QVERIFY2(r, c.what);
      QCOMPARE(QPoint(r->sx, r->sy), QPoint(c.sx, c.sy));
      QCOMPARE(r->sr, 6);
    }
    // An atom never given coordinates (a structure file without them) is not drawn at all.
    Ptr<IMolecule> unplaced = NewMolecule();
    unplaced->AddAtom()->SetSymbol("C");
    TViewer3DScene scene;
    scene.SetMolecule(unplaced.get());
    scene.Project(QSize(400, 300));
    QVERIFY(scene.DrawList().empty());
  }

  void SticksDrawAMixedBondHalfInEachAtomsColour() {
    Ptr<IMolecule> m = Placed({{"C", -0.3, 0, 0}, {"O", 0.3, 0, 0}}, {{0, 1}});
    TGraph3DViewer viewer;
    viewer.resize(400, 400);
    viewer.SetGraph(m);
    viewer.Scene().SetDrawStyle(DrawStyle::Sticks);
    const QImage image = viewer.Picture(); // C at x = 80, O at x = 320, y = 200
    QCOMPARE(image.pixelColor(140, 200), QColor(144, 144, 144));
    QCOMPARE(image.pixelColor(260, 200), QColor(240, 0, 0));
  }

  void PickTakesTheNearestAtomThenABondBySegmentAndNeverAHiddenHydrogen() {
    // O and C share a screen point, O nearer; H to the right of C, N below left. 400 x 400 window, centre 200.
    Ptr<IMolecule> m =
        Placed({{"O", 0, 0, -0.1}, {"C", 0, 0, 0.1}, {"H", 0.3, 0, 0}, {"N", -0.3, 0.3, 0}}, {{1, 2}, {1, 3}});
    TViewer3DScene scene;
    scene.SetMolecule(m.get());
    const QSize size(400, 400);
    scene.Project(size);
    QCOMPARE(scene.DrawList().front()->symbol, std::string("C")); // farthest first
    QCOMPARE(scene.DrawList().back()->symbol, std::string("O"));  // nearest last
    struct Case {
      QPoint at;
      bool hideHydrogens;
      const char* expected;
    } cases[] = {
        {{200, 200}, false, "O"},   {{205, 194}, false, "O"},   {{320, 200}, false, "H"},
        {{260, 203}, false, "C-H"}, {{140, 264}, false, "C-N"}, {{260, 215}, false, ""},
        {{320, 200}, true, ""},     {{260, 203}, true, ""},     {{140, 264}, true, "C-N"},
    };
    for (const Case& c : cases) {
      scene.SetHideHydrogens(c.hideHydrogens);
      QCOMPARE(Describe(scene.Pick(c.at, size)), QString(c.expected));
    }
    scene.SetQuickDrawing(true);
    QVERIFY(scene.Pick({200, 200}, size).Empty()); // picking is off while drawing quickly
  }

  void DraggingTurnsTheViewByTiltAndRollAndReportsThePick() {
    Ptr<IMolecule> m = Placed({{"C", 0, 0, 0}, {"O", 0.2, 0, 0}}, {{0, 1}});
    TGraph3DViewer viewer;
    viewer.resize(400, 300);
    TRecorder recorder;
    viewer.SetSelectionListener(&recorder);
    viewer.SetGraph(m);
    const double pi = std::numbers::pi, s = 300;
    // Near the centre (200, 150) only the tilts apply; far from it the roll about the centre is added.
    Matrix4f expected = MatrixProduct(IdentityMatrix(), MatrixProduct(RotationX(static_cast<float>(-10 * pi / s)),
                                                                      RotationY(static_cast<float>(-5 * pi / s))));
    QTest::mousePress(&viewer, Qt::LeftButton, {}, QPoint(210, 150));
    QTest::mouseMove(&viewer, QPoint(215, 140));
    QTest::mouseRelease(&viewer, Qt::LeftButton, {}, QPoint(215, 140));
    const Matrix4f roll = RotationZ(static_cast<float>(std::atan2(0.0, 150.0) - std::atan2(100.0, 140.0)));
    expected = MatrixProduct(expected, MatrixProduct(MatrixProduct(RotationX(static_cast<float>(100 * pi / s)),
                                                                   RotationY(static_cast<float>(10 * pi / s))),
                                                     roll));
    QTest::mousePress(&viewer, Qt::LeftButton, {}, QPoint(350, 150));
    QTest::mouseMove(&viewer, QPoint(340, 250));
    QTest::mouseRelease(&viewer, Qt::LeftButton, {}, QPoint(340, 250));
    for (int i = 0; i < 16; ++i)
      QVERIFY(std::abs(viewer.Scene().ViewMatrix()[i] - expected[i]) < 1e-5f);
    // Both presses hit empty space: the graph was reported each time.
    QCOMPARE(recorder.seen.size(), size_t(2));
    QCOMPARE(recorder.seen.back().second, skGraph);
    QVERIFY(recorder.seen.back().first == QueryAs<IParameters>(m));
    // A press on the carbon at the centre reports it; in quick drawing a press neither picks nor turns.
    QTest::mouseClick(&viewer, Qt::LeftButton, {}, QPoint(200, 150));
    viewer.Scene().SetViewMatrix(IdentityMatrix());
    QCOMPARE(recorder.seen.back().second, skAtom);
    viewer.SetQuickDrawing(true);
    QTest::mousePress(&viewer, Qt::LeftButton, {}, QPoint(210, 150));
    QTest::mouseMove(&viewer, QPoint(250, 100));
    QTest::mouseRelease(&viewer, Qt::LeftButton, {}, QPoint(250, 100));
    QVERIFY(viewer.Scene().ViewMatrix() == IdentityMatrix());
    QCOMPARE(recorder.seen.size(), size_t(3));
  }

  void CommandStatesFollowStylesQuickDrawingAndReadOnlyAndClearAsksFirst() {
    corvatin::test::TScriptedDialogs dialogs;
    TGraph3DViewer viewer;
    QVERIFY(!Evaluate(Row(viewer, "clear")).visible); // no graph yet
    Ptr<IMolecule> m = Placed({{"C", 0, 0, 0}, {"O", 0.2, 0, 0}}, {{0, 1}});
    viewer.SetGraph(m);
    QVERIFY(!Evaluate(Row(viewer, "bondContributions")).enabled); // no local-contributions run yet
    // The bond style group steps 0 -> 1 -> 2 -> 0; atom styles belong to ball and sticks.
    for (BondStyle next : {BondStyle::BondTypes, BondStyle::BondNumber, BondStyle::Sticks}) {
      Row(viewer, "bondStyle").trigger();
      QCOMPARE(viewer.Scene().GetBondStyle(), next);
    }
    Row(viewer, "drawStyle").trigger();
    QVERIFY(!Evaluate(Row(viewer, "atomStyle")).enabled);
    Row(viewer, "drawStyle").trigger();
    Row(viewer, "bondNumber").trigger();
    viewer.SetQuickDrawing(true); // forces the sticks styles and locks them
    QCOMPARE(viewer.Scene().GetDrawStyle(), DrawStyle::Sticks);
    QCOMPARE(viewer.Scene().GetBondStyle(), BondStyle::Sticks);
    QVERIFY(!Evaluate(Row(viewer, "bondStyle")).enabled);
    viewer.SetReadOnly(true);
    QVERIFY(!Evaluate(Row(viewer, "clear")).enabled);
    viewer.SetReadOnly(false);
    // "&Clear" asks first; No keeps the graph, Yes clears it and the viewer's draw list follows.
    dialogs.answers = {false, true};
    Row(viewer, "clear").trigger();
    QCOMPARE(m->VertexCount(), 2);
    Row(viewer, "clear").trigger();
    QCOMPARE(dialogs.asked, QStringList(2, "Are you sure you want to clear this graph?"));
    QCOMPARE(m->VertexCount(), 0);
    QVERIFY(viewer.Scene().DrawList().empty());
    Row(viewer, "clear").trigger(); // an empty graph is not asked about
    QCOMPARE(dialogs.asked.size(), 2);
  }

  void ContributionColouringPutsTheLargestContributionsColourOnItsBond() {
    // The hydroxyl hydrogen written first makes the O-H bond bond 1, so the rows of the heavy-atom bonds ("Bond 2"
    // ...) are not the bonds' own indices: the colouring must follow the row labels.
    Ptr<IMolecule> m = corvatin::test::MoleculeWith3D("[H]OC(Cl)CC(=O)N", "test");
    const std::string mu = "\xC2\xB5";
    corvatin::test::RunLocalContributions(
        m, "Hydrophobicity",
        {{mu + "0", 0.1}, {"Hydrophobicity_" + mu + "1", 1.0}, {"Hydrophobicity_" + mu + "2", -0.4}});
    auto q = m->QueryParam<IMatrixParameter>("Bond contributions");
    QVERIFY(q);
    int largest = -1;
    double limit = 0;
    for (int r = 0; r < q->GetMatrix()->GetRowCount(); ++r)
      if (std::abs(q->GetMatrix()->Get(r, 0)) > limit) {
        limit = std::abs(q->GetMatrix()->Get(r, 0));
        largest = r;
      }
    const int bondIndex = QString::fromStdString(q->GetRowLabel(largest, largest + 1)).mid(5).toInt() - 1;
    QVERIFY(bondIndex >= 1);

    TGraph3DViewer viewer;
    viewer.resize(300, 300);
    viewer.SetGraph(m);
    QVERIFY(Evaluate(Row(viewer, "bondContributions")).enabled);
    Row(viewer, "sticks").trigger();
    Row(viewer, "bondContributions").trigger();
    const QImage image = viewer.Picture();
    viewer.Scene().Project(viewer.size());
    const QColor end = DivergingColour(q->GetMatrix()->Get(largest, 0), limit);
    for (int b = 0; b < m->EdgeCount(); ++b) {
      IBond* bond = m->GetBond(b);
      const TAtomRecord* a1 = viewer.Scene().RecordOf(bond->GetAtom1());
      const TAtomRecord* a2 = viewer.Scene().RecordOf(bond->GetAtom2());
      const QColor mid = image.pixelColor((a1->sx + a2->sx) / 2, (a1->sy + a2->sy) / 2);
      QCOMPARE(SameColour(mid, end), b == bondIndex);
    }
  }

  void ExportedPicturesHoldTheMoleculeAsDrawn() {
    corvatin::test::TScriptedDialogs dialogs;
    QTemporaryDir dir;
    TGraph3DViewer viewer;
    viewer.resize(320, 240);
    viewer.SetGraph(corvatin::test::MoleculeWith3D("c1ccccc1", "benzene"));
    dialogs.files = {{dir.filePath("picture")}, {dir.filePath("picture.png")}};
    Row(viewer, "saveSvg").trigger(); // the extension is added
    Row(viewer, "savePng").trigger();
    QCOMPARE(QImage(dir.filePath("picture.png")).size(), QSize(320, 240));

    QFile file(dir.filePath("picture.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int images = 0;
    QString title;
    QVERIFY(xml.readNextStartElement());
    QCOMPARE(xml.name(), QStringView(u"svg"));
    QCOMPARE(xml.attributes().value("viewBox").toString(), QString("0 0 320 240"));
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == QStringView(u"image")) ++images;
      if (xml.name() == QStringView(u"title")) title = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(title, QString("benzene"));
    QCOMPARE(images, 12); // one shaded ball per atom, hydrogens included
  }

  void MoleculesLookAsTheReferencePicturesInTwoStyles() {
    struct Case {
      const char* name;
      const char* smiles;
      Style style;
    } cases[] = {
        {"water", "O", kBallsAndSticks},
        {"water", "O", kSymbols},
        {"benzene", "c1ccccc1", kBallsAndSticks},
        {"benzene", "c1ccccc1", kBondTypes},
        {"haloperidol", kHaloperidol, kBallsAndSticks},
        {"haloperidol", kHaloperidol, kSticks},
    };
    for (const Case& c : cases) {
      const QImage image = Draw(corvatin::test::MoleculeWith3D(c.smiles, c.name), c.style, QSize(240, 240));
      const QString name = QString("viewer3d-%1-%2.png").arg(c.name, c.style.name);
      QVERIFY2(corvatin::test::MatchesReferenceImage(image, name, 0.01), qPrintable(name));
    }
  }

  void Screenshots() {
    const Ptr<IMolecule> drug = corvatin::test::MoleculeWith3D(kHaloperidol, "haloperidol");
    for (const Style& style : {kBallsAndSticks, kSymbols, kSticks, kBondTypes, kBondNumbers})
      corvatin::test::SaveScreenshot(Draw(drug, style, QSize(640, 480)), QString("viewer3d-%1").arg(style.name));
    const std::string mu = "\xC2\xB5";
    corvatin::test::RunLocalContributions(drug, "Hydrophobicity",
                                          {{"Hydrophobicity_" + mu + "1", 1.0}, {"Hydrophobicity_" + mu + "2", -0.2}});
    const QImage coloured = Draw(drug, kBallsAndSticks, QSize(640, 480), ColourMode::BondContributions);
    QVERIFY(coloured != Draw(drug, kBallsAndSticks, QSize(640, 480)));
    corvatin::test::SaveScreenshot(coloured, "viewer3d-bond-contributions");
  }
};

QTEST_MAIN(Viewer3DTest)
#include "viewer3d_test.moc"

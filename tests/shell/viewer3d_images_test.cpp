// The 3D viewer's pictures: three molecules in two styles each against reference images (drawn by this viewer
// and checked by eye when they were made), and the screenshots of every style and of the contribution colouring.
#include "shell/viewer3d_widget.h"
#include "test_support.h"
#include "viewer3d_test_util.h"

#include <QtTest>

using namespace corvatin;
using namespace corvatin::shell;

namespace {

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

class Viewer3DImagesTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { corvatin::test::InitWorkbenchTest(); }

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

QTEST_MAIN(Viewer3DImagesTest)
#include "viewer3d_images_test.moc"

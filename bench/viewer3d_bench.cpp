// Frames of the 3D viewer while the user turns a structure: a 1,000-atom one drawn quickly (plain lines, no depth
// sorting) must keep 30 frames a second, a 200-atom one drawn in full (shaded balls, depth sorting, anti-aliased
// sticks) should take well under 20 ms. Each frame turns the view a little, projects and paints an 800 x 600
// image, as a mouse move does.
#include "chem/geometry.h"
#include "chem/molecule.h"
#include "chem/smiles.h"
#include "shell/viewer3d_scene.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace corvatin::shell {
namespace {

/// A straight-chain alkane of n carbons with its hydrogens (3n + 2 atoms), laid out in 3D and fitted to the view.
Ptr<IMolecule> Alkane(int n) {
  Ptr<IMolecule> m = NewMolecule();
  ParseSMILES(std::string(static_cast<size_t>(n), 'C'), *m);
  GenerateGeometry(*m);
  FitView(*m);
  return m;
}

void Frames(benchmark::State& state, int carbons, bool quick, DrawStyle style) {
  const Ptr<IMolecule> m = Alkane(carbons);
  TViewer3DScene scene;
  scene.SetMolecule(m.get());
  scene.SetDrawStyle(style);
  scene.SetTransientQuick(quick);
  const QSize size(800, 600);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  int step = 0;
  for (auto _ : state) {
    ++step;
    scene.Turn(QPoint(400 + step % 7, 300), QPoint(403 + step % 7, 302), size);
    QPainter painter(&image);
    scene.Paint(painter, size);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["atoms"] = static_cast<double>(m->VertexCount());
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_QuickDrawing1000Atoms(benchmark::State& state) { Frames(state, 333, true, DrawStyle::Sticks); }
void BM_FullDrawing200AtomsBalls(benchmark::State& state) { Frames(state, 66, false, DrawStyle::BallAndSticks); }
void BM_FullDrawing200AtomsSticks(benchmark::State& state) { Frames(state, 66, false, DrawStyle::Sticks); }
void BM_FullDrawing1000AtomsBalls(benchmark::State& state) { Frames(state, 333, false, DrawStyle::BallAndSticks); }

BENCHMARK(BM_QuickDrawing1000Atoms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullDrawing200AtomsBalls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullDrawing200AtomsSticks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullDrawing1000AtomsBalls)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvatin::shell

int main(int argc, char** argv) {
  // Painting needs the GUI application object; no window is shown.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

#include "graph/layout.h"

#include "core/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace corvatin {

namespace {

/// Opens an update bracket and closes it however the scope is left.
class UpdateBracket {
public:
  explicit UpdateBracket(IGraph& graph) : graph_(graph) { graph_.BeginUpdate(); }
  ~UpdateBracket() { graph_.EndUpdate(); }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
  IGraph& graph_;
};

/// The working records: positions as separate arrays (the pair loop runs over them), fixed flags, edge ends.
struct LayoutState {
  std::vector<double> x, y, z;
  std::vector<double> fx, fy, fz;
  std::vector<char> fixed;
  std::vector<std::pair<int, int>> edges;

  size_t Size() const { return x.size(); }
};

/// Uniform in [-0.5, 0.5): 53 random bits, so the upper end is never reached.
double Uniform(std::mt19937_64& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53 - 0.5; }

void PlaceAtRandom(IGraph& graph) {
  // A fixed seed: the same drawing gets the same layout, which the user (and the tests) can rely on.
  std::mt19937_64 rng(0x5eed1a70u);
  for (int i = 0; i < graph.VertexCount(); ++i) {
    IVertex* v = graph.GetVertex(i);
    if (v->GetPositioned()) continue;
    double a = 0.0, b = 0.0, r = 0.0;
    do {
      a = Uniform(rng);
      b = Uniform(rng);
      const double c = Uniform(rng);
      r = std::sqrt(a * a + b * b + c * c);
    } while (r < 0.125 || r >= 0.25);
    v->SetX(a);
    v->SetY(b);
    v->SetZ(0.0);
    v->ResetPositioned(); // still free to move
  }
}

LayoutState ReadState(const IGraph& graph) {
  LayoutState s;
  const size_t n = static_cast<size_t>(graph.VertexCount());
  s.x.resize(n);
  s.y.resize(n);
  s.z.resize(n);
  s.fx.resize(n);
  s.fy.resize(n);
  s.fz.resize(n);
  s.fixed.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const IVertex* v = graph.GetVertex(static_cast<int>(i));
    s.x[i] = v->GetX();
    s.y[i] = v->GetY();
    s.z[i] = v->GetZ();
    s.fixed[i] = v->GetPositioned() ? 1 : 0;
  }
  s.edges.reserve(static_cast<size_t>(graph.EdgeCount()));
  for (int i = 0; i < graph.EdgeCount(); ++i) {
    const IEdge* e = graph.GetEdge(i);
    s.edges.emplace_back(e->GetVertex1()->GetIndex(), e->GetVertex2()->GetIndex());
  }
  return s;
}

void WriteState(IGraph& graph, const LayoutState& s) {
  UpdateBracket bracket(graph);
  for (size_t i = 0; i < s.Size(); ++i) {
    IVertex* v = graph.GetVertex(static_cast<int>(i));
    v->SetX(s.x[i]);
    v->SetY(s.y[i]);
    v->SetZ(s.z[i]);
  }
}

/// Coincident vertices would have no direction between them; they are pushed apart along a fixed one.
inline void NonZero(double& dx, double& dy, double& dz) {
  if (dx == 0.0 && dy == 0.0 && dz == 0.0) {
    dx = 0.01;
    dy = 0.01;
  }
}

/// One relaxation step; whether some free vertex moved by at least the tolerance in a positive direction.
bool Relax(LayoutState& s) {
  const size_t n = s.Size();
  std::fill(s.fx.begin(), s.fx.end(), 0.0);
  std::fill(s.fy.begin(), s.fy.end(), 0.0);
  std::fill(s.fz.begin(), s.fz.end(), 0.0);
  double* const x = s.x.data();
  double* const y = s.y.data();
  double* const z = s.z.data();
  double* const fx = s.fx.data();
  double* const fy = s.fy.data();
  double* const fz = s.fz.data();
  // Repulsion k / |d| along d, i.e. k d / |d|^2: no square root is needed per pair.
  for (size_t i = 0; i < n; ++i) {
    const double xi = x[i], yi = y[i], zi = z[i];
    double sx = 0.0, sy = 0.0, sz = 0.0;
    for (size_t j = i + 1; j < n; ++j) {
      double dx = x[j] - xi, dy = y[j] - yi, dz = z[j] - zi;
      NonZero(dx, dy, dz);
      const double c = kLayoutRepulsion / (dx * dx + dy * dy + dz * dz);
      dx *= c;
      dy *= c;
      dz *= c;
      fx[j] += dx;
      fy[j] += dy;
      fz[j] += dz;
      sx += dx;
      sy += dy;
      sz += dz;
    }
    fx[i] -= sx;
    fy[i] -= sy;
    fz[i] -= sz;
  }
  // Attraction k |d| along d: a spring of rest length zero.
  for (const auto& [u, w] : s.edges) {
    const size_t a = static_cast<size_t>(u), b = static_cast<size_t>(w);
    double dx = x[b] - x[a], dy = y[b] - y[a], dz = z[b] - z[a];
    NonZero(dx, dy, dz);
    dx *= kLayoutAttraction;
    dy *= kLayoutAttraction;
    dz *= kLayoutAttraction;
    fx[a] += dx;
    fy[a] += dy;
    fz[a] += dz;
    fx[b] -= dx;
    fy[b] -= dy;
    fz[b] -= dz;
  }
  bool moved = false;
  for (size_t i = 0; i < n; ++i) {
    if (s.fixed[i]) continue;
    const double mx = kLayoutStep * fx[i], my = kLayoutStep * fy[i], mz = kLayoutStep * fz[i];
    x[i] += mx;
    y[i] += my;
    z[i] += mz;
    // Only moves in the positive direction count, as the layout always has: the test is kept as it stands.
    if (mx >= kLayoutTolerance || my >= kLayoutTolerance || mz >= kLayoutTolerance) moved = true;
  }
  return moved;
}

/// The adjustment after the relaxation: the attraction's rest length is zero, so bonds come out of different
/// lengths; a few passes draw every edge towards the mean length, moving only the vertices that were free.
void EvenEdgeLengths(LayoutState& s) {
  if (s.edges.empty()) return;
  double mean = 0.0;
  for (const auto& [u, w] : s.edges) {
    const size_t a = static_cast<size_t>(u), b = static_cast<size_t>(w);
    mean += std::hypot(s.x[b] - s.x[a], s.y[b] - s.y[a], s.z[b] - s.z[a]);
  }
  mean /= static_cast<double>(s.edges.size());
  if (mean <= 0.0) return;
  constexpr int kPasses = 200;
  for (int pass = 0; pass < kPasses; ++pass) {
    double largest = 0.0;
    for (const auto& [u, w] : s.edges) {
      const size_t a = static_cast<size_t>(u), b = static_cast<size_t>(w);
      if (s.fixed[a] && s.fixed[b]) continue;
      double dx = s.x[b] - s.x[a], dy = s.y[b] - s.y[a], dz = s.z[b] - s.z[a];
      NonZero(dx, dy, dz);
      const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
      const double share = (mean - d) / d;
      largest = std::max(largest, std::fabs(mean - d));
      const double wa = s.fixed[a] ? 0.0 : (s.fixed[b] ? 1.0 : 0.5);
      const double wb = 1.0 - wa;
      s.x[a] -= wa * share * dx;
      s.y[a] -= wa * share * dy;
      s.z[a] -= wa * share * dz;
      s.x[b] += wb * share * dx;
      s.y[b] += wb * share * dy;
      s.z[b] += wb * share * dz;
    }
    if (largest < kLayoutTolerance) break;
  }
}

} // namespace

void OptimizeLayout(IGraph& graph, bool initialPlacement, bool postStep, bool moveAll,
                    const LayoutProgress& progress) {
  if (moveAll)
    for (int i = 0; i < graph.VertexCount(); ++i)
      graph.GetVertex(i)->ResetPositioned();
  if (initialPlacement) PlaceAtRandom(graph);

  LayoutState state = ReadState(graph);
  bool moved = true;
  for (int iteration = 1; moved && iteration <= kLayoutMaxIterations; ++iteration) {
    moved = Relax(state);
    if (progress) {
      bool refresh = false;
      const auto percent = static_cast<int>(RoundHalfEven(iteration * 100.0 / kLayoutMaxIterations));
      progress(percent, refresh);
      if (refresh) WriteState(graph, state);
    }
  }
  if (postStep) EvenEdgeLengths(state);
  WriteState(graph, state);
  if (moved && progress) {
    bool refresh = false;
    progress(0, refresh);
  }
}

} // namespace corvatin

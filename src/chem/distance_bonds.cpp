#include "chem/distance_bonds.h"

#include "core/errors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace corvatin {

namespace {

/// Overlapping coordinates (all atoms at one point, a file read with a wrong unit) would bond every pair; far
/// beyond any real coordination the perception gives up instead of building millions of bonds.
constexpr double kMaxBondsPerAtom = 12.0;

struct Site {
  double x, y, z, r;
  bool has3D;
};

} // namespace

bool ConnectByDistance(IMolecule& molecule) {
  const int n = molecule.VertexCount();
  std::vector<Site> sites(static_cast<size_t>(n));
  double largest = 0.0;
  for (int i = 0; i < n; ++i) {
    const IAtom* a = molecule.GetAtom(i);
    sites[static_cast<size_t>(i)] = {a->GetX3D(), a->GetY3D(), a->GetZ3D(), a->CovalentRadius(), a->Has3D()};
    largest = std::max(largest, a->CovalentRadius());
  }
  auto bonded = [&](int i, int j) {
    const Site& a = sites[static_cast<size_t>(i)];
    const Site& b = sites[static_cast<size_t>(j)];
    const double d = std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
    return !(d > kBondTolerance * std::fabs(a.r + b.r));
  };

  // Bonds that are too long go; pairs in reach that are not bonded yet come. Atoms are binned in cells as wide
  // as the longest possible bond, so only neighbouring cells need to be compared.
  std::vector<std::pair<int, int>> removed, added;
  for (int e = 0; e < molecule.EdgeCount(); ++e) {
    const IEdge* edge = molecule.GetEdge(e);
    const int i = edge->GetVertex1()->GetIndex(), j = edge->GetVertex2()->GetIndex();
    if (sites[static_cast<size_t>(i)].has3D && sites[static_cast<size_t>(j)].has3D && !bonded(i, j))
      removed.emplace_back(i, j);
  }
  const double cell = std::max(kBondTolerance * 2.0 * largest, 0.5);
  // Far-out and non-finite coordinates share the edge cells, so the conversion never leaves the integer range;
  // the exact distance test still decides every pair.
  auto cellOf = [cell](double v) {
    constexpr double kEdge = 1e12;
    double c = std::floor(v / cell);
    if (!(c > -kEdge)) c = -kEdge;
    if (c > kEdge) c = kEdge;
    return static_cast<std::int64_t>(c);
  };
  auto key = [](std::int64_t x, std::int64_t y, std::int64_t z) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(x) * 73856093u) ^
                                     (static_cast<std::uint64_t>(y) * 19349663u) ^
                                     (static_cast<std::uint64_t>(z) * 83492791u));
  };
  std::unordered_map<std::int64_t, std::vector<int>> grid;
  for (int i = 0; i < n; ++i)
    if (const Site& s = sites[static_cast<size_t>(i)]; s.has3D) grid[key(cellOf(s.x), cellOf(s.y), cellOf(s.z))].push_back(i);
  const double limit = kMaxBondsPerAtom * n;
  const double kept = molecule.EdgeCount() - static_cast<double>(removed.size());
  for (int i = 0; i < n; ++i) {
    const Site& s = sites[static_cast<size_t>(i)];
    if (!s.has3D) continue;
    const std::int64_t cx = cellOf(s.x), cy = cellOf(s.y), cz = cellOf(s.z);
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dz = -1; dz <= 1; ++dz) {
          const auto it = grid.find(key(cx + dx, cy + dy, cz + dz));
          if (it == grid.end()) continue;
          for (int j : it->second) {
            if (j <= i || !bonded(i, j) || molecule.GetEdgeBetween(i, j)) continue;
            added.emplace_back(i, j);
            if (kept + static_cast<double>(added.size()) > limit)
              throw EChemError("Too many atoms lie within bonding distance of each other to perceive the bonds");
          }
        }
  }
  if (removed.empty() && added.empty()) return false;
  // The pairs are applied in index order, as a pair-by-pair sweep would make them, and once each
  // (two cells may share a bucket of the hash, so a pair can come twice).
  std::sort(added.begin(), added.end());
  added.erase(std::unique(added.begin(), added.end()), added.end());
  molecule.BeginUpdate();
  try {
    for (const auto& [i, j] : removed)
      molecule.Disconnect(i, j);
    for (const auto& [i, j] : added)
      molecule.ConnectIndices(i, j);
  } catch (...) {
    molecule.EndUpdate();
    throw;
  }
  molecule.EndUpdate();
  return true;
}

} // namespace corvatin

// The clean-up of generated coordinates: distance restraints (bond lengths, the angles as 1-3 distances, the
// shape of ring systems and of double bonds) met by successive pairwise projection, the scheme of SHAKE-like
// constraint solvers and of stochastic proximity embedding (J. Comput. Chem. 24 (2003) 1215),
// while atoms three or more bonds apart are pushed out to their contact distance.

#include "chem/geometry_internal.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace corvatin::geometry_detail {

namespace {

std::uint64_t PairKey(int a, int b) {
  if (a > b) std::swap(a, b);
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

/// Moves a and b along their connecting line so that their distance approaches target; weight 1 meets it.
/// Returns the violation before the move.
double Project(Vec3& a, Vec3& b, double target, double weight, bool pushOnly) {
  Vec3 v = b - a;
  double d = Length(v);
  if (d < 1e-9) {
    v = Vec3{1e-3, 0.7e-3, 0.3e-3};
    d = Length(v);
  }
  if (pushOnly && d >= target) return 0.0;
  const double share = 0.5 * weight * (d - target) / d;
  a += v * share;
  b += v * -share;
  return std::fabs(d - target);
}

struct ContactPair {
  int a;
  int b;
  double distance;
};

/// Pairs of atoms closer than their contact distance plus a margin, found through a grid of cells.
std::vector<ContactPair> FindContacts(const Topology& topology, const std::vector<int>& atoms,
                                      const std::vector<Vec3>& positions,
                                      const std::unordered_set<std::uint64_t>& restrained, double margin) {
  std::vector<ContactPair> pairs;
  double largestRadius = 0.0;
  for (int atom : atoms)
    largestRadius = std::max(largestRadius, topology.radius[static_cast<size_t>(atom)]);
  const double cell = ContactDistance(largestRadius, largestRadius) + margin;
  auto cellOf = [cell](double v) { return static_cast<std::int64_t>(std::floor(v / cell)); };
  auto key = [](std::int64_t x, std::int64_t y, std::int64_t z) {
    return (x * 73856093) ^ (y * 19349663) ^ (z * 83492791);
  };
  std::unordered_map<std::int64_t, std::vector<int>> grid;
  for (size_t i = 0; i < positions.size(); ++i)
    grid[key(cellOf(positions[i].x), cellOf(positions[i].y), cellOf(positions[i].z))].push_back(static_cast<int>(i));
  for (size_t i = 0; i < positions.size(); ++i) {
    const Vec3& p = positions[i];
    const std::int64_t cx = cellOf(p.x), cy = cellOf(p.y), cz = cellOf(p.z);
    const int ga = atoms[i];
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dz = -1; dz <= 1; ++dz) {
          const auto it = grid.find(key(cx + dx, cy + dy, cz + dz));
          if (it == grid.end()) continue;
          for (int j : it->second) {
            if (static_cast<size_t>(j) <= i) continue;
            const int gb = atoms[static_cast<size_t>(j)];
            const double contact = ContactDistance(topology.radius[static_cast<size_t>(ga)],
                                                   topology.radius[static_cast<size_t>(gb)]);
            if (Distance(p, positions[static_cast<size_t>(j)]) >= contact + margin) continue;
            if (restrained.count(PairKey(static_cast<int>(i), j)) || topology.Within2Bonds(ga, gb)) continue;
            pairs.push_back({static_cast<int>(i), j, contact});
          }
        }
  }
  return pairs;
}

} // namespace

bool Topology::Bonded(int a, int b) const {
  const std::vector<int>& nb = Neighbours(a);
  return std::find(nb.begin(), nb.end(), b) != nb.end();
}

bool Topology::Within2Bonds(int a, int b) const {
  if (a == b || Bonded(a, b)) return true;
  for (int k : Neighbours(a))
    if (Bonded(k, b)) return true;
  return false;
}

void Relax(const Topology& topology, const std::vector<int>& atoms, const std::vector<Restraint>& restraints,
           std::vector<Vec3>& positions, int sweeps, const std::vector<RigidGroup>& groups, bool pushApart) {
  std::unordered_set<std::uint64_t> restrained;
  for (const Restraint& r : restraints)
    restrained.insert(PairKey(r.a, r.b));
  constexpr double kMargin = 0.5;
  constexpr int kRefresh = 8;
  std::vector<ContactPair> contacts;
  for (int sweep = 0; sweep < sweeps; ++sweep) {
    const bool fresh = sweep % kRefresh == 0;
    if (fresh && pushApart) contacts = FindContacts(topology, atoms, positions, restrained, kMargin);
    // Contacts first, restraints last: each sweep ends with the bonds and the shapes as close as they get.
    double worstContact = 0.0;
    for (const ContactPair& c : contacts)
      worstContact = std::max(worstContact, Project(positions[static_cast<size_t>(c.a)],
                                                    positions[static_cast<size_t>(c.b)], c.distance, 0.5, true));
    double worst = 0.0;
    for (const Restraint& r : restraints)
      worst = std::max(worst, Project(positions[static_cast<size_t>(r.a)], positions[static_cast<size_t>(r.b)],
                                      r.distance, r.weight, false));
    for (const RigidGroup& g : groups) {
      std::vector<Vec3> points(g.members.size());
      for (size_t k = 0; k < points.size(); ++k)
        points[k] = positions[static_cast<size_t>(g.members[k])];
      SuperimposeShape(g.shape, points);
      for (size_t k = 0; k < points.size(); ++k)
        positions[static_cast<size_t>(g.members[k])] = points[k];
    }
    // Stop once the restraints hold and no contact was found violated right after the pairs were refreshed.
    if (fresh && worst < 1e-4 && worstContact < 1e-3) break;
  }
}

void SuperimposeShape(const std::vector<Vec3>& shape, std::vector<Vec3>& points) {
  const size_t n = std::min(shape.size(), points.size());
  if (n == 0) return;
  Vec3 cs, cp;
  for (size_t i = 0; i < n; ++i) {
    cs += shape[i] * (1.0 / static_cast<double>(n));
    cp += points[i] * (1.0 / static_cast<double>(n));
  }
  double s[3][3] = {};
  for (size_t i = 0; i < n; ++i) {
    const Vec3 a = shape[i] - cs, b = points[i] - cp;
    const double av[3] = {a.x, a.y, a.z}, bv[3] = {b.x, b.y, b.z};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        s[r][c] += av[r] * bv[c];
  }
  double m[4][4] = {
      {s[0][0] + s[1][1] + s[2][2], s[1][2] - s[2][1], s[2][0] - s[0][2], s[0][1] - s[1][0]},
      {s[1][2] - s[2][1], s[0][0] - s[1][1] - s[2][2], s[0][1] + s[1][0], s[2][0] + s[0][2]},
      {s[2][0] - s[0][2], s[0][1] + s[1][0], -s[0][0] + s[1][1] - s[2][2], s[1][2] + s[2][1]},
      {s[0][1] - s[1][0], s[2][0] + s[0][2], s[1][2] + s[2][1], -s[0][0] - s[1][1] + s[2][2]}};
  // Jacobi rotations diagonalise the symmetric 4 x 4 matrix; v collects the eigenvectors.
  double v[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  for (int sweep = 0; sweep < 30; ++sweep) {
    double off = 0.0;
    for (int p = 0; p < 4; ++p)
      for (int q = p + 1; q < 4; ++q)
        off += m[p][q] * m[p][q];
    if (off < 1e-22) break;
    for (int p = 0; p < 4; ++p)
      for (int q = p + 1; q < 4; ++q) {
        if (std::fabs(m[p][q]) < 1e-300) continue;
        const double theta = (m[q][q] - m[p][p]) / (2.0 * m[p][q]);
        const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        const double c = 1.0 / std::sqrt(t * t + 1.0), sn = t * c;
        for (int k = 0; k < 4; ++k) {
          const double mkp = m[k][p], mkq = m[k][q];
          m[k][p] = c * mkp - sn * mkq;
          m[k][q] = sn * mkp + c * mkq;
        }
        for (int k = 0; k < 4; ++k) {
          const double mpk = m[p][k], mqk = m[q][k];
          m[p][k] = c * mpk - sn * mqk;
          m[q][k] = sn * mpk + c * mqk;
        }
        for (int k = 0; k < 4; ++k) {
          const double vkp = v[k][p], vkq = v[k][q];
          v[k][p] = c * vkp - sn * vkq;
          v[k][q] = sn * vkp + c * vkq;
        }
      }
  }
  int best = 0;
  for (int k = 1; k < 4; ++k)
    if (m[k][k] > m[best][best]) best = k;
  const double q0 = v[0][best], q1 = v[1][best], q2 = v[2][best], q3 = v[3][best];
  Rotation r;
  r.m[0] = q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3;
  r.m[1] = 2.0 * (q1 * q2 - q0 * q3);
  r.m[2] = 2.0 * (q1 * q3 + q0 * q2);
  r.m[3] = 2.0 * (q1 * q2 + q0 * q3);
  r.m[4] = q0 * q0 - q1 * q1 + q2 * q2 - q3 * q3;
  r.m[5] = 2.0 * (q2 * q3 - q0 * q1);
  r.m[6] = 2.0 * (q1 * q3 - q0 * q2);
  r.m[7] = 2.0 * (q2 * q3 + q0 * q1);
  r.m[8] = q0 * q0 - q1 * q1 - q2 * q2 + q3 * q3;
  for (size_t i = 0; i < n; ++i)
    points[i] = cp + r.Apply(shape[i] - cs);
}

namespace {

/// Whether two atoms three or more bonds apart come clearly closer than their contact distance.
bool HasClash(const Topology& t, const std::vector<int>& atoms, const std::vector<Vec3>& pos) {
  PlacedGrid grid;
  for (int atom : atoms) {
    const Vec3& p = pos[static_cast<size_t>(atom)];
    bool clash = false;
    grid.ForNear(p, [&](int other) {
      if (clash || t.Within2Bonds(atom, other)) return;
      const double c = ContactDistance(t.radius[static_cast<size_t>(atom)], t.radius[static_cast<size_t>(other)]);
      clash = Distance(p, pos[static_cast<size_t>(other)]) < 0.9 * c;
    });
    if (clash) return true;
    grid.Add(atom, p);
  }
  return false;
}

} // namespace

/// Removes close contacts while keeping bond lengths, angles, ring systems and double bonds as built.
void CleanUp(const Topology& t, const RingSystems& rs, const std::vector<int>& atoms, std::vector<Vec3>& pos) {
  if (!HasClash(t, atoms, pos)) return;
  std::unordered_map<int, int> local;
  for (size_t i = 0; i < atoms.size(); ++i)
    local.emplace(atoms[i], static_cast<int>(i));
  std::vector<Vec3> p(atoms.size());
  for (size_t i = 0; i < atoms.size(); ++i)
    p[i] = pos[static_cast<size_t>(atoms[i])];
  std::vector<Restraint> restraints;
  std::unordered_set<std::uint64_t> taken;
  auto add = [&](int a, int b, double distance, double weight) {
    const int la = local.at(a), lb = local.at(b);
    const std::uint64_t key = (static_cast<std::uint64_t>(std::min(la, lb)) << 32) | static_cast<std::uint32_t>(std::max(la, lb));
    if (la == lb || !taken.insert(key).second) return;
    restraints.push_back({la, lb, distance, weight});
  };
  auto current = [&](int a, int b) { return Distance(pos[static_cast<size_t>(a)], pos[static_cast<size_t>(b)]); };
  for (int a : atoms)
    for (int b : t.Neighbours(a))
      if (a < b) add(a, b, t.BondLength(a, b), 1.0);
  for (int a : atoms) {
    const std::vector<int>& nb = t.Neighbours(a);
    if (nb.size() > 6) continue;
    for (size_t i = 0; i < nb.size(); ++i)
      for (size_t k = i + 1; k < nb.size(); ++k)
        add(nb[i], nb[k], current(nb[i], nb[k]), 0.5);
  }
  // Ring systems move as rigid bodies: they keep their flat polygons (or relaxed cages) exactly.
  std::vector<RigidGroup> groups;
  // Relaxed systems (cages, bridged macrocycles) may flex, all but their flat rings.
  for (const RingBlock& b : rs.blocks) {
    if (!local.count(b.atoms.front())) continue;
    if (b.relaxed) {
      for (const RigidGroup& flat : b.flatGroups) {
        RigidGroup g;
        for (int m : flat.members)
          g.members.push_back(local.at(b.atoms[static_cast<size_t>(m)]));
        g.shape = flat.shape;
        groups.push_back(std::move(g));
      }
      continue;
    }
    RigidGroup g;
    for (int atom : b.atoms) {
      g.members.push_back(local.at(atom));
      g.shape.push_back(pos[static_cast<size_t>(atom)]);
    }
    groups.push_back(std::move(g));
  }
  // Double and aromatic bonds keep their substituents in one plane, cis or trans as built.
  for (int b : atoms)
    for (size_t k = 0; k < t.Neighbours(b).size(); ++k) {
      const int c = t.Neighbours(b)[k];
      const int type = t.bondTypes[static_cast<size_t>(b)][k];
      if (b > c || (type != bkDouble && type != bkAromatic)) continue;
      for (int a : t.Neighbours(b))
        for (int d : t.Neighbours(c))
          if (a != c && d != b && a != d) add(a, d, current(a, d), 0.3);
    }
  constexpr int kSweeps = 400;
  Relax(t, atoms, restraints, p, kSweeps, groups);
  // Where a contact could not be cleared it has been fighting a bond: the bonds get the last word.
  constexpr int kPolishSweeps = 40;
  Relax(t, atoms, restraints, p, kPolishSweeps, groups, false);
  for (size_t i = 0; i < atoms.size(); ++i)
    pos[static_cast<size_t>(atoms[i])] = p[i];
}


} // namespace corvatin::geometry_detail
